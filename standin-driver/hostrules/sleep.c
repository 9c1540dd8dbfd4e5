/* The host backend's sleep states S1 to S4: the platform's own sleep
   chosen in mem_sleep (S3, "deep") or disk (S4, "platform"), the word
   written to /sys/power/state, the mode put back after the wake, and the
   suspend counters that tell a real sleep from an aborted one. */
#include "standin-driver/hostrules/common.h"

const HOST_SLEEP_KIND g_HostSleepKinds[HOST_SLEEP_KINDS] = {
    { "standby", 0, 0, ACPI_CAP_S1 },
    { 0, 0, 0, ACPI_CAP_S2 },                   /* Linux has no S2 */
    { "mem", HOST_MEM_SLEEP, "deep", ACPI_CAP_S3 },
    { "disk", HOST_DISK_MODE, "platform", HOST_CAP_S4 },
};

/* The suspend counters, where the kernel has them: 1 when read. */
static int SuspendStats(uint64_t *success, uint64_t *fail)
{
    return !HostReadNumber(HOST_SUSPEND_SUCCESS, success) && !HostReadNumber(HOST_SUSPEND_FAIL, fail);
}

uint32_t HostSetSleepState(uint32_t sleepState)
{
    char line[HOST_TEXT_CHARS], was[HOST_VALUE_CHARS];
    uint64_t success0 = 0, fail0 = 0, success1 = 0, fail1 = 0;
    uint32_t st, restore = 0;
    int counted, switched = 0;

    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    const HOST_SLEEP_KIND *kind = &g_HostSleepKinds[sleepState - ACPI_SLEEP_STATE_MIN];
    const char *action = kind->State, *modeFile = kind->ModeFile, *mode = kind->Mode;
    const char *modeName = modeFile ? modeFile + sizeof "sys/power" : 0;   /* "mem_sleep", "disk" */
    if (!action) {
        HostNote("S2=none");
        return ACPISIM_STATUS_NOT_SUPPORTED;
    }
    st = HostReadLine(HOST_POWER_STATE, line, sizeof line);
    if (st || !HostHasWord(line, action)) {
        HostNote("state=%s-missing", action);
        return st ? HostStatus(st) : ACPISIM_STATUS_NOT_SUPPORTED;
    }
    if (modeFile) {
        st = HostReadLine(modeFile, line, sizeof line);
        if (st || !HostHasWord(line, mode)) {
            HostNote("%s=%s-missing", modeName, mode);
            return st ? HostStatus(st) : ACPISIM_STATUS_NOT_SUPPORTED;
        }
        if (!HostSelected(line, was, sizeof was))
            return HOST_STATUS_IO_DEVICE_ERROR;    /* nothing known to put back */
        switched = !AcpiSimSame(was, mode);
    }
    /* Hibernation is not counted. */
    counted = sleepState != ACPI_SLEEP_STATE(4) && SuspendStats(&success0, &fail0);

    if (switched) {
        st = HostWriteLine(modeFile, mode);
        if (st) {
            HostNote("%s=%s failed", modeName, mode);
            return HostStatus(st);
        }
    }
    HostNote("state=%s", action);
    if (modeFile)
        HostNote(switched ? "%s=%s was=%s" : "%s=%s", modeName, mode, was);
    st = HostWriteLine(HOST_POWER_STATE, action);      /* returns after the machine has woken */
    if (switched) {
        restore = HostWriteLine(modeFile, was);
        if (restore) {
            HostNote("restore=failed");
            if (HostKeep(modeFile, was))        /* tried again at the last close */
                restore = HOST_STATUS_IO_DEVICE_ERROR;   /* no room to keep it: noted */
        }
    }
    if (!st && counted && SuspendStats(&success1, &fail1)) {
        HostNote("suspend_stats success+=%llu fail+=%llu",
                 (unsigned long long)(success1 - success0), (unsigned long long)(fail1 - fail0));
        if (success1 <= success0 || fail1 > fail0)
            st = HOST_STATUS_IO_DEVICE_ERROR;   /* the sleep was aborted */
    }
    return HostStatus(st ? st : restore);
}
