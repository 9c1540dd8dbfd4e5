/* The driver's request rules: sizes, values, fault injection, the call into
   the backend and the journal line of every request. */
#include "standin-driver/acpisimrules.h"

/* A bounded text builder for the journal line: never writes past the end,
   and the line always stays NUL-terminated. */
typedef struct LINE {
    char  *Text;
    size_t Size, Length;
} LINE;

static void PutText(LINE *ln, const char *s)
{
    while (*s && ln->Length + 1 < ln->Size)
        ln->Text[ln->Length++] = *s++;
    ln->Text[ln->Length] = 0;
}

static void PutDecimal(LINE *ln, uint32_t v)
{
    char digits[11];
    int n = 0;
    do {
        digits[n++] = (char)('0' + v % 10);
        v /= 10;
    } while (v);
    char text[12];
    for (int i = 0; i < n; i++)
        text[i] = digits[n - 1 - i];
    text[n] = 0;
    PutText(ln, text);
}

static void PutHex(LINE *ln, uint32_t v)
{
    static const char hex[] = "0123456789ABCDEF";
    char text[11] = "0x";
    for (int i = 0; i < 8; i++)
        text[2 + i] = hex[(v >> (28 - 4 * i)) & 0xF];
    text[10] = 0;
    PutText(ln, text);
}

static void PutAlarm(LINE *ln, const RTC_ALARM_TIME *t)
{
    const uint16_t f[8] = { t->Year, t->Month, t->Day, t->Hour,
                            t->Minute, t->Second, t->Milliseconds, t->Weekday };
    for (int i = 0; i < 8; i++) {
        if (i)
            PutText(ln, ",");
        PutDecimal(ln, f[i]);
    }
}

static void CopyBytes(void *to, const void *from, size_t n)
{
    unsigned char *d = (unsigned char *)to;
    const unsigned char *s = (const unsigned char *)from;
    while (n--)
        *d++ = *s++;
}

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
    CopyBytes(cfg->SysfsRoot, root, sizeof root);
    cfg->HostIdleMilliseconds = ACPISIM_DEFAULT_IDLE_MS;
    cfg->ShortReply = 0;
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
        return 4;
    case IOCTL_SET_RTC_ALARM:
    case IOCTL_GET_RTC_ALARM:
        return sizeof(RTC_ALARM_TIME);
    default:
        return 0;
    }
}

/* Carries out a request whose sizes are right; value and alarm hold the
   input, and a GET code leaves its reply there. */
static uint32_t Perform(const ACPISIM_BACKEND *be, const ACPISIM_CONFIG *cfg,
                        uint32_t code, uint32_t *value, RTC_ALARM_TIME *alarm)
{
    uint32_t v = *value;
    switch (code) {
    case IOCTL_SET_SLEEP_STATE:
        return v >= ACPI_SLEEP_STATE(1) && v <= ACPI_SLEEP_STATE(4) ? be->SetSleepState(v) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_SET_CPU_STATE:
        return v >= 1 && v <= 3 ? be->SetCpuState(v) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_SET_FAN:
        return v <= 1 ? be->SetFan(v) : ACPISIM_STATUS_INVALID_PARAMETER;
    case IOCTL_SET_DUTY_CYCLE:
        return v <= 100 ? be->SetDutyCycle(v) : ACPISIM_STATUS_INVALID_PARAMETER;
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
    LINE ln = { rq->Journal, sizeof rq->Journal, 0 };
    const char *name = AcpiIoctlName(rq->Code);
    uint32_t size = AcpiSimRequestSize(rq->Code);
    uint32_t status, value = 0;
    RTC_ALARM_TIME alarm = { 0, 0, 0, 0, 0, 0, 0, 0 };
    int isAlarm = size == sizeof(RTC_ALARM_TIME);

    rq->Information = 0;
    if (name)
        PutText(&ln, name);
    else
        PutHex(&ln, rq->Code);
    PutText(&ln, " ");

    if (!name) {
        /* Nothing of a request we do not know is read. */
        status = ACPISIM_STATUS_INVALID_DEVICE_REQUEST;
        PutText(&ln, "-");
    } else if (!rq->Buffer || rq->InputLength != size || rq->OutputLength != size) {
        status = ACPISIM_STATUS_INVALID_PARAMETER;
        PutText(&ln, "-");
    } else {
        if (isAlarm) {
            CopyBytes(&alarm, rq->Buffer, sizeof alarm);
            PutAlarm(&ln, &alarm);
        } else {
            CopyBytes(&value, rq->Buffer, sizeof value);
            PutDecimal(&ln, value);
        }
        if (cfg->FailCode && rq->Code == cfg->FailCode)
            status = AcpiSimFaultStatus(cfg->FailStatus);
        else if (!be)
            status = ACPISIM_STATUS_NOT_SUPPORTED;
        else
            status = Perform(be, cfg, rq->Code, &value, &alarm);
    }

    PutText(&ln, " ");
    PutHex(&ln, status);
    if (status == ACPISIM_STATUS_SUCCESS) {
        if (isAlarm)
            CopyBytes(rq->Buffer, &alarm, sizeof alarm);
        else
            CopyBytes(rq->Buffer, &value, sizeof value);
        rq->Information = rq->Code == cfg->ShortReply ? size - 1 : size;
        if (rq->Code == IOCTL_GET_CAPABILITIES) {
            PutText(&ln, " reply=");
            PutDecimal(&ln, value);
        } else if (rq->Code == IOCTL_GET_RTC_ALARM) {
            PutText(&ln, " reply=");
            PutAlarm(&ln, &alarm);
        }
    }
    if (be && be->TakeNote) {
        const char *note = be->TakeNote();
        if (*note) {
            PutText(&ln, " ");
            PutText(&ln, note);
        }
    }
    PutText(&ln, "\r\n");
    rq->JournalLength = ln.Length;
    return status;
}
