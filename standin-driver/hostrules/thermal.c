/* The host backend's fan and clock throttling: the fan through a Fan
   cooling device or an hwmon pwm in manual mode; the duty cycle through
   Processor cooling devices (T-states), intel_pstate or cpufreq.  Every
   value written is read back, and the one it replaced kept to put back. */
#include "standin-driver/hostrules/common.h"

/* Keeps the file's value, writes value and reads back what was applied. */
static uint32_t Apply(const char *path, uint64_t value, uint64_t *applied)
{
    uint32_t st = HostRemember(path);
    if (!st)
        st = HostWriteNumber(path, value);
    if (!st)
        st = HostReadNumber(path, applied);
    return st;
}

/* value percent of max, rounded. */
static uint64_t PercentOf(uint64_t max, uint32_t value)
{
    return AcpiSimDivide(max * value + ACPI_DUTY_MAX / 2, ACPI_DUTY_MAX, 0);
}

uint32_t HostSetFan(uint32_t on)
{
    char path[HOST_PATH_CHARS];
    uint64_t max = 255, applied = 0;
    uint32_t st, device, pwm;

    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    HostSurveyCooling();
    if (g_HostCooling.Fan) {
        HostCoolingFile(path, g_HostCooling.FanDevice, "max_state");
        st = HostReadNumber(path, &max);
        HostCoolingFile(path, g_HostCooling.FanDevice, "cur_state");
        HostNote("mechanism=cooling_device%u", g_HostCooling.FanDevice);
    } else if ((st = HostFindPwm(&device, &pwm)) != ACPISIM_STATUS_NOT_SUPPORTED) {
        HostNote("mechanism=hwmon%u/pwm%u", device, pwm);
        if (st)
            return st;                          /* there, but refused */
        HostHwmonFile(path, device, "pwm%u_enable", pwm);
        if (HostExists(path)) {                 /* manual control first */
            uint64_t mode;
            st = Apply(path, 1, &mode);
        }
        HostHwmonFile(path, device, "pwm%u", pwm);
    } else {
        HostNote("mechanism=none");
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    uint64_t want = on == ACPI_FAN_ON ? max : 0;
    if (!st)
        st = Apply(path, want, &applied);
    if (!st) {
        HostNote("applied=%llu", (unsigned long long)applied);
        if (applied != want)
            st = HOST_STATUS_IO_DEVICE_ERROR;
    }
    return HostStatus(st);
}

/* T-states: 0 runs at full speed, max_state is the deepest throttle. */
static uint32_t ThrottleProcessors(uint32_t percent)
{
    char path[HOST_PATH_CHARS];
    uint64_t applied = 0, firstMax = 0;   /* the note tells of the first device */
    uint32_t st = ACPISIM_STATUS_SUCCESS;
    for (uint32_t i = 0; i < g_HostCooling.Processors && !st; i++) {
        uint64_t got = 0, max = 0;
        HostCoolingFile(path, g_HostCooling.Processor[i], "max_state");
        st = HostReadNumber(path, &max);
        HostCoolingFile(path, g_HostCooling.Processor[i], "cur_state");
        if (!st)
            st = Apply(path, PercentOf(max, ACPI_DUTY_MAX - percent), &got);
        if (!i)
            applied = got, firstMax = max;
    }
    if (!st)
        HostNote("applied=%llu max=%llu devices=%u", (unsigned long long)applied,
                 (unsigned long long)firstMax, g_HostCooling.Processors);
    return st;
}

static uint32_t ThrottlePstate(uint32_t percent)
{
    uint64_t applied = 0;
    uint32_t st = Apply(HOST_PSTATE_MAX, percent, &applied);
    if (!st)
        HostNote("applied=%llu", (unsigned long long)applied);
    return st;
}

/* Every online CPU's highest frequency, percent of its own. */
static uint32_t ThrottleCpufreq(uint32_t percent)
{
    char path[HOST_PATH_CHARS];
    uint32_t st = ACPISIM_STATUS_SUCCESS;
    int first = 1;
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS && !st; cpu++) {
        uint64_t got = 0, max = 0;
        if (!HostOnline(cpu))
            continue;
        HostCpufreqFile(path, cpu, "cpuinfo_max_freq");
        st = HostReadNumber(path, &max);
        HostCpufreqFile(path, cpu, "scaling_max_freq");
        if (!st)
            st = Apply(path, AcpiSimDivide(max * percent, ACPI_DUTY_MAX, 0), &got);
        if (first && !st)
            HostNote("applied=%llukHz max=%llukHz", (unsigned long long)got, (unsigned long long)max);
        first = 0;
    }
    return st;
}

uint32_t HostSetDutyCycle(uint32_t percent)
{
    static uint32_t (*const throttles[])(uint32_t percent) = {
        0, ThrottleProcessors, ThrottlePstate, ThrottleCpufreq,   /* by HOST_THROTTLE_... */
    };
    char file[HOST_PATH_CHARS];

    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    HostSurveyCooling();
    int how = HostSurveyThrottle(file);
    HostNote("mechanism=%s", g_HostThrottleNames[how]);
    if (how == HOST_THROTTLE_NONE)
        return ACPISIM_STATUS_NOT_SUPPORTED;
    return HostStatus(throttles[how](percent));
}
