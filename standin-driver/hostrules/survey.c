/* The host backend's survey of the machine: online CPUs, idle states and
   which of them stands for C1 to C3, cooling devices, hwmon fans and how
   the clock is throttled, with the paths of their numbered files. */
#include "standin-driver/hostrules/common.h"

#define MAX_HWMON 64u
#define MAX_PWM 8u
#define MISSES_TO_STOP 8u /* numbered devices: this many absent in a row end the search */

void HostCoolingFile(char *path, uint32_t device, const char *file)
{
    AcpiSimFormat(path, HOST_PATH_CHARS, "sys/class/thermal/cooling_device%u/%s", device, file);
}

void HostHwmonFile(char *path, uint32_t device, const char *file, uint32_t pwm)
{
    ACPISIM_TEXT t = { path, HOST_PATH_CHARS, 0 };
    AcpiSimPut(&t, "sys/class/hwmon/hwmon%u/", device);
    AcpiSimPut(&t, file, pwm);
}

void HostCpufreqFile(char *path, uint32_t cpu, const char *file)
{
    AcpiSimFormat(path, HOST_PATH_CHARS, HOST_CPU_DIR "cpu%u/cpufreq/%s", cpu, file);
}

void HostIdleStateFile(char *path, uint32_t cpu, uint32_t state, const char *file)
{
    AcpiSimFormat(path, HOST_PATH_CHARS, HOST_CPU_DIR "cpu%u/cpuidle/state%u/%s", cpu, state, file);
}

/* ---- CPUs ---- */

static uint8_t g_Online[HOST_MAX_CPUS / 8];

int HostOnline(uint32_t cpu) { return (g_Online[cpu / 8] >> (cpu % 8)) & 1; }

uint32_t HostFirstOnline(void)
{
    uint32_t cpu = 0;
    while (cpu < HOST_MAX_CPUS && !HostOnline(cpu))
        cpu++;
    return cpu;
}

uint32_t HostSurveyCpus(void)
{
    char line[HOST_TEXT_CHARS];
    uint32_t st = HostReadLine(HOST_CPUS_ONLINE, line, sizeof line);
    if (HostAbsent(st)) {
        HostParseCpuList("0\n", g_Online);
        return ACPISIM_STATUS_SUCCESS;
    }
    if (!st && !HostParseCpuList(line, g_Online))
        st = HOST_STATUS_IO_DEVICE_ERROR;
    return st;
}

/* ---- Idle states ---- */

HOST_IDLE g_HostIdle;

uint32_t HostSurveyIdle(void)
{
    char path[HOST_PATH_CHARS];
    uint32_t st = HostReadLine(HOST_IDLE_DRIVER, g_HostIdle.Driver, sizeof g_HostIdle.Driver);
    g_HostIdle.Count = 0;
    if (st)
        return st;
    if (!g_HostIdle.Driver[0] || AcpiSimSame(g_HostIdle.Driver, "none"))
        return ACPISIM_STATUS_NOT_SUPPORTED;
    st = HostSurveyCpus();
    if (st)
        return st;
    g_HostIdle.FirstCpu = HostFirstOnline();
    if (g_HostIdle.FirstCpu == HOST_MAX_CPUS)
        return ACPISIM_STATUS_NOT_SUPPORTED;
    for (uint32_t k = 0; k < HOST_MAX_IDLE_STATES; k++) {
        HostIdleStateFile(path, g_HostIdle.FirstCpu, k, "name");
        if (HostReadLine(path, g_HostIdle.Names[k], sizeof g_HostIdle.Names[k]))
            break;
        g_HostIdle.Count = k + 1;
    }
    return g_HostIdle.Count ? ACPISIM_STATUS_SUCCESS : ACPISIM_STATUS_NOT_SUPPORTED;
}

static int EndsWith(const char *s, const char *tail)
{
    size_t n = 0, t = 0;
    while (s[n])
        n++;
    while (tail[t])
        t++;
    return n >= t && AcpiSimSame(s + n - t, tail);
}

