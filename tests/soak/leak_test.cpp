/* No leaks over a long session: what the program holds (kernel handles,
   windows, private bytes, as Wine reports them) after hundreds of sheets,
   About boxes and Save As dialogs is what it held after the first few, and
   the log costs the same memory per line at 100,000 lines as at 10,000.
   The bounds are generous; bench/leak_bench.cpp prints the figures. */
#include "tests/blackbox/blackbox.h"
#include "tests/soak/routines.h"
#include <algorithm>

namespace {

/* Growth allowed after five runs of a routine.  Handles and windows come
   back exactly (a leak shows as one per cycle).  Memory grows in steps:
   Wine's heap takes a few hundred kilobytes once or twice, at some moment
   of a series, and a page now and then; a leak adds step after step.  So
   the series is measured in twenty stretches, of which at most five may
   grow by more than two pages: a leak of 2 KB a cycle (400 KB over 200,
   less what the heap finds free) grows seven and fails. */
const long long kHandleSlack = 4;
const long long kWindowSlack = 1;
const long long kSeriesBytes = 1024 * 1024;
const long long kStepBytes = 8 * 1024;
const int kStretches = 20;
const int kGrowingStretches = 5;

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
    bb::ResourceFigures before = app.Resources();
    const int stretch = std::max(1, info.cycles / kStretches);
    int stretches = 0, grown = 0;
    size_t bytes = before.privateBytes;
    std::string steps;
    for (int i = 0; i < info.cycles; i++) {
        soak::RunRoutine(app, routine, i);
        if ((i + 1) % stretch == 0) {
            size_t now = app.Resources().privateBytes;
            stretches++;
            if (soak::Growth(bytes, now) > kStepBytes) {
                grown++;
                steps += bb::Format(" +%lld after %d", soak::Growth(bytes, now), i + 1);
            }
            bytes = now;
        }
    }
    bb::ResourceFigures after = app.Resources();
    printf("%s x %d: handles %u -> %u (of them Wine's dialog keys %u -> %u), windows %u -> %u, "
           "private bytes %u -> %u, grown by more than 8 KB in %d of %d stretches:%s\n", info.name, info.cycles,
           (unsigned)before.handles, (unsigned)after.handles, (unsigned)before.wineDialogKeys,
           (unsigned)after.wineDialogKeys, (unsigned)before.windows, (unsigned)after.windows,
           (unsigned)before.privateBytes, (unsigned)after.privateBytes, grown, stretches, steps.c_str());
    EXPECT_LE(ProgramHandles(after) - ProgramHandles(before), kHandleSlack);
    EXPECT_LE(soak::Growth(before.windows, after.windows), kWindowSlack);
    EXPECT_LE(soak::Growth(before.privateBytes, after.privateBytes), kSeriesBytes);
    EXPECT_LE(grown, kGrowingStretches) << "memory grew step after step:" << steps;
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
