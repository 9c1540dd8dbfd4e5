/* VERUVEZ.INI as the program leaves it: created at the first exit, every
   bad file loaded by the byte rule and written back, and never touched by a
   run without the driver. */
#include "tests/blackbox/blackbox.h"

using bb::Program;

namespace {

const char *const kKeys[10] = {
    "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
    "C1CPUState", "C2CPUState", "C3CPUState", "FanOnOff", "CPUDutyCycle", "RTCAlarm",
};

std::vector<long> SavedValues()
{
    std::vector<long> values;
    for (const char *key : kKeys)
        values.push_back(bb::SettingsValue(key));
    return values;
}

void StartAndExit()
{
    Program app;
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}

} // namespace

class SettingsFile : public BlackBoxTest {};

TEST_F(SettingsFile, FirstRunCreatesItWithTheTenKeysAtOne)
{
    ASSERT_FALSE(bb::SettingsFileExists());
    StartAndExit();
    std::string text = bb::ReadSettingsFile();
    EXPECT_EQ(SavedValues(), std::vector<long>(10, 1)) << text;
    size_t at = text.find("[ACPI VMT's]");
    ASSERT_NE(at, std::string::npos) << text;
    for (const char *key : kKeys) {   /* in table order */
        size_t next = text.find(std::string(key) + "=1\r\n", at);
        EXPECT_NE(next, std::string::npos) << key << " after offset " << at << " in\n" << text;
        at = next == std::string::npos ? at : next;
    }
}

TEST_F(SettingsFile, EveryBadFileLoadsAndExitWorks)
{
    const std::string longLine(100000, 'x');
    struct Case {
        const char *what;
        std::string text;
        std::vector<long> saved;
        std::vector<std::string> kept;   /* texts that must still be in the file */
    } cases[] = {
        {"odd values",
         "[ACPI VMT's]\r\nS1SystemState=2\r\nS2SystemState=3\r\nS3SystemState=7\r\nS4SystemState=256\r\n"
         "C1CPUState=65537\r\nC2CPUState=-1\r\nC3CPUState=abc\r\nFanOnOff=\r\nCPUDutyCycle=   0\r\n",
         {1, 3, 7, 0, 1, 255, 0, 1, 0, 1}, {}},
        {"empty file", "", std::vector<long>(10, 1), {}},
        {"no section of ours", "[Other]\r\nS1SystemState=0\r\n", std::vector<long>(10, 1),
         {"[Other]\r\nS1SystemState=0\r\n"}},
        {"sections and keys around ours",
         "[A]\r\nC1CPUState=0\r\n[ACPI VMT's]\r\nNote=kept\r\nC1CPUState=3\r\n[B]\r\nFanOnOff=0\r\n",
         {1, 1, 1, 1, 3, 1, 1, 1, 1, 1}, {"[A]\r\nC1CPUState=0\r\n", "Note=kept\r\n", "[B]\r\nFanOnOff=0\r\n"}},
        {"line feeds only", "[ACPI VMT's]\nS1SystemState=0\nC3CPUState=0\n",
         {0, 1, 1, 1, 1, 1, 0, 1, 1, 1}, {}},
        {"a very long line",
         "[ACPI VMT's]\r\nS1SystemState=0\r\nComment=" + longLine + "\r\nS2SystemState=0\r\n",
         {0, 0, 1, 1, 1, 1, 1, 1, 1, 1}, {"Comment=" + longLine + "\r\n"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        bb::WriteSettingsFile(c.text);
        StartAndExit();
        EXPECT_EQ(SavedValues(), c.saved);
        std::string text = bb::ReadSettingsFile();
        for (const std::string &kept : c.kept)
            EXPECT_NE(text.find(kept), std::string::npos) << kept.substr(0, 40);
    }

    /* Read-only: the program ends normally whether or not the write is
       refused, and the stored value is still there. */
    bb::WriteSettingsFile("[ACPI VMT's]\r\nS1SystemState=3\r\n");
    std::string path = bb::SettingsPath();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    StartAndExit();
    EXPECT_EQ(bb::SettingsValue("S1SystemState"), 3);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SettingsFile, StoredValuesDecideThePass)
{
    /* 2 is not supported (C1 excepted), 259 loads as 3 and runs, 256 as 0. */
    bb::WriteSettingsFile("[ACPI VMT's]\r\nS1SystemState=2\r\nS2SystemState=259\r\nC1CPUState=2\r\n"
                          "C2CPUState=3\r\nFanOnOff=256\r\nCPUDutyCycle=65537\r\n");
    Program app;
    app.Command(IDM_START);
    std::vector<std::string> asked;
    for (int i = 0; i < 6; i++) {
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        asked.push_back(box.text.substr(0, box.text.find('\n')));
        app.Answer(box, IDNO);
    }
    EXPECT_EQ(asked, (std::vector<std::string>{
        "The following test is going to place the CPU into the C1 state.",
        "The following test is going to place the CPU into the C2 state.",
        "The following test is going to place the CPU into the C3 state.",
        "The following test is going to place the system into the S2 low power state.",
        "The following test is going to place the system into the S3 low power state.",
        "The following tests are going to throttle the CPU back.",
    }));
    std::vector<std::string> lines = app.WaitForLogLines(11);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), (std::vector<std::string>{
        "The \"Placing the CPU into C1\" test was skipped...",
        "The \"Placing the CPU into C2\" test was skipped...",
        "The \"Placing the CPU into C3\" test was skipped...",
        "The \"Placing the system into the S1 state\" test is not supported on this machine.",
        "The \"Placing the system into the S2 state\" test was skipped...",
        "The \"Placing the system into the S3 state\" test was skipped...",
        "The \"Turning the fan ON\" test was skipped...",
        "The \"Turning the fan OFF\" test was skipped...",
        "The \"Throttle the CPU\" tests were skipped...",
    }));
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    EXPECT_EQ(SavedValues(), (std::vector<long>{1, 3, 1, 1, 1, 3, 1, 0, 1, 1}));
}

class NoDriverSettings : public NoDriverTest {};

TEST_F(NoDriverSettings, RunWithoutTheDriverNeverWritesTheFile)
{
    /* The stored choices survive a run that could not read them. */
    const std::string stored = "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n[Mine]\nkey=value\n";
    bb::WriteSettingsFile(stored);
    {
        Program app;
        app.Command(IDM_START);   /* nothing loaded: every test skipped */
        app.WaitForLogText("The \"Throttle the CPU\" tests were skipped...\r\n");
        app.Command(IDM_EXIT);
        EXPECT_EQ(app.WaitForExit(), 0u);
    }
    EXPECT_EQ(bb::ReadSettingsFile(), stored);

    /* Nor does it create one. */
    bb::DeleteSettingsFile();
    StartAndExit();
    EXPECT_FALSE(bb::SettingsFileExists());
}
