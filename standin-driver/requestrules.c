/* The driver's request rules: sizes, values, fault injection, the call into
   the backend and the journal line of every request. */
#include "standin-driver/acpisimrules.h"
#include "standin-driver/textrules.h"

static int AlarmInRange(const RTC_ALARM_TIME *t)
{
    return t->Year >= ACPISIM_YEAR_MIN && t->Year <= ACPISIM_YEAR_MAX
        && t->Month >= 1 && t->Month <= 12
        && t->Day >= 1 && t->Day <= 31
        && t->Hour <= 23 && t->Minute <= 59 && t->Second <= 59
        && t->Milliseconds <= 999 && t->Weekday <= 6;
}

void AcpiSimDefaultConfig(ACPISIM_CONFIG *cfg)
{
    static const uint16_t root[] = { 'Z', ':', '\\', 0 };
    cfg->CapabilityMask = ACPISIM_DEFAULT_CAPABILITIES;
    cfg->FailCode = 0;
    cfg->FailStatus = ACPISIM_DEFAULT_FAIL_STATUS;
    AcpiSimCopy(cfg->SysfsRoot, root, sizeof root);
    cfg->HostIdleMilliseconds = ACPISIM_DEFAULT_IDLE_MS;
    cfg->ShortReply = 0;
    cfg->SleepWake = ACPISIM_WAKE_AT_ONCE;
    cfg->SleepLateSeconds = ACPISIM_DEFAULT_LATE_SECONDS;
}

uint32_t AcpiSimFaultStatus(uint32_t configured)
{
    return (configured & 0x80000000u) ? configured : ACPISIM_STATUS_UNSUCCESSFUL;
}

uint32_t AcpiSimRequestSize(uint32_t code)
{
    switch (code) {
    case IOCTL_SET_SLEEP_STATE:
    case IOCTL_SET_CPU_STATE:
    case IOCTL_SET_FAN:
    case IOCTL_GET_CAPABILITIES:
    case IOCTL_SET_DUTY_CYCLE:
        return ACPI_VALUE_SIZE;
    case IOCTL_SET_RTC_ALARM:
    case IOCTL_GET_RTC_ALARM:
        return sizeof(RTC_ALARM_TIME);
    default:
        return 0;
    }
}

/* A journal line: "NAME VALUE STATUS[ reply=REPLY][ NOTE]\r\n"; an unknown
   code's NAME and every STATUS in hex. */
#define HEX_FIELD "0x%08X"
#define STATUS_FIELD " " HEX_FIELD

/* The end of a journal line: the backend's note, if any, and CRLF. */
static void PutNote(ACPISIM_TEXT *ln, const ACPISIM_BACKEND *be)
{
    if (be && be->TakeNote) {
        const char *note = be->TakeNote();
        if (*note)
            AcpiSimPut(ln, " %s", note);
    }
    AcpiSimPut(ln, "\r\n");
}

/* Carries out a request whose sizes are right; value and alarm hold the
   input, and a GET code leaves its reply there. */
static uint32_t Perform(const ACPISIM_BACKEND *be, const ACPISIM_CONFIG *cfg,
                        uint32_t code, uint32_t *value, RTC_ALARM_TIME *alarm)
{
    uint32_t v = *value;
    switch (code) {
    case IOCTL_SET_SLEEP_STATE:
        return v >= ACPI_SLEEP_STATE_MIN && v <= ACPI_SLEEP_STATE_MAX ? be->SetSleepState(v) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_SET_CPU_STATE:
        return v >= ACPI_CPU_STATE_MIN && v <= ACPI_CPU_STATE_MAX ? be->SetCpuState(v) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_SET_FAN:
        return v == ACPI_FAN_OFF || v == ACPI_FAN_ON ? be->SetFan(v) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_SET_DUTY_CYCLE:
        return v <= ACPI_DUTY_MAX ? be->SetDutyCycle(v) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_GET_CAPABILITIES:
        /* The input is a placeholder (the program sends 0): not judged. */
        return be->GetCapabilities(cfg->CapabilityMask, value);
    case IOCTL_SET_RTC_ALARM:
        return AlarmInRange(alarm) ? be->SetAlarm(alarm) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_GET_RTC_ALARM:
        /* The input is a zeroed record to fill: not judged. */
        return be->GetAlarm(alarm);
    default:
        return ACPISIM_STATUS_INVALID_DEVICE_REQUEST;
    }
}

uint32_t AcpiSimRequest(const ACPISIM_BACKEND *be, const ACPISIM_CONFIG *cfg,
                        ACPISIM_REQUEST *rq)
{
    ACPISIM_TEXT ln = { rq->Journal, sizeof rq->Journal, 0 };
    const char *name = AcpiIoctlName(rq->Code);
    uint32_t size = AcpiSimRequestSize(rq->Code);
    uint32_t status, value = 0;
    RTC_ALARM_TIME alarm = { 0, 0, 0, 0, 0, 0, 0, 0 };
    int isAlarm = size == sizeof(RTC_ALARM_TIME);

    rq->Information = 0;
    if (name)
        AcpiSimPut(&ln, "%s ", name);
    else
        AcpiSimPut(&ln, HEX_FIELD " ", rq->Code);

    if (!name) {
        /* Nothing of a request we do not know is read. */
        status = ACPISIM_STATUS_INVALID_DEVICE_REQUEST;
        AcpiSimPut(&ln, "-");
    } else if (!rq->Buffer || rq->InputLength != size || rq->OutputLength != size) {
        status = ACPISIM_STATUS_INVALID_PARAMETER;
        AcpiSimPut(&ln, "-");
    } else {
        if (isAlarm) {
            AcpiSimCopy(&alarm, rq->Buffer, sizeof alarm);
            AcpiSimPutAlarm(&ln, &alarm, ACPISIM_ALARM_FIELDS);
        } else {
            AcpiSimCopy(&value, rq->Buffer, sizeof value);
            AcpiSimPut(&ln, "%u", value);
        }
        if (cfg->FailCode && rq->Code == cfg->FailCode)
            status = AcpiSimFaultStatus(cfg->FailStatus);
        else if (!be)
            status = ACPISIM_STATUS_NOT_SUPPORTED;
        else
            status = Perform(be, cfg, rq->Code, &value, &alarm);
    }

    AcpiSimPut(&ln, STATUS_FIELD, status);
    if (status == ACPISIM_STATUS_SUCCESS) {
        if (isAlarm)
            AcpiSimCopy(rq->Buffer, &alarm, sizeof alarm);
        else
            AcpiSimCopy(rq->Buffer, &value, sizeof value);
        rq->Information = rq->Code == cfg->ShortReply ? size - 1 : size;
        if (rq->Code == IOCTL_GET_CAPABILITIES) {
            AcpiSimPut(&ln, " reply=%u", value);
        } else if (rq->Code == IOCTL_GET_RTC_ALARM) {
            AcpiSimPut(&ln, " reply=");
            AcpiSimPutAlarm(&ln, &alarm, ACPISIM_ALARM_FIELDS);
        }
    }
    PutNote(&ln, be);
    rq->JournalLength = ln.Length;
    return status;
}

size_t AcpiSimPutBackLine(const ACPISIM_BACKEND *be, uint32_t status, char *line, size_t size)
{
    ACPISIM_TEXT ln = { line, size, 0 };
    AcpiSimPut(&ln, "PUT_BACK %s" STATUS_FIELD, be->Name, status);
    PutNote(&ln, be);
    return ln.Length;
}
