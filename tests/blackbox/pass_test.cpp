/* "&Start ACPI tess" and VERUVEZ.INI as an operator meets them: the questions,
   the log, the requests the stand-in driver saw and the file left at exit. */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"

using bb::Program;

namespace {

std::string Cpu(int n) { return "The following test is going to place the CPU into the C" + std::to_string(n) + " state.\n\nDo you want to run this test?"; }
std::string Sleep(int n) { return "The following test is going to place the system into the S" + std::to_string(n) + " low power state.\nOnce the machine is in the S"
                                  + std::to_string(n) + " state, manually wake it up by moving the mouse, pressing the wake button, etc.\n\nDo you want to run this test?"; }
std::string Verdict(int n) { return "Did the machine correctly enter the S" + std::to_string(n) + " state and then wake up to your command?"; }
const char *const kNames[8] = {"Placing the CPU into C1", "Placing the CPU into C2", "Placing the CPU into C3", "Placing the system into the S1 state",
    "Placing the system into the S2 state", "Placing the system into the S3 state", "Turning the fan ON", "Turning the fan OFF"};
const std::string kAllButS1Skipped = "[ACPI VMT's]\r\nS2SystemState=0\r\nS3SystemState=0\r\nC1CPUState=0\r\nC2CPUState=0\r\nC3CPUState=0\r\nFanOnOff=0\r\nCPUDutyCycle=0\r\n";

/* Answers the pass's questions in turn and returns their texts; each must be
   a Yes/No box captioned "ACPI VMT's" owned by the main window. */
std::vector<std::string> AnswerAll(const Program &app, const std::vector<int> &answers)
{
    std::vector<std::string> texts;
    for (int answer : answers) {
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        EXPECT_TRUE(box.caption == "ACPI VMT's" && GetWindow(box.hwnd, GW_OWNER) == app.MainWindow()
                    && box.buttons == std::vector<int>({IDYES, IDNO})) << box.text;
        texts.push_back(box.text);
        app.Answer(box, answer);
    }
    return texts;
}

} // namespace

class PassTest : public BlackBoxTest {};

TEST_F(PassTest, FirstRunEveryTestAndEveryAnswerYes)
{
    Program app;   /* no settings file: every entry runs */
    app.Command(IDM_START);
    EXPECT_EQ(AnswerAll(app, std::vector<int>(14, IDYES)), (std::vector<std::string>{
        Cpu(1), Cpu(2), Cpu(3), Sleep(1), Verdict(1), Sleep(2), Verdict(2), Sleep(3), Verdict(3),
        "The following test is going to turn the fan ON.\n\nDo you want to run this test?", "Did the fan turn ON?",
        "The following test is going to turn the fan OFF\n\nDo you want to run this test?", "Did the fan turn OFF?",
        "The following tests are going to throttle the CPU back.\n\nDo you want to run these tests?"}));
    std::vector<std::string> log = {BANNER_TEXT, ""}, journal = {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55"};
    for (const char *name : kNames)
        log.push_back(std::string("Running the \"") + name + "\" test.");
    for (const char *request : {"CPU_STATE 1", "CPU_STATE 2", "CPU_STATE 3", "SLEEP_STATE 2", "SLEEP_STATE 3", "SLEEP_STATE 4", "FAN 1", "FAN 0"})
        journal.push_back(std::string("IOCTL_SET_") + request + " 0x00000000");
    for (int p = 10; p <= 90; p += 10) {
        log.push_back("Running the \"Throttle the CPU to " + std::to_string(p) + "%\" test.");
        journal.push_back("IOCTL_SET_DUTY_CYCLE " + std::to_string(p) + " 0x00000000");
    }
    EXPECT_EQ(app.WaitForLogLines(19), log);
    EXPECT_EQ(bb::WaitForJournalLines(18), journal);
    app.Command(IDM_EXIT);   /* the first exit creates the file, every key at 1 */
    EXPECT_EQ(app.WaitForExit(), 0u);
    EXPECT_EQ(bb::ReadSettingsFile(), "[ACPI VMT's]\r\nS1SystemState=1\r\nS2SystemState=1\r\nS3SystemState=1\r\nS4SystemState=1\r\nC1CPUState=1\r\n"
                                      "C2CPUState=1\r\nC3CPUState=1\r\nFanOnOff=1\r\nCPUDutyCycle=1\r\nRTCAlarm=1\r\n");
}

TEST_F(PassTest, SkippedAndUnsupportedEntriesAskAndSendNothing)
{
    const struct { DWORD mask, failCode; const char *reply, *marked; } cases[] = {
        {ACPI_CAP_ALL, 0, "0x00000000 reply=55", "00000000"},
        {0x05, 0, "0x00000000 reply=5", "01101000"},             /* S1 and S3 only: C2, C3 and S2 marked */
        {0, IOCTL_GET_CAPABILITIES, "0xC0000001", "00000000"},   /* a failed query marks nothing */
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply);
        bb::WriteSettingsFile(kAllButS1Skipped + "S1SystemState=0\r\n");
        bb::ClearJournal();
        bb::DriverParameterOverride mask("CapabilityMask", c.mask), fail("FailCode", c.failCode);
        Program app;
        app.Command(IDM_START);
        std::vector<std::string> expected = {BANNER_TEXT, ""};
        if (c.failCode)
            expected.push_back("The driver request IOCTL_GET_CAPABILITIES failed with system error 31.");
        for (int i = 0; i < 8; i++)
            expected.push_back(std::string("The \"") + kNames[i] + (c.marked[i] == '1' ? "\" test is not supported on this machine." : "\" test was skipped..."));
        expected.push_back("The \"Throttle the CPU\" tests were skipped...");
        EXPECT_EQ(app.WaitForLogLines(expected.size()), expected);
        EXPECT_EQ(app.FindMessageBox().hwnd, (HWND)NULL);
        EXPECT_EQ(bb::ReadJournal(), std::vector<std::string>{"IOCTL_GET_CAPABILITIES 0 " + std::string(c.reply)});
    }
}

TEST_F(PassTest, FailingRequestIsLoggedAndThePassGoesOn)
{
    bb::WriteSettingsFile(kAllButS1Skipped);
    bb::DriverParameterOverride fail("FailCode", IOCTL_SET_SLEEP_STATE);
    Program app;
    app.Command(IDM_START);
    EXPECT_EQ(AnswerAll(app, {IDYES, IDYES}), (std::vector<std::string>{Sleep(1), Verdict(1)}));   /* the verdict is still asked */
    std::vector<std::string> lines = app.WaitForLogLines(12);
    EXPECT_EQ(lines[5], std::string("Running the \"") + kNames[3] + "\" test.");
    EXPECT_EQ(lines[6], "The driver request IOCTL_SET_SLEEP_STATE failed with system error 31.");
    EXPECT_EQ(lines[11], "The \"Throttle the CPU\" tests were skipped...");
}

class NoDriverSettings : public NoDriverTest {};

TEST_F(NoDriverSettings, RunWithoutTheDriverLeavesTheFileAlone)
{
    const std::string stored = "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n";
    bb::WriteSettingsFile(stored);
    Program app;
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    EXPECT_EQ(bb::ReadSettingsFile(), stored);
}
