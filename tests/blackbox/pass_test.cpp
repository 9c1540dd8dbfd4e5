/* "&Start ACPI tess" and VERUVEZ.INI as an operator meets them: the questions,
   the log, the requests the stand-in driver saw and the file left at exit. */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"

namespace {

const char kRunThis[] = "\n\nDo you want to run this test?";
std::string Cpu(int n) { return "The following test is going to place the CPU into the C" + std::to_string(n) + " state." + kRunThis; }
std::string Sleep(int n)
{
    return "The following test is going to place the system into the S" + std::to_string(n) + " low power state.\nOnce the machine is in the S"
           + std::to_string(n) + " state, manually wake it up by moving the mouse, pressing the wake button, etc." + kRunThis;
}
std::string Verdict(int n) { return "Did the machine correctly enter the S" + std::to_string(n) + " state and then wake up to your command?"; }
const char *const kNames[8] = {"Placing the CPU into C1", "Placing the CPU into C2", "Placing the CPU into C3",
    "Placing the system into the S1 state", "Placing the system into the S2 state", "Placing the system into the S3 state",
    "Turning the fan ON", "Turning the fan OFF"};

/* Answers the questions in turn and returns their texts; each must be a
   Yes/No box captioned "ACPI VMT's" owned by the main window. */
std::vector<std::string> AnswerAll(const bb::Program &app, const std::vector<int> &answers)
{
    std::vector<std::string> texts;
    for (int answer : answers) {
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        bool owned = GetWindow(box.hwnd, GW_OWNER) == app.MainWindow();
        EXPECT_TRUE(box.caption == "ACPI VMT's" && owned && box.buttons == std::vector<int>({IDYES, IDNO})) << box.text;
        texts.push_back(box.text);
        app.Answer(box, answer);
    }
    return texts;
}

} // namespace

TEST_F(BlackBoxTest, PassFirstRunEveryTestAndEveryAnswerYes)
{
    bb::Program app;   /* no settings file: every entry runs */
    app.Command(IDM_START);
    EXPECT_EQ(AnswerAll(app, std::vector<int>(14, IDYES)), (std::vector<std::string>{
        Cpu(1), Cpu(2), Cpu(3), Sleep(1), Verdict(1), Sleep(2), Verdict(2), Sleep(3), Verdict(3),
        std::string("The following test is going to turn the fan ON.") + kRunThis, "Did the fan turn ON?",
        std::string("The following test is going to turn the fan OFF") + kRunThis, "Did the fan turn OFF?",
        "The following tests are going to throttle the CPU back.\n\nDo you want to run these tests?"}));
    std::vector<std::string> log = {BANNER_TEXT, ""}, journal = {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55"};
    for (const char *name : kNames)
        log.push_back(std::string("Running the \"") + name + "\" test.");
    for (const char *request : {"CPU_STATE 1", "CPU_STATE 2", "CPU_STATE 3", "SLEEP_STATE 2", "SLEEP_STATE 3", "SLEEP_STATE 4",
                                "FAN 1", "FAN 0"})
        journal.push_back(std::string("IOCTL_SET_") + request + " 0x00000000");
    for (int p = 10; p <= 90; p += 10) {
        log.push_back("Running the \"Throttle the CPU to " + std::to_string(p) + "%\" test.");
        journal.push_back("IOCTL_SET_DUTY_CYCLE " + std::to_string(p) + " 0x00000000");
    }
    EXPECT_EQ(app.WaitForLogLines(19), log);
    EXPECT_EQ(bb::WaitForJournalLines(18), journal);
    app.Command(IDM_EXIT);   /* the first exit creates the file, every key at 1 */
    EXPECT_EQ(app.WaitForExit(), 0u);
    EXPECT_EQ(bb::ReadSettingsFile(), "[ACPI VMT's]\r\nS1SystemState=1\r\nS2SystemState=1\r\nS3SystemState=1\r\nS4SystemState=1\r\n"
                                      "C1CPUState=1\r\nC2CPUState=1\r\nC3CPUState=1\r\nFanOnOff=1\r\nCPUDutyCycle=1\r\nRTCAlarm=1\r\n");
}

TEST_F(BlackBoxTest, PassSkippedUnsupportedAndFailingTestsAskAndSendOnlyTheirOwn)
{
    /* Every entry 0 but S1 where F; a letter per test: 0 skipped, U not supported, F run, its request failing. */
    const std::string capabilities = "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=";
    const struct { DWORD mask, failCode; const char *tests; std::vector<std::string> journal; } cases[] = {
        {ACPI_CAP_ALL, 0, "00000000", {capabilities + "55"}},
        {0x05, 0, "0UU0U000", {capabilities + "5"}},                                        /* S1 and S3 only */
        {0, IOCTL_GET_CAPABILITIES, "00000000", {"IOCTL_GET_CAPABILITIES 0 0xC0000001"}},   /* marks nothing */
        {ACPI_CAP_ALL, IOCTL_SET_SLEEP_STATE, "000F0000", {capabilities + "55", "IOCTL_SET_SLEEP_STATE 2 0xC0000001"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.tests);
        bb::WriteSettingsFile(std::string("[ACPI VMT's]\r\nS1SystemState=") + (c.tests[3] == 'F' ? "1" : "0")
                              + "\r\nS2SystemState=0\r\nS3SystemState=0\r\nC1CPUState=0\r\nC2CPUState=0\r\nC3CPUState=0\r\n"
                                "FanOnOff=0\r\nCPUDutyCycle=0\r\n");
        bb::ClearJournal();
        bb::DriverParameterOverride mask("CapabilityMask", c.mask), fail("FailCode", c.failCode);
        bb::Program app;
        app.Command(IDM_START);
        AnswerAll(app, std::vector<int>(c.tests[3] == 'F' ? 2 : 0, IDYES));   /* F: the S1 prompt, and its verdict all the same */
        std::vector<std::string> expected = {BANNER_TEXT, ""};
        if (c.failCode == IOCTL_GET_CAPABILITIES)
            expected.push_back("The driver request IOCTL_GET_CAPABILITIES failed with system error 31.");
        for (int i = 0; i < 8; i++) {
            std::string name = std::string("\"") + kNames[i] + "\" test";
            if (c.tests[i] == 'F')
                expected.insert(expected.end(), {"Running the " + name + ".",
                                                 "The driver request IOCTL_SET_SLEEP_STATE failed with system error 31."});
            else
                expected.push_back("The " + name + (c.tests[i] == 'U' ? " is not supported on this machine." : " was skipped..."));
        }
        expected.push_back("The \"Throttle the CPU\" tests were skipped...");
        EXPECT_EQ(app.WaitForLogLines(expected.size()), expected);
        EXPECT_EQ(bb::ReadJournal(), c.journal);
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
