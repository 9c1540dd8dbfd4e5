/* The filter-options sheet as an operator meets it, with the stand-in
   driver: boxes from the settings file, what the "test" buttons log and send,
   what OK and Cancel store, and a picture of each page. */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"
#include "selection/selectionrules.h"
#include <commctrl.h>
#include <algorithm>

namespace {

enum { PAGE_PROCESSOR, PAGE_SYSTEM, PAGE_THERMAL, PAGE_RTC };

bb::PropertySheet OpenSheet(bb::Program &app) { app.Command(IDM_FILTER); return app.WaitForPropertySheet(); }

/* Ends the program through File/Exit, which writes the settings file. */
void Exit(bb::Program &app) { app.Command(IDM_EXIT); EXPECT_EQ(app.WaitForExit(), 0u); }

using FilterPages = BlackBoxTest;

struct Box { int page, box, entry; std::vector<int> deps; };
const Box kBoxes[] = {
    { PAGE_PROCESSOR, IDC_C1, SEL_C1, { IDC_C1_TEST } }, { PAGE_PROCESSOR, IDC_C2, SEL_C2, { IDC_C2_TEST } },
    { PAGE_PROCESSOR, IDC_C3, SEL_C3, { IDC_C3_TEST } }, { PAGE_SYSTEM, IDC_S1, SEL_S1, { IDC_S1_TEST } },
    { PAGE_SYSTEM, IDC_S2, SEL_S2, { IDC_S2_TEST } },    { PAGE_SYSTEM, IDC_S3, SEL_S3, { IDC_S3_TEST } },
    { PAGE_SYSTEM, IDC_S4, SEL_S4, { IDC_S4_TEST } },
    { PAGE_THERMAL, IDC_FAN, SEL_FAN, { IDC_FAN_ON_TEST, IDC_FAN_OFF_TEST, IDC_FAN_ON_LABEL, IDC_FAN_OFF_LABEL } },
    { PAGE_THERMAL, IDC_DUTY, SEL_DUTY, { IDC_DUTY_PERCENT, IDC_DUTY_SPIN, IDC_DUTY_TEST, IDC_DUTY_LABEL } },
};

/* The stored value of every entry is the expected one. */
void ExpectStored(const std::vector<int> &values)
{
    for (int i = 0; i < SEL_COUNT; i++)
        EXPECT_EQ(bb::SettingsValue(SelectionKey(i)), values[i]) << SelectionKey(i);
}

}  // namespace

/* 1 checks a box, 0 leaves it unchecked, anything else (2 unsupported, 7
   hand-edited) disables it and OK keeps the entry; a box's dependents follow
   it at once.  (The settings file stores 2 as 1.) */
TEST_F(FilterPages, BoxesFollowTheirEntriesAndOnlyEnabledBoxesAreStored)
{
    const std::vector<int> kCases[] = { { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, { 7, 0, 1, 2, 2, 1, 7, 1, 7, 1 } };
    for (const auto &values : kCases) {
        SCOPED_TRACE(values[SEL_S1]);
        bb::WriteSettings(values);
        bb::Program app;
        bb::PropertySheet sheet = OpenSheet(app);
        for (const Box &b : kBoxes) {
            SCOPED_TRACE(SelectionKey(b.entry));
            sheet.SelectPage(b.page);
            int v = values[b.entry];
            EXPECT_EQ(sheet.IsEnabled(b.box), v <= 1);
            EXPECT_EQ(sheet.IsChecked(b.box), v == 1);
            for (int click = 0; click < (v <= 1 ? 3 : 1); click++) {
                if (click)
                    sheet.Click(b.box);
                for (int dep : b.deps)
                    EXPECT_EQ(sheet.IsEnabled(dep), (v == 1) != (click == 1)) << dep << " click " << click;
            }
        }
        const char *const shots[] = { "page-processor.png", "page-system.png",
                                      "page-thermal.png", "page-rtc.png" };
        for (int page = PAGE_PROCESSOR; values[SEL_S1] == 7 && page <= PAGE_RTC; page++) {
            sheet.SelectPage(page);                      /* every kind of box */
            bb::SaveScreenshot(sheet.hwnd(), shots[page]);
        }
        sheet.Ok();
        Exit(app);
        std::vector<int> stored = values;
        std::replace(stored.begin(), stored.end(), 2, 1);
        ExpectStored(stored);
    }
}

/* OK stores only the pages that were shown; each opening starts from the
   stored entries with an empty percentage field. */
TEST_F(FilterPages, OkWithoutShowingAPageKeepsItsEntriesAndReopeningShowsStored)
{
    bb::WriteSettings({ 0, 1, 0, 1, 0, 0, 0, 0, 1, 0 });
    bb::Program app;
    {
        bb::PropertySheet sheet = OpenSheet(app);
        sheet.Click(IDC_C1);                               /* only the first page is shown */
        sheet.Ok();
    }
    for (int opening = 0; opening < 2; opening++) {
        bb::PropertySheet sheet = OpenSheet(app);
        EXPECT_TRUE(sheet.IsChecked(IDC_C1));
        sheet.SelectPage(PAGE_THERMAL);
        EXPECT_TRUE(sheet.IsChecked(IDC_DUTY));
        EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "") << "opening " << opening;
        sheet.TypeText(IDC_DUTY_PERCENT, "55");
        sheet.Ok();
    }
    Exit(app);
    ExpectStored({ 0, 1, 0, 1, 1, 0, 0, 0, 1, 0 });
}

