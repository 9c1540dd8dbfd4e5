/* The filter-options sheet as an operator meets it, with the stand-in
   driver: boxes from the settings file, what the "test" buttons log and send,
   what OK and Cancel store, and a picture of each page. */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"
#include <commctrl.h>
#include <algorithm>

namespace {

enum { PAGE_PROCESSOR, PAGE_SYSTEM, PAGE_THERMAL, PAGE_RTC };
enum { S1, S2, S3, S4, C1, C2, C3, FAN, DUTY, RTC, KEYS };
const char *const kKeys[KEYS] = { "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
                                  "C1CPUState", "C2CPUState", "C3CPUState", "FanOnOff",
                                  "CPUDutyCycle", "RTCAlarm" };

/* A settings file with the values in key order. */
void WriteSettings(const int (&values)[KEYS])
{
    std::string text = "[ACPI VMT's]\r\n";
    for (int k = 0; k < KEYS; k++)
        text += std::string(kKeys[k]) + "=" + std::to_string(values[k]) + "\r\n";
    bb::WriteSettingsFile(text);
}

bb::PropertySheet OpenSheet(bb::Program &app) { app.Command(IDM_FILTER); return app.WaitForPropertySheet(); }

/* Ends the program through File/Exit, which writes the settings file. */
void Exit(bb::Program &app) { app.Command(IDM_EXIT); EXPECT_EQ(app.WaitForExit(), 0u); }

/* Shows the page and saves the sheet as build/win32/screenshots/page-*.png:
   ImageMagick writes a temporary file and renames it when complete. */
void SaveScreenshot(bb::PropertySheet &sheet, int page)
{
    const char *const names[] = { "processor", "system", "thermal", "rtc" };
    sheet.SelectPage(page);
    Sleep(500);                                          /* painted */
    RECT rc;
    GetWindowRect(sheet.hwnd(), &rc);
    std::string dir = bb::ProgramPath();                 /* Z:\...\bin\VERUVEZ.EXE */
    dir = dir.substr(0, dir.rfind("\\bin\\")) + "\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    std::string dos = dir + "\\page-" + names[page] + ".png", png = dos.substr(2);
    std::replace(png.begin(), png.end(), '\\', '/');
    DeleteFileA(dos.c_str());
    char cmd[1024];
    snprintf(cmd, sizeof cmd, "/bin/sh -c \"import -window root -crop %ldx%ld+%ld+%ld 'png:%s.tmp' && mv '%s.tmp' '%s'\"",
             rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top, png.c_str(), png.c_str(), png.c_str());
    ASSERT_GT(WinExec(cmd, SW_HIDE), 31u) << cmd;
    bb::WaitUntil([&] { return GetFileAttributesA(dos.c_str()) != INVALID_FILE_ATTRIBUTES; }, bb::kTimeout, dos);
}

using FilterPages = BlackBoxTest;

struct Box { int page, box, key; std::vector<int> deps; };
const Box kBoxes[] = {
    { PAGE_PROCESSOR, IDC_C1, C1, { IDC_C1_TEST } }, { PAGE_PROCESSOR, IDC_C2, C2, { IDC_C2_TEST } },
    { PAGE_PROCESSOR, IDC_C3, C3, { IDC_C3_TEST } }, { PAGE_SYSTEM, IDC_S1, S1, { IDC_S1_TEST } },
    { PAGE_SYSTEM, IDC_S2, S2, { IDC_S2_TEST } },    { PAGE_SYSTEM, IDC_S3, S3, { IDC_S3_TEST } },
    { PAGE_SYSTEM, IDC_S4, S4, { IDC_S4_TEST } },
    { PAGE_THERMAL, IDC_FAN, FAN, { IDC_FAN_ON_TEST, IDC_FAN_OFF_TEST, IDC_FAN_ON_LABEL, IDC_FAN_OFF_LABEL } },
    { PAGE_THERMAL, IDC_DUTY, DUTY, { IDC_DUTY_PERCENT, IDC_DUTY_SPIN, IDC_DUTY_TEST, IDC_DUTY_LABEL } },
};

}  // namespace

/* 1 checks a box, 0 leaves it unchecked, anything else (2 unsupported, 7
   hand-edited) disables it and OK keeps the entry; a box's dependents follow
   it at once.  (The settings file stores 2 as 1.) */
TEST_F(FilterPages, BoxesFollowTheirEntriesAndOnlyEnabledBoxesAreStored)
{
    const int kCases[][KEYS] = { { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, { 7, 0, 1, 2, 2, 1, 7, 1, 7, 1 } };
    for (const auto &values : kCases) {
        SCOPED_TRACE(values[S1]);
        WriteSettings(values);
        bb::Program app;
        bb::PropertySheet sheet = OpenSheet(app);
        for (const Box &b : kBoxes) {
            SCOPED_TRACE(kKeys[b.key]);
            sheet.SelectPage(b.page);
            int v = values[b.key];
            EXPECT_EQ(sheet.IsEnabled(b.box), v <= 1);
            EXPECT_EQ(sheet.IsChecked(b.box), v == 1);
            for (int click = 0; click < (v <= 1 ? 3 : 1); click++) {
                if (click)
                    sheet.Click(b.box);
                for (int dep : b.deps)
                    EXPECT_EQ(sheet.IsEnabled(dep), (v == 1) != (click == 1)) << dep << " click " << click;
            }
        }
        for (int page = PAGE_PROCESSOR; values[S1] == 7 && page <= PAGE_RTC; page++)
            SaveScreenshot(sheet, page);                 /* every kind of box */
        sheet.Ok();
        Exit(app);
        for (int k = 0; k < KEYS; k++)
            EXPECT_EQ(bb::SettingsValue(kKeys[k]), values[k] == 2 ? 1 : values[k]) << kKeys[k];
    }
}

/* OK stores only the pages that were shown; each opening starts from the
   stored entries with an empty percentage field. */
TEST_F(FilterPages, OkWithoutShowingAPageKeepsItsEntriesAndReopeningShowsStored)
{
    WriteSettings({ 0, 1, 0, 1, 0, 0, 0, 0, 1, 0 });
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
    const int stored[KEYS] = { 0, 1, 0, 1, 1, 0, 0, 0, 1, 0 };
    for (int k = 0; k < KEYS; k++)
        EXPECT_EQ(bb::SettingsValue(kKeys[k]), stored[k]) << kKeys[k];
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
    WriteSettings({ 1, 1, 1, 1, 1, 0, 1, 1, 1, 0 });
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
    EXPECT_EQ(bb::SettingsValue("C2CPUState"), 0);
}
