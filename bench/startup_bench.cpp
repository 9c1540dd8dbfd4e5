/* Start-up time: from process start until VERUVEZ.EXE has its banner in
   the log, against Wine's notepad.exe until its window exists.  Both are
   started from here, alternately, in the same prefix; one warm-up run of
   each is not counted.

   startup_bench VERUVEZ.EXE [runs]    (default 11 runs; a Unix path is
                                        taken as a path on drive Z:) */
#include "app/veruvez.h"
#include "bench/bench.h"
#include "res/texts.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char BANNER[] = BANNER_TEXT "\r\n\r\n";

static bool s_vmtShown;   /* its window was up when the banner was read */

static bool BannerShown(HWND *phwnd)
{
    HWND hwnd = FindWindowA(g_szClassName, NULL);
    if (!hwnd)
        return false;
    HWND hwndLog = GetDlgItem(hwnd, IDC_LOG);
    char text[256] = "";
    DWORD_PTR got = 0;
    if (!hwndLog || !SendMessageTimeoutA(hwndLog, WM_GETTEXT, sizeof text, (LPARAM)text,
                                         SMTO_NORMAL, 2000, &got))
        return false;
    *phwnd = hwnd;
    s_vmtShown = IsWindowVisible(hwnd) != FALSE;
    return strncmp(text, BANNER, sizeof BANNER - 1) == 0;
}

/* Notepad has reached its window when the window is up on the screen;
   the time it merely exists (created, not yet shown) is noted as well. */
static double s_notepadExistsMs;
static double s_t0;

static bool NotepadShown(HWND *phwnd)
{
    *phwnd = FindWindowA("Notepad", NULL);
    if (*phwnd && s_notepadExistsMs < 0)
        s_notepadExistsMs = Now() - s_t0;
    return *phwnd && IsWindowVisible(*phwnd);
}

/* Starts cmdLine and polls ready() every millisecond; returns the time in ms
   until it is ready (negative after 20 s), then closes the program. */
static double TimeStart(const char *cmdLine, bool (*ready)(HWND *))
{
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    char cmd[MAX_PATH * 2];
    lstrcpynA(cmd, cmdLine, sizeof cmd);
    double t0 = s_t0 = Now();
    s_notepadExistsMs = -1;
    if (!CreateProcessA(NULL, cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        printf("cannot start %s (error %lu)\n", cmdLine, GetLastError());
        return -1;
    }
    HWND hwnd = NULL;
    double elapsed = -1;
    while (Now() - t0 < 20000) {
        if (ready(&hwnd)) {
            elapsed = Now() - t0;
            break;
        }
        Sleep(1);
    }
    if (hwnd)
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return elapsed;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        printf("usage: startup_bench VERUVEZ.EXE [runs]\n");
        return 2;
    }
    char exe[MAX_PATH];
    if (argv[1][0] == '/')
        snprintf(exe, sizeof exe, "Z:%s", argv[1]);
    else
        snprintf(exe, sizeof exe, "%s", argv[1]);
    for (char *p = exe; *p; p++)
        if (*p == '/')
            *p = '\\';
    LoadProgramNames(GetModuleHandleA(NULL));
    int runs = argc > 2 ? atoi(argv[2]) : 11;
    if (runs < 1)
        runs = 1;
    if (FindWindowA(g_szClassName, NULL)) {
        printf("VERUVEZ.EXE is already running on this desktop\n");
        return 2;
    }

    char cmdVmt[MAX_PATH + 2];
    snprintf(cmdVmt, sizeof cmdVmt, "\"%s\"", exe);
    std::vector<double> vmt, notepad, notepadExists;
    for (int i = 0; i <= runs; i++) {
        double a = TimeStart(cmdVmt, BannerShown);
        double b = TimeStart("notepad.exe", NotepadShown);
        if (a < 0 || b < 0) {
            printf("run %d failed (VERUVEZ %.1f ms, notepad %.1f ms)\n", i, a, b);
            return 1;
        }
        if (i == 0)
            continue;   /* warm-up */
        vmt.push_back(a);
        notepad.push_back(b);
        notepadExists.push_back(s_notepadExistsMs);
        printf("run %d: VERUVEZ.EXE banner %.1f ms (window %s), notepad.exe window shown %.1f ms"
               " (created %.1f ms)\n", i, a, s_vmtShown ? "shown" : "not shown yet", b, s_notepadExistsMs);
    }
    double mv = Median(vmt), mn = Median(notepad), me = Median(notepadExists);
    printf("median of %d: VERUVEZ.EXE %.1f ms, notepad.exe %.1f ms; ratio %.2f (goal <= 1.0, %s)\n",
           runs, mv, mn, mv / mn, mv / mn <= 1.0 ? "met" : "MISSED");
    printf("   against notepad's window merely created (%.1f ms): ratio %.2f\n", me, mv / me);
    double bv = *std::min_element(vmt.begin(), vmt.end());
    double bn = *std::min_element(notepad.begin(), notepad.end());
    printf("   best of %d (least disturbed by other load): VERUVEZ.EXE %.1f ms, notepad.exe %.1f ms;"
           " ratio %.2f\n", runs, bv, bn, bv / bn);
    return 0;
}
