/* The simulated backend: a machine that does what it is asked at once and
   remembers it. */
#include "acpisim/acpisim.h"

static ACPISIM_MACHINE g_Machine;

static uint32_t SimSetSleepState(uint32_t s) { g_Machine.SleepState = s; return ACPISIM_STATUS_SUCCESS; }
static uint32_t SimSetCpuState(uint32_t s)   { g_Machine.CpuState = s;   return ACPISIM_STATUS_SUCCESS; }
static uint32_t SimSetFan(uint32_t on)       { g_Machine.Fan = on;       return ACPISIM_STATUS_SUCCESS; }
static uint32_t SimSetDutyCycle(uint32_t p)  { g_Machine.DutyCycle = p;  return ACPISIM_STATUS_SUCCESS; }

static uint32_t SimGetCapabilities(uint32_t configured, uint32_t *mask)
{
    *mask = configured;
    return ACPISIM_STATUS_SUCCESS;
}

static uint32_t SimSetAlarm(const RTC_ALARM_TIME *t)
{
    g_Machine.Alarm = *t;
    return ACPISIM_STATUS_SUCCESS;
}

static uint32_t SimGetAlarm(RTC_ALARM_TIME *t)
{
    *t = g_Machine.Alarm;
    return ACPISIM_STATUS_SUCCESS;
}

static const ACPISIM_BACKEND g_Simulated = {
    "simulated",
    SimSetSleepState, SimSetCpuState, SimSetFan, SimSetDutyCycle,
    SimGetCapabilities, SimSetAlarm, SimGetAlarm,
};

/* Every backend there is; the first is the default. */
static const ACPISIM_BACKEND *const g_Backends[] = { &g_Simulated };

const ACPISIM_BACKEND *AcpiSimFindBackend(const char *name)
{
    if (!name || !*name)
        return g_Backends[0];
    for (size_t i = 0; i < sizeof g_Backends / sizeof g_Backends[0]; i++) {
        const char *a = g_Backends[i]->Name, *b = name;
        while (*a && *a == *b)
            a++, b++;
        if (!*a && !*b)
            return g_Backends[i];
    }
    return 0;
}

void AcpiSimSimulatedState(ACPISIM_MACHINE *out)
{
    *out = g_Machine;
}

void AcpiSimSimulatedReset(void)
{
    static const ACPISIM_MACHINE zero;
    g_Machine = zero;
}
