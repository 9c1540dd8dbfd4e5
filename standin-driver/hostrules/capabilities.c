/* The host backend's capability query: a bit for each feature whose files
   are there and take writing. */
#include "standin-driver/hostrules/common.h"

static int Settable(const char *path)
{
    return HostCanWrite(path) == ACPISIM_STATUS_SUCCESS;
}

static void SleepBits(uint32_t *mask)
{
    char state[HOST_TEXT_CHARS], mode[HOST_TEXT_CHARS];
    HostReadLine(HOST_POWER_STATE, state, sizeof state);
    for (uint32_t i = 0; i < HOST_SLEEP_KINDS; i++) {
        const HOST_SLEEP_KIND *kind = &g_HostSleepKinds[i];
        if (!kind->State || !HostHasWord(state, kind->State))
            continue;
        if (kind->ModeFile) {
            HostReadLine(kind->ModeFile, mode, sizeof mode);
            if (!HostHasWord(mode, kind->Mode))
                continue;
        }
        if (Settable(HOST_POWER_STATE) && (!kind->ModeFile || Settable(kind->ModeFile)))
            *mask |= kind->Bit;
    }
}

static void IdleBits(uint32_t *mask)
{
    static const uint32_t bits[] = { HOST_CAP_C1, ACPI_CAP_C2, ACPI_CAP_C3 };
    char path[HOST_PATH_CHARS];
    if (HostSurveyIdle() != ACPISIM_STATUS_SUCCESS) {
        HostNote("idle=none");
        return;
    }
    HostNote("idle=%s", g_HostIdle.Driver);
    for (uint32_t n = ACPI_CPU_STATE_MIN; n <= ACPI_CPU_STATE_MAX; n++) {
        int k = HostIdleStateOf(n);
        if (k < 0)
            continue;
        HostIdleStateFile(path, g_HostIdle.FirstCpu, (uint32_t)k, "disable");
        if (Settable(path)) {
            *mask |= bits[n - ACPI_CPU_STATE_MIN];
            HostNote("C%u=%s", n, g_HostIdle.Names[k]);
        }
    }
}

static void FanBits(uint32_t *mask)
{
    char path[HOST_PATH_CHARS];
    uint32_t device, pwm;
    HostCoolingFile(path, g_HostCooling.FanDevice, "cur_state");
    if (g_HostCooling.Fan && Settable(path)) {
        *mask |= HOST_CAP_FAN;
        HostNote("fan=cooling_device%u", g_HostCooling.FanDevice);
    } else if (!g_HostCooling.Fan && HostFindPwm(&device, &pwm)) {
        *mask |= HOST_CAP_FAN;
        HostNote("fan=hwmon%u/pwm%u", device, pwm);
    } else {
        HostNote("fan=none");
    }
}

static void ThrottleBits(uint32_t *mask)
{
    char path[HOST_PATH_CHARS];
    int throttle = HostSurveyThrottle(path);
    if (throttle != HOST_THROTTLE_NONE && Settable(path))
        *mask |= HOST_CAP_DUTY;
    else
        throttle = HOST_THROTTLE_NONE;
    HostNote("throttle=%s", g_HostThrottleNames[throttle]);
}

static void RtcBits(uint32_t *mask)
{
    int rtc = HostExists(HOST_SINCE_EPOCH) && Settable(HOST_WAKEALARM);
    if (rtc)
        *mask |= HOST_CAP_RTC;
    HostNote(rtc ? "rtc=rtc0" : "rtc=none");
}

/* In the order of the journal note. */
static void (*const g_Features[])(uint32_t *mask) = {
    SleepBits, IdleBits, FanBits, ThrottleBits, RtcBits,
};

uint32_t HostGetCapabilities(uint32_t configured, uint32_t *mask)
{
    uint32_t m = 0;
    (void)configured;   /* the simulated machine's setting */
    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    HostSurveyCooling();   /* for the fan and the throttle alike */
    for (uint32_t i = 0; i < sizeof g_Features / sizeof g_Features[0]; i++)
        g_Features[i](&m);
    *mask = m;
    return ACPISIM_STATUS_SUCCESS;
}
