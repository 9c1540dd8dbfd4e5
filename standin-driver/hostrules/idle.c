/* The host backend's processor idle states C1 to C3: every other idle
   state disabled on the online CPUs for the idle wait, the residency
   counters read before and after, and every flag put back. */
#include "standin-driver/hostrules/common.h"

enum { FLAG_PRESENT = 1, FLAG_DISABLED = 2, FLAG_CHANGED = 4 };
static uint8_t g_Flags[HOST_MAX_CPUS][HOST_MAX_IDLE_STATES];

/* Reads every online CPU's disable flags.  A CPU without the state
   directories is left out. */
static uint32_t SaveFlags(void)
{
    char path[HOST_PATH_CHARS];
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
        for (uint32_t k = 0; k < HOST_MAX_IDLE_STATES; k++)
            g_Flags[cpu][k] = 0;
        if (!HostOnline(cpu))
            continue;
        for (uint32_t k = 0; k < g_HostIdle.Count; k++) {
            uint64_t v;
            HostIdleStateFile(path, cpu, k, "disable");
            uint32_t st = HostReadNumber(path, &v);
            if (HostAbsent(st))
                continue;
            if (st)
                return st;
            g_Flags[cpu][k] = (uint8_t)(FLAG_PRESENT | (v ? FLAG_DISABLED : 0));
        }
    }
    return ACPISIM_STATUS_SUCCESS;
}

/* Leaves only state `only` enabled on every CPU that has it. */
static uint32_t RestrictFlags(uint32_t only)
{
    char path[HOST_PATH_CHARS];
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
        if (!(g_Flags[cpu][only] & FLAG_PRESENT))
            continue;
        for (uint32_t k = 0; k < g_HostIdle.Count; k++) {
            uint8_t *f = &g_Flags[cpu][k];
            int disable = k != only;
            if (!(*f & FLAG_PRESENT) || !(*f & FLAG_DISABLED) == !disable)
                continue;
            HostIdleStateFile(path, cpu, k, "disable");
            uint32_t st = HostWriteLine(path, disable ? "1" : "0");
            if (st)
                return st;
            *f |= FLAG_CHANGED;
        }
    }
    return ACPISIM_STATUS_SUCCESS;
}

/* Puts every changed flag back; a flag that cannot be written now is kept
   for the last close.  Returns the first failure's status. */
static uint32_t RestoreFlags(uint32_t *failed)
{
    char path[HOST_PATH_CHARS];
    uint32_t first = ACPISIM_STATUS_SUCCESS;
    *failed = 0;
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++)
        for (uint32_t k = 0; k < g_HostIdle.Count; k++) {
            uint8_t *f = &g_Flags[cpu][k];
            if (!(*f & FLAG_CHANGED))
                continue;
            const char *value = (*f & FLAG_DISABLED) ? "1" : "0";
            HostIdleStateFile(path, cpu, k, "disable");
            uint32_t st = HostWriteLine(path, value);
            if (st) {
                if (HostKeep(path, value))      /* no room to keep it: noted */
                    st = HOST_STATUS_IO_DEVICE_ERROR;
                (*failed)++;
                if (!first)
                    first = st;
            }
            *f &= (uint8_t)~FLAG_CHANGED;
        }
    return first;
}

/* The state's usage and time (microseconds), summed over the CPUs that
   have it. */
static uint32_t Residency(uint32_t k, uint64_t *usage, uint64_t *time)
{
    char path[HOST_PATH_CHARS];
    *usage = *time = 0;
    for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
        uint64_t u, t;
        if (!(g_Flags[cpu][k] & FLAG_PRESENT))
            continue;
        HostIdleStateFile(path, cpu, k, "usage");
        uint32_t st = HostReadNumber(path, &u);
        HostIdleStateFile(path, cpu, k, "time");
        if (!st)
            st = HostReadNumber(path, &t);
        if (st)
            return st;
        *usage += u;
        *time += t;
    }
    return ACPISIM_STATUS_SUCCESS;
}

uint32_t HostSetCpuState(uint32_t cpuState)
{
    uint64_t usage0 = 0, time0 = 0, usage1 = 0, time1 = 0;
    uint32_t st, restore, failed;

    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    st = HostSurveyIdle();
    if (st) {
        HostNote("idle=none");
        return HostStatus(st);
    }
    int k = HostIdleStateOf(cpuState);
    if (k < 0) {
        HostNote("idle=%s C%u=none", g_HostIdle.Driver, cpuState);
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    HostNote("idle=%s", g_HostIdle.Names[k]);
    st = SaveFlags();
    if (st)
        return HostStatus(st);

    st = RestrictFlags((uint32_t)k);
    if (!st)
        st = Residency((uint32_t)k, &usage0, &time0);
    if (!st) {
        g_HostPlatform->Idle(g_HostPlatform->Context, g_HostIdleMs);
        st = Residency((uint32_t)k, &usage1, &time1);
    }
    restore = RestoreFlags(&failed);
    if (!st) {
        HostNote("usage+=%llu time+=%lluus",
                 (unsigned long long)(usage1 > usage0 ? usage1 - usage0 : 0),
                 (unsigned long long)(time1 > time0 ? time1 - time0 : 0));
        if (usage1 <= usage0)
            st = HOST_STATUS_IO_DEVICE_ERROR;     /* never entered */
    }
    if (failed)
        HostNote("restore-failed=%u", failed);
    return HostStatus(st ? st : restore);
}
