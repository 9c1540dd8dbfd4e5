/* The host backend's capability query: a bit for each feature whose files
   are there and take writing.  A feature whose files are absent has its
   bit cleared; a file that is there but refuses (not root, say) fails the
   whole query, noted with the file, so no mask is ever trusted that a
   refusal made. */
#include "standin-driver/hostrules/common.h"

/* Whether a feature file's status fails the query: anything but success
   and absence (STATUS_NOT_SUPPORTED, as HostStatus gives it). */
static int Fails(uint32_t st)
{
    return st && st != ACPISIM_STATUS_NOT_SUPPORTED;
}

/* The status of the feature's file, as HostStatus gives it; a failure is
   noted with the file ("denied=sys/power/state"). */
static uint32_t Checked(uint32_t access, const char *path)
{
    uint32_t st = HostStatus(access);
    if (Fails(st))
        HostNote("%s=%s", st == HOST_STATUS_ACCESS_DENIED ? "denied" : "failed", path);
    return st;
}

static uint32_t Settable(const char *path)
{
    return Checked(HostCanWrite(path), path);
}

static uint32_t SleepBits(uint32_t *mask)
{
    char state[HOST_TEXT_CHARS], mode[HOST_TEXT_CHARS];
    uint32_t st = Checked(HostReadLine(HOST_POWER_STATE, state, sizeof state), HOST_POWER_STATE);
    for (uint32_t i = 0; i < HOST_SLEEP_KINDS && !Fails(st); i++) {
        const HOST_SLEEP_KIND *kind = &g_HostSleepKinds[i];
        if (!kind->State || !HostHasWord(state, kind->State))
            continue;
        if (kind->ModeFile) {
            st = Checked(HostReadLine(kind->ModeFile, mode, sizeof mode), kind->ModeFile);
            if (st || !HostHasWord(mode, kind->Mode))
                continue;
        }
        st = Settable(HOST_POWER_STATE);
        if (!st && kind->ModeFile)
            st = Settable(kind->ModeFile);
        if (!st)
            *mask |= kind->Bit;
    }
    return Fails(st) ? st : ACPISIM_STATUS_SUCCESS;
}

static uint32_t IdleBits(uint32_t *mask)
{
    static const uint32_t bits[] = { HOST_CAP_C1, ACPI_CAP_C2, ACPI_CAP_C3 };
    char path[HOST_PATH_CHARS];
    if (HostSurveyIdle() != ACPISIM_STATUS_SUCCESS) {
        HostNote("idle=none");
        return ACPISIM_STATUS_SUCCESS;
    }
    HostNote("idle=%s", g_HostIdle.Driver);
    for (uint32_t n = ACPI_CPU_STATE_MIN; n <= ACPI_CPU_STATE_MAX; n++) {
        int k = HostIdleStateOf(n);
        if (k < 0)
            continue;
        HostIdleStateFile(path, g_HostIdle.FirstCpu, (uint32_t)k, "disable");
        uint32_t st = Settable(path);
        if (Fails(st))
            return st;
        if (!st) {
            *mask |= bits[n - ACPI_CPU_STATE_MIN];
            HostNote("C%u=%s", n, g_HostIdle.Names[k]);
        }
    }
    return ACPISIM_STATUS_SUCCESS;
}

static uint32_t FanBits(uint32_t *mask)
{
    char path[HOST_PATH_CHARS];
    uint32_t device = 0, pwm = 0, st;
    if (g_HostCooling.Fan) {
        device = g_HostCooling.FanDevice;
        HostCoolingFile(path, device, "cur_state");
        st = Settable(path);
    } else {
        st = HostFindPwm(&device, &pwm);
        HostHwmonFile(path, device, "pwm%u", pwm);
        st = Checked(st, path);
    }
    if (Fails(st))
        return st;
    if (st)
        HostNote("fan=none");
    else if (g_HostCooling.Fan)
        HostNote("fan=cooling_device%u", device);
    else
        HostNote("fan=hwmon%u/pwm%u", device, pwm);
    *mask |= st ? 0 : HOST_CAP_FAN;
    return ACPISIM_STATUS_SUCCESS;
}

static uint32_t ThrottleBits(uint32_t *mask)
{
    char path[HOST_PATH_CHARS];
    int throttle = HostSurveyThrottle(path);
    uint32_t st = throttle == HOST_THROTTLE_NONE ? ACPISIM_STATUS_NOT_SUPPORTED : Settable(path);
    if (Fails(st))
        return st;
    HostNote("throttle=%s", g_HostThrottleNames[st ? HOST_THROTTLE_NONE : throttle]);
    *mask |= st ? 0 : HOST_CAP_DUTY;
    return ACPISIM_STATUS_SUCCESS;
}

static uint32_t RtcBits(uint32_t *mask)
{
    uint32_t st = HostExists(HOST_SINCE_EPOCH) ? Settable(HOST_WAKEALARM) : ACPISIM_STATUS_NOT_SUPPORTED;
    if (Fails(st))
        return st;
    HostNote(st ? "rtc=none" : "rtc=rtc0");
    *mask |= st ? 0 : HOST_CAP_RTC;
    return ACPISIM_STATUS_SUCCESS;
}

/* In the order of the journal note. */
static uint32_t (*const g_Features[])(uint32_t *mask) = {
    SleepBits, IdleBits, FanBits, ThrottleBits, RtcBits,
};

uint32_t HostGetCapabilities(uint32_t configured, uint32_t *mask)
{
    uint32_t m = 0;
    (void)configured;   /* the simulated machine's setting */
    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    HostSurveyCooling();   /* for the fan and the throttle alike */
    for (uint32_t i = 0; i < sizeof g_Features / sizeof g_Features[0]; i++) {
        uint32_t st = g_Features[i](&m);
        if (st)
            return st;
    }
    *mask = m;
    return ACPISIM_STATUS_SUCCESS;
}
