/* "&Start ACPI tess" and VERUVEZ.INI as an operator meets them: the questions,
   the log, the requests the stand-in driver saw and the file left at exit,
   and a picture of the main window after a pass. */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"
#include "selection/selectionrules.h"

namespace {

/* Answers the questions in turn and returns their texts; each must be a
   Yes/No box with the program's caption, owned by the main window. */
std::vector<std::string> AnswerAll(const bb::Program &app, const std::vector<int> &answers)
{
    std::vector<std::string> texts;
    for (int answer : answers) {
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        EXPECT_EQ(box.caption, bb::ProgramText(IDS_MSGCAPTION)) << box.text;
        EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), app.MainWindow()) << box.text;
        EXPECT_EQ(box.buttons, std::vector<int>({IDYES, IDNO})) << box.text;
        texts.push_back(box.text);
        app.Answer(box, answer);
    }
    return texts;
}

/* The log lines of one test, by the string id of its name. */
std::string Name(UINT id) { return "\"" + bb::ProgramText(id) + "\""; }
std::string Ran(UINT id) { return "Running the " + Name(id) + " test."; }
std::string Skipped(UINT id) { return "The " + Name(id) + " test was skipped..."; }
std::string NotSupported(UINT id) { return "The " + Name(id) + " test is not supported on this machine."; }
std::string ThrottleSkipped() { return "The " + Name(IDS_THROTTLE_NAME) + " tests were skipped..."; }
const char kCapabilities[] = "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=";

} // namespace

TEST_F(BlackBoxTest, PassFirstRunEveryTestAndEveryAnswerYes)
{
    bb::Program app;   /* no settings file: every entry runs */
    app.Command(IDM_START);
    std::vector<std::string> questions;
    for (UINT id : {IDS_C1_PROMPT, IDS_C2_PROMPT, IDS_C3_PROMPT, IDS_S1_PROMPT, IDS_S1_VERDICT,
                    IDS_S2_PROMPT, IDS_S2_VERDICT, IDS_S3_PROMPT, IDS_S3_VERDICT, IDS_FANON_PROMPT,
                    IDS_FANON_VERDICT, IDS_FANOFF_PROMPT, IDS_FANOFF_VERDICT, IDS_THROTTLE_PROMPT})
        questions.push_back(bb::ProgramText(id));
    EXPECT_EQ(AnswerAll(app, std::vector<int>(14, IDYES)), questions);
    std::vector<std::string> log = {BANNER_TEXT, "", Ran(IDS_C1_NAME), Ran(IDS_C2_NAME), Ran(IDS_C3_NAME),
                                    Ran(IDS_S1_NAME), Ran(IDS_S2_NAME), Ran(IDS_S3_NAME),
                                    Ran(IDS_FANON_NAME), Ran(IDS_FANOFF_NAME)};
    std::vector<std::string> journal = {std::string(kCapabilities) + "55",
        "IOCTL_SET_CPU_STATE 1 0x00000000", "IOCTL_SET_CPU_STATE 2 0x00000000", "IOCTL_SET_CPU_STATE 3 0x00000000",
        "IOCTL_SET_SLEEP_STATE 2 0x00000000", "IOCTL_SET_SLEEP_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 4 0x00000000",
        "IOCTL_SET_FAN 1 0x00000000", "IOCTL_SET_FAN 0 0x00000000"};
    for (int p = 10; p <= 90; p += 10) {
        log.push_back("Running the \"" + bb::ProgramText(IDS_THROTTLE_NAME) + " to " + std::to_string(p) + "%\" test.");
        journal.push_back("IOCTL_SET_DUTY_CYCLE " + std::to_string(p) + " 0x00000000");
    }
    EXPECT_EQ(app.WaitForLogLines(19), log);
    EXPECT_EQ(bb::WaitForJournalLines(18), journal);
    app.Command(IDM_EXIT);   /* the first exit creates the file, every key at 1 */
    EXPECT_EQ(app.WaitForExit(), 0u);
    EXPECT_EQ(bb::ReadSettingsFile(), "[ACPI VMT's]\r\nS1SystemState=1\r\nS2SystemState=1\r\nS3SystemState=1\r\nS4SystemState=1\r\n"
                                      "C1CPUState=1\r\nC2CPUState=1\r\nC3CPUState=1\r\nFanOnOff=1\r\nCPUDutyCycle=1\r\nRTCAlarm=1\r\n");
}

