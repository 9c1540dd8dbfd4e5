/* What a long session leaves behind in VERUVEZ.EXE: kernel handles, windows
   and private bytes (as Wine reports them, bb::Program::Resources) after
   hundreds of filter sheets, About boxes and Save As dialogs, and the
   private bytes that each 10,000 log lines cost, up to 100,000 lines.  The
   program runs as its own process, driven by the operator harness; the
   leak tests (tests/soak/leak_test.cpp) hold the same figures to bounds.

   leak_bench VERUVEZ.EXE [lines]    (default 100000 log lines; a Unix path
                                      is taken as a path on drive Z:) */
#include "tests/soak/routines.h"
#include "res/resource.h"
#include <cstdio>
#include <cstdlib>

static void PrintFigures(const char *when, const bb::ResourceFigures &f)
{
    printf("  %-28s handles %5u (Wine's dialog keys %3u)  windows %4u  private bytes %10u\n", when,
           (unsigned)f.handles, (unsigned)f.wineDialogKeys, (unsigned)f.windows, (unsigned)f.privateBytes);
}

static void Routine(soak::Routine routine)
{
    const soak::RoutineInfo &info = soak::kRoutines[routine];
    printf("%s, %d times:\n", info.name, info.cycles);
    bb::Program app;
    PrintFigures("after start-up", app.Resources());
    bb::ResourceFigures before, after;
    soak::RunSeries(app, routine, info.cycles / 2, [&](int done, const bb::ResourceFigures &f) {
        PrintFigures(done ? bb::Format("after 5 + %d", done).c_str() : "after 5", f);
        (done ? after : before) = f;
    });
    printf("  growth over %d: %lld handles besides %lld of Wine's dialog keys, %lld windows, %lld bytes"
           " (%.0f bytes a cycle)\n", info.cycles,
           soak::Growth(soak::ProgramHandles(before), soak::ProgramHandles(after)),
           soak::Growth(before.wineDialogKeys, after.wineDialogKeys), soak::Growth(before.windows, after.windows),
           soak::Growth(before.privateBytes, after.privateBytes),
           (double)soak::Growth(before.privateBytes, after.privateBytes) / info.cycles);
    app.Command(IDM_EXIT);
    app.WaitForExit(60000);
}

static void LogLines(int lines)
{
    printf("log lines, %d at a time (passes with every test skipped):\n", soak::kBlockLines);
    soak::WriteEverythingSkipped();
    bb::Program app;
    size_t last = app.Resources().privateBytes;
    long long first = 0;
    double t0 = (double)GetTickCount();
    soak::AddLogBlocks(app, lines / soak::kBlockLines, [&](int done, const bb::ResourceFigures &f) {
        long long grew = soak::Growth(last, f.privateBytes);
        if (!first)
            first = grew;
        printf("  %6d lines: private bytes %10u, this block %9lld (%.2f of the first), handles %u, %.1f s\n",
               done, (unsigned)f.privateBytes, grew, first ? (double)grew / first : 0.0,
               (unsigned)f.handles, ((double)GetTickCount() - t0) / 1000);
        last = f.privateBytes;
    });
    app.Command(IDM_EXIT);
    app.WaitForExit(60000);
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        printf("usage: leak_bench VERUVEZ.EXE [lines]\n");
        return 2;
    }
    bb::SetProgramPath(argv[1]);
    int lines = argc > 2 ? atoi(argv[2]) : 100000;
    try {
        for (int r = 0; r < soak::ROUTINE_COUNT; r++)
            Routine((soak::Routine)r);
        LogLines(lines);
    } catch (const std::exception &e) {
        printf("failed: %s\n", e.what());
        return 1;
    }
    bb::DeleteSettingsFile();
    return 0;
}
