/* Cost of appending log lines to the visible pane of a real main window,
   against the bare append to a hidden RichEdit 1.0 control, and against the
   same bare append to the visible pane with its painting held (what the
   control costs in the window, without LogPrintf's own work).

   log_bench [lines] [repeats]    (default 5000 lines in blocks of a fifth,
                                   each case run 5 times, medians shown) */
#include "app/veruvez.h"
#include "log/logpane.h"
#include "bench/bench.h"
#include "bench/pump.h"
#include <richedit.h>
#include <stdio.h>
#include <stdlib.h>

/* Processor time of this process (all its threads), in ms. */
static double CpuNow()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (double)(k.QuadPart + u.QuadPart) / 10000.0;
}

/* A line of about 60 characters, different for every n. */
static void MakeLine(char *buf, size_t size, int n)
{
    snprintf(buf, size, "Running the \"S%d sleep state\" test, step %05d of the pass.\r\n",
             n % 4 + 1, n);
}

struct Run {
    std::vector<double> blockMs;   /* time per line in each block */
    std::vector<double> blockCpuMs; /* this process's processor time per line */
    double totalMs;                /* all lines, the final pump included */
    double finalPumpMs;
};

enum Mode { BARE_HIDDEN, BARE_PANE, PANE_PUMPED, PANE_BURST, MODES };

static Run Measure(Mode mode, int lines, int blocks)
{
    Run r = {};
    HWND hwndMain = NULL, hwndEdit;
    if (mode == BARE_HIDDEN) {
        hwndEdit = CreateWindowExA(WS_EX_CLIENTEDGE, LOG_PANE_CLASS, "", LOG_PANE_STYLE & ~WS_VISIBLE & ~WS_CHILD,
                                   0, 0, 600, 400, NULL, NULL, g_hInst, NULL);
        SendMessageA(hwndEdit, EM_EXLIMITTEXT, 0, LOG_TEXT_LIMIT);
    } else {
        CreateMainWindow(g_hInst, SW_SHOWNORMAL);
        hwndMain = FindWindowA(g_szClassName, NULL);
        hwndEdit = g_hwndLog;
        PumpMessages();
        if (mode == BARE_PANE)
            SendMessageA(hwndEdit, WM_SETREDRAW, FALSE, 0);
    }

    char line[128];
    int perBlock = lines / blocks;
    double start = Now(), blockStart = start, cpuStart = CpuNow();
    for (int i = 0; i < lines; i++) {
        MakeLine(line, sizeof line, i);
        if (mode == BARE_HIDDEN || mode == BARE_PANE) {
            SendMessageA(hwndEdit, EM_SETSEL, (WPARAM)-1, (LPARAM)-1);
            SendMessageA(hwndEdit, EM_REPLACESEL, FALSE, (LPARAM)line);
        } else {
            LogPrintf(LOG_NORMAL, "%s", line);
            if (mode == PANE_PUMPED)
                PumpMessages();
        }
        if ((i + 1) % perBlock == 0) {
            double t = Now();
            double c = CpuNow();
            r.blockMs.push_back((t - blockStart) / perBlock);
            r.blockCpuMs.push_back((c - cpuStart) / perBlock);
            blockStart = t;
            cpuStart = c;
        }
    }
    /* The program now waits for the operator: run the loop until the pane
       has painted everything (at most 2 s). */
    double beforePump = Now();
    if (mode == BARE_PANE) {   /* as LogResumePainting does */
        SendMessageA(hwndEdit, WM_SETREDRAW, TRUE, 0);
        SendMessageA(hwndEdit, EM_SCROLLCARET, 0, 0);
        InvalidateRect(hwndEdit, NULL, TRUE);
    }
    PumpMessages();
    while (hwndMain && Now() - beforePump < 2000 &&
           (!IsWindowVisible(hwndEdit) || GetUpdateRect(hwndEdit, NULL, FALSE))) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        PumpMessages();
    }
    double end = Now();
    r.finalPumpMs = end - beforePump;
    r.totalMs = end - start;

    /* Every line must have arrived. */
    int textLines = (int)SendMessageA(hwndEdit, EM_GETLINECOUNT, 0, 0);
    if (textLines < lines)
        printf("  !! only %d lines in the control\n", textLines);
    if (hwndMain) {
        LONG style = GetWindowLongA(hwndEdit, GWL_STYLE);
        int first = (int)SendMessageA(hwndEdit, EM_GETFIRSTVISIBLELINE, 0, 0);
        if (!(style & WS_VISIBLE) || GetUpdateRect(hwndEdit, NULL, FALSE) || first < textLines - 100)
            printf("  !! pane not painted or newest line not in view (first visible line %d of %d)\n",
                   first, textLines);
        CloseMainWindow(hwndMain);
    } else {
        DestroyWindow(hwndEdit);
    }
    return r;
}