/* Every "test" button logs its line and sends its request at once, and a
   failed request adds the error line; the duty-cycle button sends what the
   field reads, bounded to 100 at every change (0, empty and a number too
   large to read stay).  Cancel stores nothing and takes no request back. */
TEST_F(FilterPages, TestButtonsLogAndSendAtOnceWhateverCancelDoes)
{
    /* STATUS_UNSUCCESSFUL reaches the program as ERROR_GEN_FAILURE (31). */
    const char *const kFanFailed = "\r\nThe driver request IOCTL_SET_FAN failed with system error 31.";
    bb::DriverParameterOverride fail("FailCode", IOCTL_SET_FAN);
    struct Press { int page, button; const char *field, *shown; std::string log, journal; };
    const Press kPresses[] = {
        { PAGE_PROCESSOR, IDC_C1_TEST, 0, 0, "Placing the processor into C1", "CPU_STATE 1 0x00000000" },
        { PAGE_PROCESSOR, IDC_C2_TEST, 0, 0, "Placing the processor into C2", "CPU_STATE 2 0x00000000" },
        { PAGE_PROCESSOR, IDC_C3_TEST, 0, 0, "Placing the processor into C3", "CPU_STATE 3 0x00000000" },
        { PAGE_SYSTEM, IDC_S1_TEST, 0, 0, "Placing the System into S1", "SLEEP_STATE 2 0x00000000" },
        { PAGE_SYSTEM, IDC_S2_TEST, 0, 0, "Placing the System into S2", "SLEEP_STATE 3 0x00000000" },
        { PAGE_SYSTEM, IDC_S3_TEST, 0, 0, "Placing the System into S3", "SLEEP_STATE 4 0x00000000" },
        { PAGE_SYSTEM, IDC_S4_TEST, 0, 0, "Placing the System into S4", "SLEEP_STATE 5 0x00000000" },
        { PAGE_THERMAL, IDC_FAN_ON_TEST, 0, 0, std::string("Turning the fan ON") + kFanFailed, "FAN 1 0xC0000001" },
        { PAGE_THERMAL, IDC_FAN_OFF_TEST, 0, 0, std::string("Turning the fan OFF") + kFanFailed, "FAN 0 0xC0000001" },
        { PAGE_THERMAL, IDC_DUTY_TEST, "50", "50", "Setting the CPU duty cycle to 50%", "DUTY_CYCLE 50 0x00000000" },
        { PAGE_THERMAL, IDC_DUTY_TEST, "150", "100", "Setting the CPU duty cycle to 100%", "DUTY_CYCLE 100 0x00000000" },
        { PAGE_THERMAL, IDC_DUTY_TEST, "0", "0", "Setting the CPU duty cycle to 0%", "DUTY_CYCLE 0 0x00000000" },
        { PAGE_THERMAL, IDC_DUTY_TEST, "", "", "Setting the CPU duty cycle to 0%", "DUTY_CYCLE 0 0x00000000" },
        { PAGE_THERMAL, IDC_DUTY_TEST, "4294967296", "4294967296", "Setting the CPU duty cycle to 0%",
          "DUTY_CYCLE 0 0x00000000" },
    };
    bb::WriteSettings({ 1, 1, 1, 1, 1, 0, 1, 1, 1, 0 });
    bb::Program app;
    bb::ClearJournal();
    bb::PropertySheet sheet = OpenSheet(app);
    sheet.Click(IDC_C2);                                   /* 0 -> 1, then cancelled */
    std::string log;
    std::vector<std::string> journal;
    for (const Press &p : kPresses) {
        SCOPED_TRACE(p.journal);
        sheet.SelectPage(p.page);
        if (p.field) {
            sheet.SetText(IDC_DUTY_PERCENT, p.field);
            EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), p.shown);
        }
        sheet.Click(p.button);
        log += p.log + "\r\n";
        journal.push_back("IOCTL_SET_" + p.journal);
    }
    EXPECT_EQ(SendMessageA(sheet.Control(IDC_DUTY_SPIN), UDM_GETRANGE, 0, 0), MAKELONG(100, 1));
    sheet.Cancel();
    EXPECT_EQ(bb::WaitForJournalLines(journal.size()), journal);
    EXPECT_NE(app.LogText().find(log), std::string::npos) << app.LogText();
    Exit(app);
    EXPECT_EQ(bb::SettingsValue(SelectionKey(SEL_C2)), 0);
}
