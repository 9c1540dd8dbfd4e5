/* "&Start ACPI tess" as an operator runs it with the stand-in driver: the
   questions, the log and the requests the driver saw. */
#include "tests/blackbox/blackbox.h"

using bb::Program;

namespace {

const char kC1Prompt[] = "The following test is going to place the CPU into the C1 state.\n\nDo you want to run this test?";
const char kC2Prompt[] = "The following test is going to place the CPU into the C2 state.\n\nDo you want to run this test?";
const char kC3Prompt[] = "The following test is going to place the CPU into the C3 state.\n\nDo you want to run this test?";
const char kS1Prompt[] = "The following test is going to place the system into the S1 low power state.\nOnce the machine is in the S1 state, manually wake it up by moving the mouse, pressing the wake button, etc.\n\nDo you want to run this test?";
const char kS2Prompt[] = "The following test is going to place the system into the S2 low power state.\nOnce the machine is in the S2 state, manually wake it up by moving the mouse, pressing the wake button, etc.\n\nDo you want to run this test?";
const char kS3Prompt[] = "The following test is going to place the system into the S3 low power state.\nOnce the machine is in the S3 state, manually wake it up by moving the mouse, pressing the wake button, etc.\n\nDo you want to run this test?";
const char kS1Verdict[] = "Did the machine correctly enter the S1 state and then wake up to your command?";
const char kS2Verdict[] = "Did the machine correctly enter the S2 state and then wake up to your command?";
const char kS3Verdict[] = "Did the machine correctly enter the S3 state and then wake up to your command?";
const char kFanOnPrompt[] = "The following test is going to turn the fan ON.\n\nDo you want to run this test?";
const char kFanOnVerdict[] = "Did the fan turn ON?";
const char kFanOffPrompt[] = "The following test is going to turn the fan OFF\n\nDo you want to run this test?";
const char kFanOffVerdict[] = "Did the fan turn OFF?";
const char kThrottlePrompt[] = "The following tests are going to throttle the CPU back.\n\nDo you want to run these tests?";

const char kCapabilities[] = "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55";

std::string Running(const std::string &name) { return "Running the \"" + name + "\" test."; }
std::string Skipped(const std::string &name) { return "The \"" + name + "\" test was skipped..."; }
std::string Unsupported(const std::string &name) { return "The \"" + name + "\" test is not supported on this machine."; }

const char kC1[] = "Placing the CPU into C1";
const char kC2[] = "Placing the CPU into C2";
const char kC3[] = "Placing the CPU into C3";
const char kS1[] = "Placing the system into the S1 state";
const char kS2[] = "Placing the system into the S2 state";
const char kS3[] = "Placing the system into the S3 state";
const char kFanOn[] = "Turning the fan ON";
const char kFanOff[] = "Turning the fan OFF";
const char kThrottleSkipped[] = "The \"Throttle the CPU\" tests were skipped...";

/* Answers the pass's questions in turn and returns their texts; each must
   be a Yes/No box captioned "ACPI VMT's" owned by the main window. */
std::vector<std::string> AnswerAll(const Program &app, const std::vector<int> &answers)
{
    std::vector<std::string> texts;
    for (int answer : answers) {
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        SCOPED_TRACE(box.text);
        EXPECT_EQ(box.caption, "ACPI VMT's");
        EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), app.MainWindow());
        EXPECT_EQ(bb::Control(box.hwnd, IDYES) != NULL && bb::Control(box.hwnd, IDNO) != NULL, true);
        texts.push_back(box.text);
        app.Answer(box, answer);
    }
    return texts;
}

/* The log after the banner and its empty line, once it has n more lines. */
std::vector<std::string> PassLines(const Program &app, size_t n)
{
    std::vector<std::string> lines = app.WaitForLogLines(2 + n);
    return std::vector<std::string>(lines.begin() + 2, lines.end());
}

} // namespace

class PassTest : public BlackBoxTest {};

TEST_F(PassTest, EveryTestRunAndEveryAnswerYes)
{
    Program app;   /* no settings file: every entry runs */
    app.Command(IDM_START);
    EXPECT_EQ(AnswerAll(app, std::vector<int>(14, IDYES)), (std::vector<std::string>{
        kC1Prompt, kC2Prompt, kC3Prompt,
        kS1Prompt, kS1Verdict, kS2Prompt, kS2Verdict, kS3Prompt, kS3Verdict,
        kFanOnPrompt, kFanOnVerdict, kFanOffPrompt, kFanOffVerdict,
        kThrottlePrompt,
    }));

    std::vector<std::string> log = {
        Running(kC1), Running(kC2), Running(kC3), Running(kS1), Running(kS2), Running(kS3),
        Running(kFanOn), Running(kFanOff),
    };
    std::vector<std::string> journal = {
        kCapabilities,
        "IOCTL_SET_CPU_STATE 1 0x00000000", "IOCTL_SET_CPU_STATE 2 0x00000000",
        "IOCTL_SET_CPU_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 2 0x00000000",
        "IOCTL_SET_SLEEP_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 4 0x00000000",
        "IOCTL_SET_FAN 1 0x00000000", "IOCTL_SET_FAN 0 0x00000000",
    };
    for (int p = 10; p <= 90; p += 10) {
        log.push_back("Running the \"Throttle the CPU to " + std::to_string(p) + "%\" test.");
        journal.push_back("IOCTL_SET_DUTY_CYCLE " + std::to_string(p) + " 0x00000000");
    }
    EXPECT_EQ(PassLines(app, 17), log);
    EXPECT_EQ(bb::WaitForJournalLines(18), journal);
    EXPECT_EQ(app.FindMessageBox().hwnd, (HWND)NULL);

    /* A second Start asks again from the beginning. */
    app.Command(IDM_START);
    EXPECT_EQ(app.WaitForMessageBox().text, kC1Prompt);
    app.Answer(app.FindMessageBox(), IDNO);
    app.WaitForLogText(Skipped(kC1));

    app.Kill();   /* ends mid-pass; the file is not the subject here */
}