/* The median of every figure over several runs of one case: the machine
   is shared, and a single run can catch another program's burst. */
static Run MedianRun(const std::vector<Run> &runs, int blocks)
{
    Run m = {};
    std::vector<double> v;
    for (int b = 0; b < blocks; b++) {
        v.clear();
        for (const Run &r : runs)
            v.push_back(r.blockMs[b]);
        m.blockMs.push_back(Median(v));
        v.clear();
        for (const Run &r : runs)
            v.push_back(r.blockCpuMs[b]);
        m.blockCpuMs.push_back(Median(v));
    }
    v.clear();
    for (const Run &r : runs)
        v.push_back(r.totalMs);
    m.totalMs = Median(v);
    v.clear();
    for (const Run &r : runs)
        v.push_back(r.finalPumpMs);
    m.finalPumpMs = Median(v);
    return m;
}

static void Print(const char *name, const Run &r, int lines)
{
    printf("%-34s", name);
    for (double ms : r.blockMs)
        printf(" %7.3f", ms);
    printf("  | mean %.3f ms/line, final wait %.1f ms\n", r.totalMs / lines, r.finalPumpMs);
    printf("%-34s", "  processor time");
    for (double ms : r.blockCpuMs)
        printf(" %7.3f", ms);
    printf("\n");
}

int main(int argc, char **argv)
{
    int lines = argc > 1 ? atoi(argv[1]) : 5000;
    int repeats = argc > 2 ? atoi(argv[2]) : 5;
    if (repeats < 1)
        repeats = 1;
    int blocks = argc > 3 ? atoi(argv[3]) : 5;
    if (blocks < 1)
        blocks = 1;
    if (lines < blocks)
        lines = blocks;
    lines -= lines % blocks;

    g_hInst = GetModuleHandleA(NULL);
    LoadProgramNames(g_hInst);
    LoadLibraryA(LOG_PANE_DLL);
    RegisterMainClass(g_hInst);

    printf("%d lines of about 60 characters; ms per line in blocks of %d, median of %d runs:\n",
           lines, lines / blocks, repeats);
    /* The cases take turns, so that the load of the moment hits each alike. */
    std::vector<Run> runs[MODES];
    for (int k = 0; k < repeats; k++)
        for (int mode = 0; mode < MODES; mode++)
            runs[mode].push_back(Measure((Mode)mode, lines, blocks));
    Run bare = MedianRun(runs[BARE_HIDDEN], blocks);
    Print("bare append, hidden RichEdit 1.0", bare, lines);
    Run barePane = MedianRun(runs[BARE_PANE], blocks);
    Print("bare append, pane, painting held", barePane, lines);
    Run pumped = MedianRun(runs[PANE_PUMPED], blocks);
    Print("LogPrintf, pumped after each line", pumped, lines);
    Run burst = MedianRun(runs[PANE_BURST], blocks);
    Print("LogPrintf, burst, pumped at end", burst, lines);

    double floorMs = bare.totalMs / lines;
    const Run *cases[] = { &pumped, &burst };
    const char *names[] = { "pumped", "burst" };
    for (int k = 0; k < 2; k++) {
        const Run &r = *cases[k];
        double lastFirst = r.blockMs.back() / r.blockMs.front();
        double cpuLastFirst = r.blockCpuMs.back() / r.blockCpuMs.front();
        double vsBare = (r.totalMs / lines) / floorMs;
        double vsPane = r.totalMs / barePane.totalMs;
        printf("%-6s: last/first block %.2f (goal <= 1.3, %s; processor time %.2f);"
               " per line vs bare hidden %.1f (goal <= 15, %s), vs bare append to the pane %.1f\n",
               names[k], lastFirst, lastFirst <= 1.3 ? "met" : "MISSED", cpuLastFirst,
               vsBare, vsBare <= 15 ? "met" : "MISSED", vsPane);
    }
    return 0;
}
