/* What a long session leaves behind in VERUVEZ.EXE: kernel handles, windows
   and private bytes (as Wine reports them, tests/soak/resources.h) over
   hundreds of filter sheets, About boxes and Save As dialogs, and the private
   bytes each 10,008 log lines cost.  The program runs as its own process,
   driven with the rows' steps.  It prints figures and asserts nothing.

   leak_bench VERUVEZ.EXE [lines]    (default 100000 log lines; a Unix path
                                      is taken as a path on drive Z:) */
#include "tests/rows/rows.h"
#include "tests/soak/resources.h"
#include "res/resource.h"
#include <cstdio>
#include <cstdlib>
#include <sstream>

using namespace vt;

namespace {

struct Routine {
    const char *name;
    int cycles;
    std::string (*steps)(int cycle);   /* cycle 0, 1, ... of a session */
};

const Routine kRoutines[] = {
    {"filter sheet, every page, OK or Cancel", 200,
     [](int i) { return std::string("filter p1 p2 p3 ") + (i % 2 ? "cancel" : "ok"); }},
    {"About box", 200, [](int) { return std::string("about"); }},
    {"Save As, Cancel or a new file", 50,
     [](int i) { return i % 2 ? std::string("saveas dcancel") : "saveas name:C:\\save\\log" + std::to_string(i) + " save"; }},
};

/* Blocks of passes with every test skipped: nine lines each, no box, no request. */
const int kBlockPasses = 10000 / 9 + 1, kBlockLines = kBlockPasses * 9, kBatch = 20;

Resources Count(Play &p) { return CountResources(p.app->pid, p.app->process); }

void Print(const std::string &when, const Resources &r)
{
    printf("  %-16s handles %5u (Wine's Save As keys %3u)  windows %4u  private bytes %10u\n", when.c_str(),
           (unsigned)r.handles, (unsigned)r.wineKeys, (unsigned)r.windows, (unsigned)r.privateBytes);
}

void Series(const Routine &r)
{
    printf("%s, %d times:\n", r.name, r.cycles);
    Play p;
    p.app.reset(new App());
    Print("after start-up", Count(p));
    int cycle = 0;
    auto once = [&] {
        std::istringstream steps(r.steps(cycle++));
        for (std::string s; steps >> s;)
            Step(p, s);
    };
    for (int i = 0; i < 5; i++)   /* what the first uses load */
        once();
    Resources before = Count(p), after;
    Print("after 5", before);
    for (int done = 1; done <= r.cycles; done++) {
        once();
        if (done == r.cycles / 2 || done == r.cycles)
            Print("after 5 + " + std::to_string(done), after = Count(p));
    }
    long long bytes = (long long)after.privateBytes - (long long)before.privateBytes;
    printf("  growth over %d: %lld handles besides %lld of Wine's Save As keys, %lld windows, %lld bytes"
           " (%.0f bytes a cycle)\n", r.cycles,
           (long long)(after.handles - after.wineKeys) - (long long)(before.handles - before.wineKeys),
           (long long)after.wineKeys - (long long)before.wineKeys,
           (long long)after.windows - (long long)before.windows, bytes, (double)bytes / r.cycles);
    p.app->End(false);
}

void LogLines(int lines)
{
    printf("log lines, %d at a time (passes with every test skipped):\n", kBlockLines);
    WriteIni(Ini("0000000000"));
    App app;
    size_t last = CountResources(app.pid, app.process).privateBytes;
    long long first = 0;
    DWORD t0 = GetTickCount();
    for (int block = 1; block <= lines / kBlockLines; block++) {
        for (int done = 0; done < kBlockPasses; done += kBatch) {   /* each batch taken in full before the next */
            for (int k = 0; k < kBatch && done + k < kBlockPasses; k++)
                PostMessageA(app.main, WM_COMMAND, IDM_START, 0);
            app.Settle();
        }
        Resources r = CountResources(app.pid, app.process);
        long long grew = (long long)r.privateBytes - (long long)last;
        first = first ? first : grew;
        printf("  %6d lines: private bytes %10u, this block %9lld (%.2f of the first), handles %u, %.1f s\n",
               block * kBlockLines, (unsigned)r.privateBytes, grew, first ? (double)grew / first : 0.0,
               (unsigned)r.handles, (GetTickCount() - t0) / 1000.0);
        last = r.privateBytes;
    }
    printf("  the log holds %u lines\n", (unsigned)Lines(Text(app.pane)).size());
    app.End(false);
    WriteIni(nullptr);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        printf("usage: leak_bench VERUVEZ.EXE [lines]\n");
        return 2;
    }
    SetProgram(argv[1]);
    try {
        Unix("rm -rf \"$WINEPREFIX/drive_c/save\" && mkdir \"$WINEPREFIX/drive_c/save\"");
        WriteIni(nullptr);
        for (const Routine &r : kRoutines)
            Series(r);
        LogLines(argc > 2 ? atoi(argv[2]) : 100000);
    } catch (const std::exception &e) {
        printf("failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