TEST_F(PassTest, EveryTestSkippedAsksAndSendsNothing)
{
    bb::WriteSettingsFile("[ACPI VMT's]\r\nS1SystemState=0\r\nS2SystemState=0\r\nS3SystemState=0\r\n"
                          "S4SystemState=1\r\nC1CPUState=0\r\nC2CPUState=0\r\nC3CPUState=0\r\n"
                          "FanOnOff=0\r\nCPUDutyCycle=0\r\nRTCAlarm=1\r\n");
    Program app;
    app.Command(IDM_START);
    EXPECT_EQ(PassLines(app, 9), (std::vector<std::string>{
        Skipped(kC1), Skipped(kC2), Skipped(kC3), Skipped(kS1), Skipped(kS2), Skipped(kS3),
        Skipped(kFanOn), Skipped(kFanOff), kThrottleSkipped,
    }));
    EXPECT_EQ(app.FindMessageBox().hwnd, (HWND)NULL);
    EXPECT_EQ(bb::ReadJournal(), std::vector<std::string>{kCapabilities});

    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}

TEST_F(PassTest, UnsupportedStatesAndNoAnswers)
{
    bb::DriverParameterOverride mask("CapabilityMask", 0x05);   /* S1 and S3 only */
    Program app;   /* no settings file: every entry runs */
    app.Command(IDM_START);
    /* C1 Yes; S1 Yes, its verdict No; S3 No; fan on Yes and Yes; fan off No;
       the throttling group No. */
    EXPECT_EQ(AnswerAll(app, {IDYES, IDYES, IDNO, IDNO, IDYES, IDYES, IDNO, IDNO}),
              (std::vector<std::string>{kC1Prompt, kS1Prompt, kS1Verdict, kS3Prompt,
                                        kFanOnPrompt, kFanOnVerdict, kFanOffPrompt, kThrottlePrompt}));
    EXPECT_EQ(PassLines(app, 9), (std::vector<std::string>{
        Running(kC1), Unsupported(kC2), Unsupported(kC3),
        Running(kS1), Unsupported(kS2), Skipped(kS3),
        Running(kFanOn), Skipped(kFanOff), kThrottleSkipped,
    }));
    EXPECT_EQ(bb::WaitForJournalLines(4), (std::vector<std::string>{
        "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=5", "IOCTL_SET_CPU_STATE 1 0x00000000",
        "IOCTL_SET_SLEEP_STATE 2 0x00000000", "IOCTL_SET_FAN 1 0x00000000",
    }));

    /* The marks hold for this run only: saved as 1. */
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    for (const char *key : {"S2SystemState", "C2CPUState", "C3CPUState"})
        EXPECT_EQ(bb::SettingsValue(key), 1) << key;
}

TEST_F(PassTest, FailingRequestsAreLoggedAndThePassGoesOn)
{
    bb::WriteSettingsFile("[ACPI VMT's]\r\nS1SystemState=1\r\nS2SystemState=1\r\nS3SystemState=0\r\n"
                          "C1CPUState=0\r\nC2CPUState=0\r\nC3CPUState=0\r\nFanOnOff=0\r\nCPUDutyCycle=0\r\n");
    {
        bb::DriverParameterOverride fail("FailCode", 0x220140);   /* IOCTL_SET_SLEEP_STATE */
        Program app;
        app.Command(IDM_START);
        /* The verdict question follows the failed request all the same. */
        EXPECT_EQ(AnswerAll(app, {IDYES, IDYES, IDYES, IDNO}),
                  (std::vector<std::string>{kS1Prompt, kS1Verdict, kS2Prompt, kS2Verdict}));
        std::vector<std::string> lines = PassLines(app, 11);
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.begin() + 7), (std::vector<std::string>{
            Running(kS1), "The driver request IOCTL_SET_SLEEP_STATE failed with system error 31.",
            Running(kS2), "The driver request IOCTL_SET_SLEEP_STATE failed with system error 31.",
        }));
        EXPECT_EQ(lines.back(), kThrottleSkipped);
        EXPECT_EQ(bb::WaitForJournalLines(3), (std::vector<std::string>{
            kCapabilities, "IOCTL_SET_SLEEP_STATE 2 0xC0000001", "IOCTL_SET_SLEEP_STATE 3 0xC0000001",
        }));
        app.Command(IDM_EXIT);
        EXPECT_EQ(app.WaitForExit(), 0u);
    }

    /* A failed capability query is reported and marks nothing, even with a
       mask that would mark every state. */
    bb::ClearJournal();
    bb::DriverParameterOverride mask("CapabilityMask", 0);
    bb::DriverParameterOverride fail("FailCode", 0x22014C);   /* IOCTL_GET_CAPABILITIES */
    Program app;
    EXPECT_EQ(app.LogLines(), (std::vector<std::string>{
        BANNER_TEXT, "", "The driver request IOCTL_GET_CAPABILITIES failed with system error 31."}));
    app.Command(IDM_START);
    EXPECT_EQ(app.WaitForMessageBox().text, kS1Prompt);
    app.Answer(app.FindMessageBox(), IDNO);
    EXPECT_EQ(app.WaitForMessageBox().text, kS2Prompt);
    app.Answer(app.FindMessageBox(), IDNO);
    app.WaitForLogText(kThrottleSkipped);
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}