int HostMapIdleState(const char *driver, const char (*names)[HOST_IDLE_NAME_CHARS], uint32_t count, uint32_t n)
{
    char want[HOST_IDLE_NAME_CHARS];
    int deep[HOST_MAX_IDLE_STATES], firmware = 0;
    uint32_t shallow = 0;

    if (n < ACPI_CPU_STATE_MIN || n > ACPI_CPU_STATE_MAX)
        return -1;
    if (count > HOST_MAX_IDLE_STATES)
        count = HOST_MAX_IDLE_STATES;
    int acpi = AcpiSimSame(driver, "acpi_idle");
    AcpiSimFormat(want, sizeof want, acpi ? "C%u" : "C%u_ACPI", n);
    for (uint32_t k = 0; k < count; k++) {
        if (AcpiSimSame(names[k], want))
            return (int)k;
        firmware |= EndsWith(names[k], "_ACPI");
    }
    if (acpi || firmware)
        return -1;          /* named by the firmware, and this one is not among them */
    for (uint32_t k = 0; k < count; k++)
        if (!AcpiSimSame(names[k], "POLL"))
            deep[shallow++] = (int)k;
    if (n == 1)
        return shallow >= 1 ? deep[0] : -1;
    if (n == 3)
        return shallow >= 2 ? deep[shallow - 1] : -1;
    return shallow >= 3 ? deep[(shallow - 1) / 2] : -1;
}

int HostIdleStateOf(uint32_t n)
{
    return HostMapIdleState(g_HostIdle.Driver, (const char (*)[HOST_IDLE_NAME_CHARS])g_HostIdle.Names,
                            g_HostIdle.Count, n);
}

/* ---- Cooling devices and fans ---- */

HOST_COOLING g_HostCooling;

void HostSurveyCooling(void)
{
    char path[HOST_PATH_CHARS], type[HOST_TEXT_CHARS];
    uint32_t misses = 0;
    g_HostCooling.Fan = 0;
    g_HostCooling.Processors = 0;
    for (uint32_t i = 0; i < HOST_MAX_COOLING && misses < MISSES_TO_STOP; i++) {
        HostCoolingFile(path, i, "type");
        if (HostReadLine(path, type, sizeof type)) {
            misses++;
            continue;
        }
        misses = 0;
        if (AcpiSimSame(type, "Fan") && !g_HostCooling.Fan) {
            g_HostCooling.Fan = 1;
            g_HostCooling.FanDevice = i;
        } else if (AcpiSimSame(type, "Processor")) {
            g_HostCooling.Processor[g_HostCooling.Processors++] = (uint16_t)i;
        }
    }
}

uint32_t HostFindPwm(uint32_t *device, uint32_t *pwm)
{
    char path[HOST_PATH_CHARS];
    uint32_t misses = 0, refused = ACPISIM_STATUS_NOT_SUPPORTED;
    for (uint32_t i = 0; i < MAX_HWMON && misses < MISSES_TO_STOP; i++) {
        HostHwmonFile(path, i, "name", 0);
        if (!HostExists(path)) {
            misses++;
            continue;
        }
        misses = 0;
        for (uint32_t j = 1; j <= MAX_PWM; j++) {
            HostHwmonFile(path, i, "pwm%u", j);
            if (!HostExists(path))
                continue;
            uint32_t st = HostStatus(HostCanWrite(path));
            if (st == ACPISIM_STATUS_NOT_SUPPORTED || (st && refused != ACPISIM_STATUS_NOT_SUPPORTED))
                continue;
            *device = i;
            *pwm = j;
            if (!st)
                return ACPISIM_STATUS_SUCCESS;
            refused = st;       /* the first refusal, unless a later one takes writing */
        }
    }
    return refused;
}

/* ---- Clock throttling ---- */

const char *const g_HostThrottleNames[] = { "none", "processor", "intel_pstate", "cpufreq" };

int HostSurveyThrottle(char file[HOST_PATH_CHARS])
{
    if (g_HostCooling.Processors) {
        HostCoolingFile(file, g_HostCooling.Processor[0], "cur_state");
        return HOST_THROTTLE_PROCESSOR;
    }
    if (HostExists(HOST_PSTATE_MAX)) {
        AcpiSimFormat(file, HOST_PATH_CHARS, "%s", HOST_PSTATE_MAX);
        return HOST_THROTTLE_PSTATE;
    }
    if (!HostSurveyCpus()) {
        uint32_t cpu = HostFirstOnline();
        HostCpufreqFile(file, cpu, "scaling_max_freq");
        if (cpu < HOST_MAX_CPUS && HostExists(file))
            return HOST_THROTTLE_CPUFREQ;
    }
    return HOST_THROTTLE_NONE;
}
