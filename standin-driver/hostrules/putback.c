/* The host backend's settings to put back: the value each changed file had
   before its first change, written back when the device's last handle
   closes or an open names another root. */
#include "standin-driver/hostrules/common.h"

typedef struct SAVED {
    char Path[HOST_PATH_CHARS];
    char Value[HOST_VALUE_CHARS];
} SAVED;

static SAVED g_Saved[HOST_MAX_SAVED];
static uint32_t g_SavedCount;

uint32_t HostKeep(const char *path, const char *value)
{
    for (uint32_t i = 0; i < g_SavedCount; i++)
        if (AcpiSimSame(g_Saved[i].Path, path))
            return ACPISIM_STATUS_SUCCESS;
    if (g_SavedCount == HOST_MAX_SAVED)
        return HOST_STATUS_IO_DEVICE_ERROR;
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
    uint32_t failed = 0;
    while (g_SavedCount) {
        SAVED *s = &g_Saved[--g_SavedCount];
        if (HostWriteLine(s->Path, s->Value))
            failed++;
    }
    return failed;
}

void HostForgetKept(void)
{
    g_SavedCount = 0;
}
