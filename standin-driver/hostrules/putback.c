/* The host backend's settings to put back: the value each changed file had
   before its first change, written back when the device's last handle
   closes or an open names another root. */
#include "standin-driver/hostrules/common.h"

typedef struct SAVED {
    char Path[HOST_PATH_CHARS];
    char Value[HOST_VALUE_CHARS];
    int Failed;                 /* the last try to write it back failed */
} SAVED;

static SAVED g_Saved[HOST_MAX_SAVED];
static uint32_t g_SavedCount;
static uint16_t g_SavedRoot[ACPISIM_ROOT_CHARS];   /* the root they were read under */

int HostKeepsOtherRoot(void)
{
    return g_SavedCount && !AcpiSimSameText(g_SavedRoot, g_HostRoot, 2, ACPISIM_WHOLE);
}

uint32_t HostKeep(const char *path, const char *value)
{
    if (HostKeepsOtherRoot()) {
        HostNote("put-back=pending");    /* another root's settings wait to go back */
        return HOST_STATUS_IO_DEVICE_ERROR;
    }
    for (uint32_t i = 0; i < g_SavedCount; i++)
        if (AcpiSimSame(g_Saved[i].Path, path))
            return ACPISIM_STATUS_SUCCESS;
    if (g_SavedCount == HOST_MAX_SAVED) {
        if (!HostNoted("put-back=full"))   /* once, however many cannot be kept */
            HostNote("put-back=full");
        return HOST_STATUS_IO_DEVICE_ERROR;
    }
    if (!g_SavedCount)
        AcpiSimCopy(g_SavedRoot, g_HostRoot, sizeof g_SavedRoot);
    AcpiSimFormat(g_Saved[g_SavedCount].Path, HOST_PATH_CHARS, "%s", path);
    AcpiSimFormat(g_Saved[g_SavedCount].Value, HOST_VALUE_CHARS, "%s", value);
    g_SavedCount++;
    return ACPISIM_STATUS_SUCCESS;
}

uint32_t HostRemember(const char *path)
{
    char line[HOST_TEXT_CHARS];
    uint32_t st = HostReadLine(path, line, sizeof line);
    if (st)
        return st;
    for (size_t n = 0; line[n]; n++)
        if (n + 1 >= HOST_VALUE_CHARS)
            return HOST_STATUS_IO_DEVICE_ERROR;   /* too long to keep: leave it alone */
    return HostKeep(path, line);
}

uint32_t HostPutBack(void)
{
    uint32_t first = ACPISIM_STATUS_SUCCESS, kept = 0;
    for (uint32_t i = g_SavedCount; i-- > 0;) {
        uint32_t st = HostWriteUnder(g_SavedRoot, g_Saved[i].Path, g_Saved[i].Value);
        g_Saved[i].Failed = st != ACPISIM_STATUS_SUCCESS;
        if (st && !first)
            first = HostStatus(st);
    }
    for (uint32_t i = 0; i < g_SavedCount; i++)
        if (g_Saved[i].Failed)
            AcpiSimCopy(&g_Saved[kept++], &g_Saved[i], sizeof g_Saved[i]);
    g_SavedCount = kept;
    if (kept)
        HostNote("kept=%u", kept);
    return first;
}

void HostForgetKept(void)
{
    g_SavedCount = 0;
}
