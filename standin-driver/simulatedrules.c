/* The simulated backend: a machine that does what it is asked and
   remembers it.  A sleep-state request returns at once, or, as SleepWake
   says, when the alarm set through the driver comes due (or later), in
   real time: the clock and the wait come from the platform table the
   host backend uses too. */
#include "standin-driver/acpisimrules.h"
#include "standin-driver/hostrules.h"
#include "standin-driver/textrules.h"

static struct {
    uint32_t SleepState, CpuState, Fan, DutyCycle;
    RTC_ALARM_TIME Alarm;
} g_Machine;

static const HOST_PLATFORM *g_Platform;
static uint32_t g_Wake, g_LateSeconds;     /* set by every open */
static char g_Note[48], g_Taken[48];       /* the sleep's journal note */

/* The longest sleep (an RTC alarm is a time of day), and how often the
   clock is read in the last second before the wake. */
#define LONGEST_SLEEP_SECONDS 86400
#define POLL_MS 20u

void AcpiSimSimulatedSetPlatform(const HOST_PLATFORM *platform)
{
    g_Platform = platform;
}

static uint32_t SimOpen(const ACPISIM_CONFIG *cfg)
{
    g_Wake = cfg->SleepWake;
    g_LateSeconds = cfg->SleepLateSeconds;
    return ACPISIM_STATUS_SUCCESS;
}

static const char *SimTakeNote(void)
{
    AcpiSimCopy(g_Taken, g_Note, sizeof g_Taken);
    g_Note[0] = 0;
    return g_Taken;
}

static uint32_t Now(HOST_CLOCK *now)
{
    uint32_t st = g_Platform ? g_Platform->Now(g_Platform->Context, now) : ACPISIM_STATUS_NOT_SUPPORTED;
    if (st)
        AcpiSimFormat(g_Note, sizeof g_Note, "clock=failed");
    return st;
}

/* Waits until the clock's second reaches due (seconds since 1601, UTC). */
static uint32_t SleepUntil(int64_t due)
{
    HOST_CLOCK now;
    uint32_t st;
    while (!(st = Now(&now)) && now.Utc < due)
        g_Platform->Idle(g_Platform->Context, due - now.Utc > 1 ? (uint32_t)(due - now.Utc - 1) * 1000 : POLL_MS);
    return st;
}

static uint32_t SimSetSleepState(uint32_t s)
{
    HOST_CLOCK now;
    g_Machine.SleepState = s;
    if (g_Wake == ACPISIM_WAKE_AT_ONCE)
        return ACPISIM_STATUS_SUCCESS;
    uint32_t st = Now(&now);
    if (st)
        return st;
    int64_t due = g_Machine.Alarm.Year ? HostLocalToUtc(&now.Zone, HostRecordToSeconds(&g_Machine.Alarm)) : now.Utc;
    if (due <= now.Utc) {
        AcpiSimFormat(g_Note, sizeof g_Note, "woke=at-once alarm=%s", g_Machine.Alarm.Year ? "passed" : "none");
        return ACPISIM_STATUS_SUCCESS;
    }
    if (due - now.Utc > LONGEST_SLEEP_SECONDS)
        due = now.Utc + LONGEST_SLEEP_SECONDS;
    if (g_Wake == ACPISIM_WAKE_LATE)
        due += g_LateSeconds;
    st = SleepUntil(due);
    if (!st)
        AcpiSimFormat(g_Note, sizeof g_Note, "woke=%s after=%us", g_Wake == ACPISIM_WAKE_LATE ? "late" : "alarm",
                      (uint32_t)(due - now.Utc));
    return st;
}

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
    SimOpen, 0, SimTakeNote,
};

void AcpiSimSimulatedReset(void)
{
    static const RTC_ALARM_TIME zero;
    g_Machine.SleepState = g_Machine.CpuState = g_Machine.Fan = g_Machine.DutyCycle = 0;
    g_Machine.Alarm = zero;
    g_Wake = ACPISIM_WAKE_AT_ONCE;
    g_Note[0] = 0;
}
