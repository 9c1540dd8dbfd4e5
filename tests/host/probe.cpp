/* A read-only probe of this machine through the stand-in driver's host
   backend: the capability query alone, with the default SysfsRoot (Z:\,
   the machine's own /sys), compared with the mask the caller read from the
   same files with the shell.  No other request is ever sent.

     host_probe.exe EXPECTED_MASK     query, print, compare (exit 0 when equal)
     host_probe.exe --cleanup         only remove the values it sets */
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include "driver/acpiioctl.h"
#include "standin-driver/acpisimrules.h"

static const char kJournal[] = "C:\\vmt-host-probe-journal.txt";

/* Every value that would change what the query does, so a value left by
   an interrupted run never reaches another test. */
static void RemoveValues(HKEY key)
{
    for (const char *name : { "Backend", "SysfsRoot", "HostIdleMilliseconds", "JournalFile", "FailCode",
                              "FailStatus", "CapabilityMask", "ShortReply" })
        RegDeleteValueA(key, name);
}

int main(int argc, char **argv)
{
    HKEY key;
    if (argc != 2 ||
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL)) {
        std::fprintf(stderr, "usage: host_probe.exe EXPECTED_MASK | --cleanup\n");
        return 2;
    }
    RemoveValues(key);
    if (!std::strcmp(argv[1], "--cleanup"))
        return 0;
    unsigned long expected = std::strtoul(argv[1], NULL, 0);

    DeleteFileA(kJournal);
    RegSetValueExA(key, "JournalFile", 0, REG_SZ, (const BYTE *)kJournal, sizeof kJournal);
    RegSetValueExA(key, "Backend", 0, REG_SZ, (const BYTE *)"host", sizeof "host");
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 100 && (h = CreateFileA(ACPI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                                 OPEN_EXISTING, 0, NULL)) == INVALID_HANDLE_VALUE; i++)
        Sleep(100);   /* the driver host may still be starting */
    DWORD mask = 0, got = 0, error = 0;
    if (h == INVALID_HANDLE_VALUE)
        error = GetLastError();
    else if (!DeviceIoControl(h, IOCTL_GET_CAPABILITIES, &mask, sizeof mask, &mask, sizeof mask, &got, NULL))
        error = GetLastError();
    CloseHandle(h);
    RemoveValues(key);
    RegCloseKey(key);

    std::ifstream f(kJournal);
    std::string line;
    std::getline(f, line);
    f.close();
    DeleteFileA(kJournal);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::printf("host backend on this machine: mask %lu (0x%03lX)\njournal: %s\n", mask, mask, line.c_str());
    std::string want = "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=" + std::to_string(expected) + " ";
    if (error || mask != expected || line.compare(0, want.size(), want)) {
        std::printf("FAILED: expected mask %lu from the shell reading%s%s\n", expected,
                    error ? ", the request failed with system error " : "", error ? std::to_string(error).c_str() : "");
        return 1;
    }
    std::printf("equal to the shell reading\n");
    return 0;
}
