/* The host backend's file access: one line read or written whole, at
   offset 0, through the installed platform under the present root. */
#include "standin-driver/hostrules/common.h"

int HostReady(void) { return g_HostPlatform && g_HostRoot[0]; }

int HostAbsent(uint32_t status)
{
    return status == HOST_STATUS_OBJECT_NAME_NOT_FOUND || status == HOST_STATUS_OBJECT_PATH_NOT_FOUND;
}

uint32_t HostReadLine(const char *path, char *line, size_t size)
{
    static char text[HOST_TEXT_CHARS];
    uint32_t got = 0, st;
    line[0] = 0;
    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    st = g_HostPlatform->Read(g_HostPlatform->Context, g_HostRoot, path, text, sizeof text - 1, &got);
    if (st == HOST_STATUS_END_OF_FILE)
        st = ACPISIM_STATUS_SUCCESS, got = 0;
    if (st)
        return st;
    if (got >= sizeof text - 1)
        return HOST_STATUS_IO_DEVICE_ERROR;
    text[got] = 0;
    return HostFirstLine(text, line, size) ? ACPISIM_STATUS_SUCCESS : HOST_STATUS_IO_DEVICE_ERROR;
}

uint32_t HostReadNumber(const char *path, uint64_t *value)
{
    char line[HOST_TEXT_CHARS];
    uint32_t st = HostReadLine(path, line, sizeof line);
    if (!st && !HostParseNumber(line, value))
        st = HOST_STATUS_IO_DEVICE_ERROR;
    return st;
}

uint32_t HostWriteUnder(const uint16_t *root, const char *path, const char *value)
{
    char text[HOST_VALUE_CHARS + 2];
    uint32_t length = (uint32_t)AcpiSimFormat(text, sizeof text, "%s\n", value), written = 0;
    if (!g_HostPlatform || !root[0])
        return ACPISIM_STATUS_NOT_SUPPORTED;
    uint32_t st = g_HostPlatform->Write(g_HostPlatform->Context, root, path, text, length, &written);
    if (!st && written != length)
        st = HOST_STATUS_IO_DEVICE_ERROR;
    return st;
}

uint32_t HostWriteLine(const char *path, const char *value)
{
    return HostWriteUnder(g_HostRoot, path, value);
}

uint32_t HostWriteNumber(const char *path, uint64_t value)
{
    char text[HOST_VALUE_CHARS];
    AcpiSimFormat(text, sizeof text, "%llu", (unsigned long long)value);
    return HostWriteLine(path, text);
}

uint32_t HostCanWrite(const char *path)
{
    if (!HostReady())
        return ACPISIM_STATUS_NOT_SUPPORTED;
    return g_HostPlatform->CanWrite(g_HostPlatform->Context, g_HostRoot, path);
}

int HostExists(const char *path)
{
    char line[HOST_TEXT_CHARS];
    return HostReadLine(path, line, sizeof line) == ACPISIM_STATUS_SUCCESS;
}
