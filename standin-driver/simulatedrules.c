/* The simulated backend: a machine that does what it is asked at once and
   remembers it. */
#include "standin-driver/acpisimrules.h"

static struct {
    uint32_t SleepState, CpuState, Fan, DutyCycle;
    RTC_ALARM_TIME Alarm;
} g_Machine;

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

const ACPISIM_BACKEND AcpiSimSimulated = {
    "simulated",
    SimSetSleepState, SimSetCpuState, SimSetFan, SimSetDutyCycle,
    SimGetCapabilities, SimSetAlarm, SimGetAlarm,
    0, 0, 0,
};

void AcpiSimSimulatedReset(void)
{
    static const RTC_ALARM_TIME zero;
    g_Machine.SleepState = g_Machine.CpuState = g_Machine.Fan = g_Machine.DutyCycle = 0;
    g_Machine.Alarm = zero;
}
