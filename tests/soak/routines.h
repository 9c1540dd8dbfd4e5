/* Operator routines repeated many times in one session, shared by the leak
   tests and their benchmark (bench/leak_bench.cpp): what each leaves behind
   is measured with bb::Program::Resources. */
#ifndef VMT_SOAK_ROUTINES_H
#define VMT_SOAK_ROUTINES_H

#include "tests/harness/harness.h"

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

/* The routine's cycle number i (i decides OK or Cancel, Cancel or Save).
   Returns once the program waits for the operator again. */
void RunRoutine(bb::Program &app, Routine routine, int i);

/* The settings that make a pass write one skipped line for each of its nine
   tests, with no question and no request: write them before the program
   starts.  AddSkippedPasses then runs that many passes. */
const int kLinesPerSkippedPass = 9;
void WriteEverythingSkipped();
void AddSkippedPasses(bb::Program &app, int passes);

/* The growth from one figure to another, negative when it shrank. */
inline long long Growth(size_t before, size_t after) { return (long long)after - (long long)before; }

}  // namespace soak

#endif
