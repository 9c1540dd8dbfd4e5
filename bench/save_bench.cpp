/* Benchmark: saving a log of 100,000 lines as text and as RTF, against
   what the save cannot do without: the control's own stream-out of the
   pane (into a callback that keeps nothing) plus writing the same number
   of bytes with one WriteFile in the same folder.

     save_bench.exe [lines]

   Prints the times and, per format, the ratio of the save to that floor
   (goal <= 1.1).  The ratio to one WriteFile alone is printed too, as
   information: the stream-out by itself takes about a hundred times as
   long, so no save through the control comes near it. */
#include "app/veruvez.h"
#include "bench/bench.h"
#include "bench/pump.h"
#include "log/logpane.h"
#include "log/savelog.h"
#include <richedit.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>

static double NowSeconds() { return Now() / 1000.0; }

static DWORD FileSize(const std::string &name)
{
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &fa))
        return 0;
    return fa.nFileSizeLow;
}

/* Creates the file, writes `size` bytes in one call, closes it. */
static double OneWriteFile(const std::string &name, DWORD size)
{
    std::string bytes(size, 'x');
    for (DWORD i = 79; i < size; i += 80)
        bytes[i] = '\n';
    double t0 = NowSeconds();
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD put = 0;
    WriteFile(h, bytes.data(), size, &put, NULL);
    CloseHandle(h);
    double t = NowSeconds() - t0;
    if (put != size)
        printf("WriteFile wrote %lu of %lu bytes\n", (unsigned long)put, (unsigned long)size);
    return t;
}

/* The control's own share: the same stream-out into a callback that keeps nothing. */
static DWORD CALLBACK DiscardBlock(DWORD_PTR, LPBYTE, LONG cb, LONG *pcb)
{
    *pcb = cb;
    return 0;
}

static double StreamOutOnly(int format)
{
    EDITSTREAM es = {0, 0, DiscardBlock};
    double t0 = NowSeconds();
    SendMessageA(g_hwndLog, EM_STREAMOUT, (WPARAM)format, (LPARAM)&es);
    return NowSeconds() - t0;
}

static double SaveAs(const std::string &name, int format, HWND hwnd)
{
    double t0 = NowSeconds();
    BOOL ok = WriteLogFile(hwnd, name.c_str(), format);
    double t = NowSeconds() - t0;
    if (!ok)
        printf("saving %s failed\n", name.c_str());
    return t;
}

static double Best(double a, double b)
{
    return a < b ? a : b;
}

int main(int argc, char **argv)
{
    int lines = argc > 1 ? atoi(argv[1]) : 100000;
    g_hInst = GetModuleHandleA(NULL);
    if (!LoadProgramNames(g_hInst) || !RegisterMainClass(g_hInst) || !CreateMainWindow(g_hInst, SW_SHOWNORMAL)) {
        printf("no main window\n");
        return 1;
    }
    HWND hwnd = FindWindowA(g_szClassName, NULL);
    PumpMessages();

    /* A log of the usual mix: progress lines, some skipped (bold blue) and
       some failed requests (bold red). */
    double t0 = NowSeconds();
    for (int i = 0; i < lines; i++) {
        if (i % 50 == 49)
            LogPrintf(LOG_ERROR, REQUEST_FAILED_FORMAT "\r\n",
                      "IOCTL_SET_FAN", 31UL);
        else if (i % 10 == 9)
            LogPrintf(LOG_SKIPPED, PASS_SKIPPED_FORMAT "\r\n", "S3 state");
        else
            LogPrintf(LOG_NORMAL, "Running the \"%s\" test, line %d.\r\n", "C1 state", i);
        if (i % 1000 == 999)
            PumpMessages();
    }
    PumpMessages();
    double tFill = NowSeconds() - t0;

    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    std::string dir = tmp;
    std::string txt = dir + "vmt-bench.TXT", rtf = dir + "vmt-bench.RTF", raw = dir + "vmt-bench.raw";

    /* Each figure is the best of seven tries within this run, taking turns:
       the machine is shared, and the best try is the one least disturbed. */
    double tText = 1e9, tRtf = 1e9, wText = 1e9, wRtf = 1e9, sText = 1e9, sRtf = 1e9;
    DWORD nText = 0, nRtf = 0;
    for (int i = 0; i < 7; i++) {
        tText = Best(tText, SaveAs(txt, SF_TEXT, hwnd));
        tRtf = Best(tRtf, SaveAs(rtf, SF_RTF, hwnd));
        nText = FileSize(txt);
        nRtf = FileSize(rtf);
        wText = Best(wText, OneWriteFile(raw, nText));
        wRtf = Best(wRtf, OneWriteFile(raw, nRtf));
        sText = Best(sText, StreamOutOnly(SF_TEXT));
        sRtf = Best(sRtf, StreamOutOnly(SF_RTF));
    }

    printf("log of %d lines (filled in %.2f s)\n", lines, tFill);
    const struct { const char *name; DWORD bytes; double save, stream, write; } rows[] = {
        { "text", nText, tText, sText, wText },
        { "rtf", nRtf, tRtf, sRtf, wRtf },
    };
    for (const auto &r : rows) {
        double ratio = r.save / (r.stream + r.write);
        printf("%-4s %10lu bytes  save %7.1f ms  stream-out alone %7.1f ms  one WriteFile %5.1f ms;"
               " save / (stream-out + WriteFile) %.2f (goal <= 1.1, %s)\n",
               r.name, (unsigned long)r.bytes, r.save * 1e3, r.stream * 1e3, r.write * 1e3,
               ratio, ratio <= 1.1 ? "met" : "MISSED");
    }
    printf("for information, save / one WriteFile: text %.0f, rtf %.0f (not reachable by design:"
           " the save must go through the control's stream-out, which alone takes %.0f and %.0f"
           " times one WriteFile)\n",
           tText / wText, tRtf / wRtf, sText / wText, sRtf / wRtf);

    DeleteFileA(txt.c_str());
    DeleteFileA(rtf.c_str());
    DeleteFileA(raw.c_str());
    DestroyWindow(hwnd);
    return 0;
}
