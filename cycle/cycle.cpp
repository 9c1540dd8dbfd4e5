/* One cycle through the driver.  The sleep is timed by the system's time
   of day, which goes on while the machine sleeps (a tick count or the
   performance counter need not). */
#include "cycle/cycle.h"
#include "cycle/output.h"
#include "driver/link.h"
#include "pages/rtcrules.h"

static ULONGLONG Milliseconds(const FILETIME *ft)
{
    return (((ULONGLONG)ft->dwHighDateTime << 32) | ft->dwLowDateTime) / 10000;
}

static ULONGLONG NowMs(void)
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return Milliseconds(&ft);
}

/* The local time now, and the system time it was read at. */
static RtcLocalTime LocalNow(ULONGLONG *at)
{
    FILETIME ft;
    SYSTEMTIME utc, local;
    GetSystemTimeAsFileTime(&ft);
    *at = Milliseconds(&ft);
    if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(NULL, &utc, &local))
        GetLocalTime(&local);
    RtcLocalTime now = {{local.wYear, local.wMonth, local.wDay, local.wDayOfWeek},
                        local.wHour, local.wMinute, local.wSecond, local.wMilliseconds};
    return now;
}

static DWORD Send(HANDLE device, DWORD code, void *buf, DWORD size, unsigned long *bytes, CycleResult *r)
{
    DWORD got = 0;
    DWORD err = AcpiSendRequest(device, code, buf, size, &got);
    if (bytes)
        *bytes = got;
    if (err) {
        r->failedRequest = AcpiIoctlName(code);
        r->error = err;
        SystemErrorText(err, r->errorText, sizeof r->errorText);
    }
    return err;
}

void RunCycle(HANDLE device, const CycleOptions *o, unsigned number, CycleResult *r)
{
    *r = CycleResult();   /* the alarm is read into a zeroed record */
    r->number = number;
    ULONGLONG now;
    unsigned long delayMs;
    RtcLocalTime local = LocalNow(&now);
    r->set = RtcAlarmAfter(&local, o->wake, &delayMs);
    RTC_ALARM_TIME alarm = r->set;
    if (Send(device, IOCTL_SET_RTC_ALARM, &alarm, sizeof alarm, NULL, r) ||
        Send(device, IOCTL_GET_RTC_ALARM, &r->read, sizeof r->read, &r->readBytes, r))
        return;
    /* Without the alarm it was given, the machine might never wake. */
    if (!CycleAlarmMatches(&r->set, &r->read, r->readBytes))
        return;
    uint32_t state = ACPI_SLEEP_STATE(o->sleep);
    ULONGLONG start = NowMs();
    r->slept = true;
    Send(device, IOCTL_SET_SLEEP_STATE, &state, ACPI_VALUE_SIZE, NULL, r);
    ULONGLONG end = NowMs();
    /* A clock set back while it slept counts as no time. */
    r->sleptMs = (unsigned long)(end > start ? end - start : 0);
    r->alarmMs = (unsigned long)(now + delayMs > start ? now + delayMs - start : 0);
}
