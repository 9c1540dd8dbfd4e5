/* The host backend's RTC wake alarm: set as seconds from now through
   rtc0's wakealarm, and read back as a local time from its distance to the
   RTC's own clock. */
#include "standin-driver/hostrules/common.h"

/* The system clock, or a failure noted as "clock=failed". */
static uint32_t Now(HOST_CLOCK *now)
{
    uint32_t st = g_HostPlatform->Now(g_HostPlatform->Context, now);
    if (st)
        HostNote("clock=failed");
    return st;
}

/* The time the alarm fires, as the journal shows it. */
#define FIRES_FIELDS 6   /* Year to Second */

uint32_t HostSetAlarm(const RTC_ALARM_TIME *alarm)
{
    HOST_CLOCK now;
    RTC_ALARM_TIME at;
    char text[HOST_VALUE_CHARS];
    int passed;
    int64_t fires;

    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    if (!HostExists(HOST_SINCE_EPOCH)) {
        HostNote("rtc=none");
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    uint32_t st = Now(&now);
    if (st)
        return HostStatus(st);
    int64_t delay = HostAlarmDelay(&now, alarm, &passed, &fires);
    /* A set alarm refuses another (EBUSY) until it is cleared. */
    st = HostWriteLine(HOST_WAKEALARM, "0");
    AcpiSimFormat(text, sizeof text, "+%lld", (long long)delay);
    if (!st)
        st = HostWriteLine(HOST_WAKEALARM, text);
    HostNote("wakealarm=%s", text);
    if (passed)
        HostNote("passed");
    HostSecondsToRecord(fires, &at);
    HostNote("fires=");
    AcpiSimPutAlarm(HostNoteText(), &at, FIRES_FIELDS);
    return HostStatus(st);
}

uint32_t HostGetAlarm(RTC_ALARM_TIME *alarm)
{
    HOST_CLOCK now;
    char line[HOST_TEXT_CHARS];
    uint64_t at, rtcNow;

    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    uint32_t st = HostReadLine(HOST_WAKEALARM, line, sizeof line);
    if (st)
        return HostStatus(st);
    if (!line[0]) {
        static const RTC_ALARM_TIME none = { 0, 0, 0, 0, 0, 0, 0, 0 };
        *alarm = none;
        HostNote("wakealarm=none");
        return ACPISIM_STATUS_SUCCESS;
    }
    if (!HostParseNumber(line, &at))
        return HOST_STATUS_IO_DEVICE_ERROR;
    st = HostReadNumber(HOST_SINCE_EPOCH, &rtcNow);
    if (!st)
        st = Now(&now);
    if (st)
        return HostStatus(st);
    /* The alarm counts in the RTC's own clock, UTC or local: only its
       distance from the RTC's now is used, added to the system's now. */
    int64_t utc = now.Utc + (int64_t)at - (int64_t)rtcNow;
    HostSecondsToRecord(HostUtcToLocal(&now.Zone, utc), alarm);
    HostNote("wakealarm=%llu since_epoch=%llu", (unsigned long long)at, (unsigned long long)rtcNow);
    return ACPISIM_STATUS_SUCCESS;
}
