/* The host backend's table and its state: the platform, the root and the
   idle time every open sets, and what an open and the last close put back. */
#include "standin-driver/hostrules/common.h"

const HOST_PLATFORM *g_HostPlatform;
uint16_t g_HostRoot[ACPISIM_ROOT_CHARS];
uint32_t g_HostIdleMs;      /* set by every open, before any request */

/* Settings changed under another root go back there, never into the new
   one. */
static uint32_t HostOpen(const ACPISIM_CONFIG *cfg)
{
    AcpiSimCopy(g_HostRoot, cfg->SysfsRoot, sizeof g_HostRoot);
    g_HostRoot[ACPISIM_ROOT_CHARS - 1] = 0;
    g_HostIdleMs = cfg->HostIdleMilliseconds;
    return HostKeepsOtherRoot() ? HostPutBack() : ACPISIM_STATUS_SUCCESS;
}

static uint32_t HostRelease(void)
{
    return HostPutBack();
}

void AcpiSimHostSetPlatform(const HOST_PLATFORM *platform)
{
    g_HostPlatform = platform;
}

void AcpiSimHostReset(void)
{
    HostForgetKept();
    g_HostRoot[0] = 0;
    g_HostIdleMs = 0;
    HostTakeNote();
}

const ACPISIM_BACKEND AcpiSimHost = {
    "host",
    HostSetSleepState, HostSetCpuState, HostSetFan, HostSetDutyCycle,
    HostGetCapabilities, HostSetAlarm, HostGetAlarm,
    HostOpen, HostRelease, HostTakeNote,
};
