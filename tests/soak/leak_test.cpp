/* No leaks over a long session: what the program holds (kernel handles,
   windows, private bytes, as Wine reports them) after hundreds of sheets,
   About boxes and Save As dialogs is what it held after the first few, and
   the log costs the same memory per line at 100,000 lines as at 10,000.
   The bounds are generous; bench/leak_bench.cpp prints the figures. */
#include "tests/blackbox/blackbox.h"
#include "tests/soak/routines.h"

namespace {

/* Growth allowed after five runs of a routine.  Handles and windows come
   back exactly (a leak shows as one per cycle).  Memory: Wine's heap grows
   once by a few hundred kilobytes over the first hundred sheets and then
   stays; over the second half of a series a leak of a kilobyte a cycle
   would show. */
const long long kHandleSlack = 4;
const long long kWindowSlack = 1;
const long long kSeriesBytes = 1024 * 1024;
const long long kSecondHalfBytes = 128 * 1024;

class LeakTest : public BlackBoxTest {};

/* Handles besides the registry keys Wine's own Save As dialog leaves open
   (one a save, see bb::ResourceFigures). */
long long ProgramHandles(const bb::ResourceFigures &f) { return (long long)(f.handles - f.wineDialogKeys); }

void ExpectNoGrowth(soak::Routine routine)
{
    const soak::RoutineInfo &info = soak::kRoutines[routine];
    SCOPED_TRACE(info.name);
    bb::Program app;
    for (int i = 0; i < 5; i++)   /* the libraries and caches a first use loads */
        soak::RunRoutine(app, routine, i);
    bb::ResourceFigures before = app.Resources(), half;
    for (int i = 0; i < info.cycles; i++) {
        if (i == info.cycles / 2)
            half = app.Resources();
        soak::RunRoutine(app, routine, i);
    }
    bb::ResourceFigures after = app.Resources();
    printf("%s x %d: handles %u -> %u (of them Wine's dialog keys %u -> %u), windows %u -> %u, "
           "private bytes %u -> %u -> %u\n", info.name, info.cycles, (unsigned)before.handles,
           (unsigned)after.handles, (unsigned)before.wineDialogKeys, (unsigned)after.wineDialogKeys,
           (unsigned)before.windows, (unsigned)after.windows, (unsigned)before.privateBytes,
           (unsigned)half.privateBytes, (unsigned)after.privateBytes);
    EXPECT_LE(ProgramHandles(after) - ProgramHandles(before), kHandleSlack);
    EXPECT_LE(soak::Growth(before.windows, after.windows), kWindowSlack);
    EXPECT_LE(soak::Growth(before.privateBytes, after.privateBytes), kSeriesBytes);
    EXPECT_LE(soak::Growth(half.privateBytes, after.privateBytes), kSecondHalfBytes);
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}

}  // namespace

TEST_F(LeakTest, FilterSheetsLeaveNothingBehind) { ExpectNoGrowth(soak::FILTER_SHEET); }
TEST_F(LeakTest, AboutBoxesLeaveNothingBehind) { ExpectNoGrowth(soak::ABOUT_BOX); }
TEST_F(LeakTest, SaveAsDialogsLeaveNothingBehind) { ExpectNoGrowth(soak::SAVE_AS); }

/* Bytes per 10,000 lines from the start to 10,000 lines and from 90,000 to
   100,000 lines: a log that cost more per line as it grew would show here. */
TEST_F(LeakTest, LogLinesCostTheSameMemoryAt100000AsAt10000)
{
    soak::WriteEverythingSkipped();
    bb::Program app;
    const int kPasses = 10000 / soak::kLinesPerSkippedPass + 1;   /* a block of 10,008 lines */
    size_t start = app.Resources().privateBytes;
    soak::AddSkippedPasses(app, kPasses);
    size_t at10k = app.Resources().privateBytes;
    soak::AddSkippedPasses(app, kPasses * 8);
    size_t at90k = app.Resources().privateBytes;
    soak::AddSkippedPasses(app, kPasses);
    size_t at100k = app.Resources().privateBytes;
    long long first = soak::Growth(start, at10k), last = soak::Growth(at90k, at100k);
    printf("bytes per %d log lines: %lld at 10,000 lines, %lld at 100,000 lines (%.2f)\n",
           kPasses * soak::kLinesPerSkippedPass, first, last, first ? (double)last / first : 0.0);
    const size_t lines = 2 + 10u * kPasses * soak::kLinesPerSkippedPass;
    EXPECT_EQ(app.WaitForLogLines(lines, 60000).size(), lines) << "lines lost";
    EXPECT_GT(first, 0);
    EXPECT_LE(last, first + first / 4) << "a line costs more as the log grows";
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(60000), 0u);
}
