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

void ExpectNoGrowth(soak::Routine routine)
{
    const soak::RoutineInfo &info = soak::kRoutines[routine];
    SCOPED_TRACE(info.name);
    bb::Program app;
    bb::ResourceFigures before, after;
    int stretches = 0, grown = 0;
    std::string steps;
    soak::RunSeries(app, routine, std::max(1, info.cycles / kStretches), [&](int done, const bb::ResourceFigures &f) {
        if (done == 0)
            before = f;
        else if (soak::Growth(after.privateBytes, f.privateBytes) > kStepBytes) {
            grown++;
            steps += bb::Format(" +%lld after %d", soak::Growth(after.privateBytes, f.privateBytes), done);
        }
        stretches += done != 0;
        after = f;
    });
    printf("%s x %d: handles %u -> %u (of them Wine's dialog keys %u -> %u), windows %u -> %u, "
           "private bytes %u -> %u, grown by more than 8 KB in %d of %d stretches:%s\n", info.name, info.cycles,
           (unsigned)before.handles, (unsigned)after.handles, (unsigned)before.wineDialogKeys,
           (unsigned)after.wineDialogKeys, (unsigned)before.windows, (unsigned)after.windows,
           (unsigned)before.privateBytes, (unsigned)after.privateBytes, grown, stretches, steps.c_str());
    EXPECT_LE(soak::Growth(soak::ProgramHandles(before), soak::ProgramHandles(after)), kHandleSlack);
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
    std::vector<size_t> bytes(1, app.Resources().privateBytes);   /* at the start, then after each block */
    soak::AddLogBlocks(app, 10, [&](int, const bb::ResourceFigures &f) { bytes.push_back(f.privateBytes); });
    long long first = soak::Growth(bytes[0], bytes[1]), last = soak::Growth(bytes[9], bytes[10]);
    printf("bytes per %d log lines: %lld at 10,000 lines, %lld at 100,000 lines (%.2f)\n",
           soak::kBlockLines, first, last, first ? (double)last / first : 0.0);
    const size_t lines = 2 + 10u * soak::kBlockLines;
    EXPECT_EQ(app.WaitForLogLines(lines, 60000).size(), lines) << "lines lost";
    EXPECT_GT(first, 0);
    EXPECT_LE(last, first + first / 4) << "a line costs more as the log grows";
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(60000), 0u);
}
