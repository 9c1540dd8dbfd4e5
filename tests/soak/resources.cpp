/* Handles from NtQuerySystemInformation (class 16) by process id, windows by
   enumeration, memory from GetProcessMemoryInfo. */
#include "tests/soak/resources.h"
#include <psapi.h>
#include <winternl.h>
#include <string>
#include <vector>

static BOOL CALLBACK Count(HWND hwnd, LPARAM lParam)
{
    auto *r = (std::pair<DWORD, size_t> *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == r->first && ++r->second && GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow())
        EnumChildWindows(hwnd, Count, lParam);
    return TRUE;
}

Resources CountResources(DWORD pid, HANDLE process)
{
    Resources r;
    std::vector<char> list(1 << 16);
    ULONG need = 0;
    while (NtQuerySystemInformation(SystemHandleInformation, list.data(), (ULONG)list.size(), &need) ==
           (NTSTATUS)0xC0000004L)   /* STATUS_INFO_LENGTH_MISMATCH */
        list.resize(list.size() * 2);
    const auto *info = (const SYSTEM_HANDLE_INFORMATION *)list.data();
    const std::wstring kLeaked = L"\\ComDlg32\\LastVisitedMRU";
    for (ULONG i = 0; i < info->Count; i++) {
        const SYSTEM_HANDLE_ENTRY &e = info->Handle[i];
        HANDLE h = NULL;
        if (e.OwnerPid != pid)
            continue;
        r.handles++;
        if (!DuplicateHandle(process, (HANDLE)(ULONG_PTR)e.HandleValue, GetCurrentProcess(), &h, 0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        union { OBJECT_NAME_INFORMATION name; char room[2048]; } u = {};
        if (NtQueryObject(h, ObjectNameInformation, &u, sizeof u, NULL) >= 0 && u.name.Name.Buffer) {
            std::wstring name(u.name.Name.Buffer, u.name.Name.Length / 2);
            r.wineKeys += name.size() >= kLeaked.size() && name.compare(name.size() - kLeaked.size(), kLeaked.size(), kLeaked) == 0;
        }
        CloseHandle(h);
    }
    std::pair<DWORD, size_t> windows(pid, 0);
    EnumWindows(Count, (LPARAM)&windows);
    r.windows = windows.second;
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof mem;
    GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS *)&mem, sizeof mem);
    r.privateBytes = mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;
    return r;
}
