/* Operator routines repeated many times in one session, shared by the leak
   tests and their benchmark (bench/leak_bench.cpp): what each leaves behind
   is measured with bb::Program::Resources. */
#ifndef VMT_SOAK_ROUTINES_H
#define VMT_SOAK_ROUTINES_H

#include "tests/harness/harness.h"
#include <functional>

namespace soak {

enum Routine {
    FILTER_SHEET,   /* the sheet opened, every page shown, then OK or Cancel in turn */
    ABOUT_BOX,      /* the About box opened and closed */
    SAVE_AS,        /* the Save As dialog: Cancel, or the log saved to a new file, in turn */
    ROUTINE_COUNT
};

struct RoutineInfo {
    const char *name;
    int cycles;     /* how many a session runs */
};
extern const RoutineInfo kRoutines[ROUTINE_COUNT];

/* What a series hands over: the cycles (or log lines) done, and the
   figures then. */
typedef std::function<void(int done, const bb::ResourceFigures &)> Figures;

/* A series of the routine: five cycles first (the libraries and caches a
   first use loads), then its kRoutines cycles.  seen gets the figures
   after the five (done 0), after every `every` cycles and after the last.
   Each cycle returns once the program waits for the operator again. */
void RunSeries(bb::Program &app, Routine routine, int every, const Figures &seen);

/* The settings that make a pass write one skipped line for each of its nine
   tests, with no question and no request: write them before the program
   starts.  AddLogBlocks then adds blocks of kBlockPasses passes (10,008
   lines), and seen gets the lines so far and the figures after each. */
const int kLinesPerSkippedPass = 9;
const int kBlockPasses = 10000 / kLinesPerSkippedPass + 1;
const int kBlockLines = kBlockPasses * kLinesPerSkippedPass;
void WriteEverythingSkipped();
void AddLogBlocks(bb::Program &app, int blocks, const Figures &seen);

/* The growth from one figure to another, negative when it shrank. */
inline long long Growth(size_t before, size_t after) { return (long long)after - (long long)before; }
/* Handles besides the registry keys Wine's own Save As dialog leaves open
   (one a save, see bb::ResourceFigures). */
inline size_t ProgramHandles(const bb::ResourceFigures &f) { return f.handles - f.wineDialogKeys; }

}  // namespace soak

#endif