/* What the capability query marks (its bits one at a time: the unit tests),
   a request that fails, and the answers the query must not trust. */
TEST_F(BlackBoxTest, PassSkippedUnsupportedAndFailingTestsAskAndSendOnlyTheirOwn)
{
    const std::vector<std::string> allSkipped = {Skipped(IDS_C1_NAME), Skipped(IDS_C2_NAME), Skipped(IDS_C3_NAME),
        Skipped(IDS_S1_NAME), Skipped(IDS_S2_NAME), Skipped(IDS_S3_NAME), Skipped(IDS_FANON_NAME),
        Skipped(IDS_FANOFF_NAME), ThrottleSkipped()};
    std::vector<std::string> queryFailed = {"The driver request IOCTL_GET_CAPABILITIES failed with system error 31."};
    queryFailed.insert(queryFailed.end(), allSkipped.begin(), allSkipped.end());
    struct Case {
        const char *what;
        DWORD mask, failCode, shortReply;
        std::vector<int> settings;   /* in table order, S1 first */
        int questions;               /* each answered Yes */
        std::vector<std::string> log, journal;
    };
    const Case cases[] = {
        {"S1 and S3 supported, S1 failing", 0x05, IOCTL_SET_SLEEP_STATE, 0, {1, 1, 0, 0, 1, 1, 1, 0, 0, 0}, 3,
         {Ran(IDS_C1_NAME), NotSupported(IDS_C2_NAME), NotSupported(IDS_C3_NAME), Ran(IDS_S1_NAME),
          "The driver request IOCTL_SET_SLEEP_STATE failed with system error 31.", NotSupported(IDS_S2_NAME),
          Skipped(IDS_S3_NAME), Skipped(IDS_FANON_NAME), Skipped(IDS_FANOFF_NAME), ThrottleSkipped()},
         {std::string(kCapabilities) + "5", "IOCTL_SET_CPU_STATE 1 0x00000000", "IOCTL_SET_SLEEP_STATE 2 0xC0000001"}},
        {"a failed query marks nothing", 0, IOCTL_GET_CAPABILITIES, 0, std::vector<int>(SEL_COUNT, 0), 0,
         queryFailed, {"IOCTL_GET_CAPABILITIES 0 0xC0000001"}},
        {"a short reply marks nothing", 0, 0, IOCTL_GET_CAPABILITIES, std::vector<int>(SEL_COUNT, 0), 0,
         allSkipped, {std::string(kCapabilities) + "0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        bb::WriteSettings(c.settings);
        bb::ClearJournal();
        bb::DriverParameterOverride mask("CapabilityMask", c.mask), fail("FailCode", c.failCode),
                                    shortReply("ShortReply", c.shortReply);
        bb::Program app;
        app.Command(IDM_START);
        AnswerAll(app, std::vector<int>(c.questions, IDYES));
        std::vector<std::string> expected = {BANNER_TEXT, ""};
        expected.insert(expected.end(), c.log.begin(), c.log.end());
        EXPECT_EQ(app.WaitForLogLines(expected.size()), expected);
        EXPECT_EQ(bb::ReadJournal(), c.journal);
        if (c.questions) {   /* every kind of line in its colour */
            MoveWindow(app.MainWindow(), 0, 0, 560, 300, TRUE);
            bb::SaveScreenshot(app.MainWindow(), "main-pass.png");
        }
    }
}

TEST_F(NoDriverTest, RunWithoutTheDriverLeavesTheSettingsFileAlone)
{
    const std::string stored = "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n";
    bb::WriteSettingsFile(stored);
    bb::Program app;
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    EXPECT_EQ(bb::ReadSettingsFile(), stored);
}
