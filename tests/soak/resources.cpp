/* Handles from NtQuerySystemInformation (class 16) by process id, windows by
   enumeration, memory from GetProcessMemoryInfo. */
#include "tests/soak/resources.h"
#include <psapi.h>
#include <winternl.h>
#include <vector>

static BOOL CALLBACK Count(HWND hwnd, LPARAM lParam)
{
    auto *r = (std::pair<DWORD, size_t> *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    r->second += pid == r->first;
    return TRUE;
}

Resources CountResources(DWORD pid, HANDLE process)
{
    Resources r;
    std::vector<char> list(1 << 16);
    while (NtQuerySystemInformation(SystemHandleInformation, list.data(), (ULONG)list.size(), NULL) ==
           (NTSTATUS)0xC0000004L)   /* STATUS_INFO_LENGTH_MISMATCH */
        list.resize(list.size() * 2);
    const auto *info = (const SYSTEM_HANDLE_INFORMATION *)list.data();
    for (ULONG i = 0; i < info->Count; i++) {
        const SYSTEM_HANDLE_ENTRY &e = info->Handle[i];
        HANDLE h = NULL;
        r.handles += e.OwnerPid == pid;
        if (e.OwnerPid != pid ||
            !DuplicateHandle(process, (HANDLE)(ULONG_PTR)e.HandleValue, GetCurrentProcess(), &h, 0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        union { OBJECT_NAME_INFORMATION name; char room[2048]; } u = {};   /* the name ends in a 0 */
        r.wineKeys += NtQueryObject(h, ObjectNameInformation, &u, sizeof u - 2, NULL) >= 0 && u.name.Name.Buffer &&
                      wcsstr(u.name.Name.Buffer, L"\\ComDlg32\\LastVisitedMRU");
        CloseHandle(h);
    }
    std::pair<DWORD, size_t> windows(pid, 0);
    EnumChildWindows(GetDesktopWindow(), Count, (LPARAM)&windows);   /* every top-level window and descendant */
    r.windows = windows.second;
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof mem;
    GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS *)&mem, sizeof mem);
    r.privateBytes = mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;
    return r;
}
