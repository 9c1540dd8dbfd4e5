#include "testpass/passrules.h"
#include "driver/acpiioctl.h"
#include "log/logformat.h"
#include "res/resource.h"
#include <gtest/gtest.h>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

/* Names as the string table has them; prompts and verdicts stand in as
   "prompt <id>" and "verdict <id>". */
const std::map<int, std::string> kNames = {
    {IDS_C1_NAME, "Placing the CPU into C1"},
    {IDS_C2_NAME, "Placing the CPU into C2"},
    {IDS_C3_NAME, "Placing the CPU into C3"},
    {IDS_S1_NAME, "Placing the system into the S1 state"},
    {IDS_S2_NAME, "Placing the system into the S2 state"},
    {IDS_S3_NAME, "Placing the system into the S3 state"},
    {IDS_FANON_NAME, "Turning the fan ON"},
    {IDS_FANOFF_NAME, "Turning the fan OFF"},
    {IDS_THROTTLE_NAME, "Throttle the CPU"},
};

/* An operator that answers from a script (Yes once it runs out) and
   records everything the pass does, in order, as one list of events:
   "box <text>", "log<level> <line>", "req <code name> <value>". */
struct ScriptedOperator : PassOperator {
    std::deque<bool> answers;
    std::vector<std::string> events;
    std::string longName;   /* when set, every name is this */

    void LoadText(int id, char *buf, int size) override
    {
        std::string text;
        if (kNames.count(id))
            text = longName.empty() ? kNames.at(id) : longName;
        else if (id == IDS_S1_VERDICT || id == IDS_S2_VERDICT || id == IDS_S3_VERDICT ||
                 id == IDS_FANON_VERDICT || id == IDS_FANOFF_VERDICT)
            text = "verdict " + std::to_string(id);
        else
            text = "prompt " + std::to_string(id);
        snprintf(buf, size, "%s", text.c_str());
    }

    bool AskYes(const char *text) override
    {
        events.push_back(std::string("box ") + text);
        if (answers.empty())
            return true;
        bool yes = answers.front();
        answers.pop_front();
        return yes;
    }

    void Log(int level, const char *line) override
    {
        events.push_back("log" + std::to_string(level) + " " + line);
    }

    void Request(uint32_t code, uint32_t value) override
    {
        events.push_back(std::string("req ") + AcpiIoctlName(code) + " " + std::to_string(value));
    }

    size_t Count(const std::string &prefix) const
    {
        size_t n = 0;
        for (auto &e : events)
            n += e.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

/* What Start does: the four steps in order. */
void RunPass(const std::vector<uint8_t> &table, ScriptedOperator &op)
{
    for (PassStep step : {PASS_CPU, PASS_SYSTEM, PASS_FAN, PASS_THROTTLE})
        RunPassStep(step, table.data(), op);
}

std::vector<uint8_t> All(uint8_t v) { return std::vector<uint8_t>(SEL_COUNT, v); }

std::string Skipped(const std::string &name) { return "log3 The \"" + name + "\" test was skipped...\r\n"; }
std::string Unsupported(const std::string &name) { return "log1 The \"" + name + "\" test is not supported on this machine.\r\n"; }
std::string Running(const std::string &name) { return "log1 Running the \"" + name + "\" test.\r\n"; }

} // namespace

TEST(TestPass, EverySkippedEntryGivesNineBlueLinesAndNothingElse)
{
    const std::vector<std::string> expected = {
        Skipped("Placing the CPU into C1"),
        Skipped("Placing the CPU into C2"),
        Skipped("Placing the CPU into C3"),
        Skipped("Placing the system into the S1 state"),
        Skipped("Placing the system into the S2 state"),
        Skipped("Placing the system into the S3 state"),
        Skipped("Turning the fan ON"),
        Skipped("Turning the fan OFF"),
        "log3 The \"Throttle the CPU\" tests were skipped...\r\n",
    };
    ScriptedOperator op;
    RunPass(All(SELECT_SKIP), op);
    EXPECT_EQ(op.events, expected);

    /* S4 and the RTC alarm have no test in the pass, whatever they hold. */
    for (uint8_t v : {1, 2, 3, 255}) {
        std::vector<uint8_t> table = All(SELECT_SKIP);
        table[SEL_S4] = table[SEL_RTC] = v;
        ScriptedOperator other;
        RunPass(table, other);
        EXPECT_EQ(other.events, expected) << (int)v;
    }
}

TEST(TestPass, EveryTestRunWithEveryAnswerYes)
{
    std::vector<std::string> expected = {
        "box prompt 2005", Running("Placing the CPU into C1"), "req IOCTL_SET_CPU_STATE 1",
        "box prompt 2007", Running("Placing the CPU into C2"), "req IOCTL_SET_CPU_STATE 2",
        "box prompt 2009", Running("Placing the CPU into C3"), "req IOCTL_SET_CPU_STATE 3",
        "box prompt 2011", Running("Placing the system into the S1 state"), "req IOCTL_SET_SLEEP_STATE 2", "box verdict 2012",
        "box prompt 2014", Running("Placing the system into the S2 state"), "req IOCTL_SET_SLEEP_STATE 3", "box verdict 2015",
        "box prompt 2017", Running("Placing the system into the S3 state"), "req IOCTL_SET_SLEEP_STATE 4", "box verdict 2018",
        "box prompt 2020", Running("Turning the fan ON"), "req IOCTL_SET_FAN 1", "box verdict 2021",
        "box prompt 2023", Running("Turning the fan OFF"), "req IOCTL_SET_FAN 0", "box verdict 2024",
        "box prompt 2026",
    };
    for (int p = 10; p <= 90; p += 10) {
        expected.push_back("log1 Running the \"Throttle the CPU to " + std::to_string(p) + "%\" test.\r\n");
        expected.push_back("req IOCTL_SET_DUTY_CYCLE " + std::to_string(p));
    }
    ScriptedOperator op;
    RunPass(All(SELECT_RUN), op);
    EXPECT_EQ(op.events, expected);
    EXPECT_EQ(op.Count("box "), 14u);
    EXPECT_EQ(op.Count("req "), 17u);
    EXPECT_EQ(op.Count("log1 "), 17u);
    EXPECT_EQ(op.Count("log"), 17u);

    /* Any entry other than 0 and 2 runs like 1; S4 and RTC change nothing. */
    std::vector<uint8_t> table = {3, 7, 255, 0, 3, 128, 4, 3, 9, 0};
    ScriptedOperator odd;
    RunPass(table, odd);
    EXPECT_EQ(odd.events, expected);
}

TEST(TestPass, NoAnswersSkipOnlyTheirOwnTest)
{
    /* No to the C2 prompt, Yes to C1 and C3. */
    ScriptedOperator cpu;
    cpu.answers = {true, false, true};
    RunPassStep(PASS_CPU, All(SELECT_RUN).data(), cpu);
    EXPECT_EQ(cpu.events, (std::vector<std::string>{
        "box prompt 2005", Running("Placing the CPU into C1"), "req IOCTL_SET_CPU_STATE 1",
        "box prompt 2007", Skipped("Placing the CPU into C2"),
        "box prompt 2009", Running("Placing the CPU into C3"), "req IOCTL_SET_CPU_STATE 3",
    }));

    /* No to the S1 verdict adds nothing and S2 follows; No to the S3 prompt
       asks no verdict. */
    ScriptedOperator sys;
    sys.answers = {true, false, true, true, false};
    RunPassStep(PASS_SYSTEM, All(SELECT_RUN).data(), sys);
    EXPECT_EQ(sys.events, (std::vector<std::string>{
        "box prompt 2011", Running("Placing the system into the S1 state"), "req IOCTL_SET_SLEEP_STATE 2", "box verdict 2012",
        "box prompt 2014", Running("Placing the system into the S2 state"), "req IOCTL_SET_SLEEP_STATE 3", "box verdict 2015",
        "box prompt 2017", Skipped("Placing the system into the S3 state"),
    }));

    /* No to the group prompt: one line, no request. */
    ScriptedOperator duty;
    duty.answers = {false};
    RunPassStep(PASS_THROTTLE, All(SELECT_RUN).data(), duty);
    EXPECT_EQ(duty.events, (std::vector<std::string>{
        "box prompt 2026", "log3 The \"Throttle the CPU\" tests were skipped...\r\n",
    }));
}

TEST(TestPass, UnsupportedEntriesAndTheC1Exception)
{
    /* C1 at 2 is asked and run; C2 at 2 is not supported without a box. */
    std::vector<uint8_t> table = All(SELECT_RUN);
    table[SEL_C1] = table[SEL_C2] = SELECT_UNSUPPORTED;
    ScriptedOperator cpu;
    RunPassStep(PASS_CPU, table.data(), cpu);
    EXPECT_EQ(cpu.events, (std::vector<std::string>{
        "box prompt 2005", Running("Placing the CPU into C1"), "req IOCTL_SET_CPU_STATE 1",
        Unsupported("Placing the CPU into C2"),
        "box prompt 2009", Running("Placing the CPU into C3"), "req IOCTL_SET_CPU_STATE 3",
    }));

    /* One fan entry governs both fan tests, each under its own name. */
    table[SEL_FAN] = SELECT_UNSUPPORTED;
    ScriptedOperator fan;
    RunPassStep(PASS_FAN, table.data(), fan);
    EXPECT_EQ(fan.events, (std::vector<std::string>{
        Unsupported("Turning the fan ON"), Unsupported("Turning the fan OFF"),
    }));
    table[SEL_FAN] = SELECT_SKIP;
    ScriptedOperator fanOff;
    RunPassStep(PASS_FAN, table.data(), fanOff);
    EXPECT_EQ(fanOff.events, (std::vector<std::string>{
        Skipped("Turning the fan ON"), Skipped("Turning the fan OFF"),
    }));

    table[SEL_DUTY] = SELECT_UNSUPPORTED;
    table[SEL_S2] = SELECT_UNSUPPORTED;
    ScriptedOperator rest;
    RunPassStep(PASS_SYSTEM, table.data(), rest);
    RunPassStep(PASS_THROTTLE, table.data(), rest);
    EXPECT_EQ(rest.Count("req IOCTL_SET_SLEEP_STATE 3"), 0u);
    EXPECT_EQ(rest.Count(Unsupported("Placing the system into the S2 state")), 1u);
    EXPECT_EQ(rest.events.back(), "log1 The \"Throttle the CPU\" tests are not supported on this machine.\r\n");
    EXPECT_EQ(rest.Count("req IOCTL_SET_DUTY_CYCLE"), 0u);
}

TEST(TestPass, LongestNamesStillMakeWholeLines)
{
    ScriptedOperator op;
    op.longName = std::string(PASS_TEXT_SIZE - 1, 'n');
    RunPass(All(SELECT_RUN), op);
    EXPECT_EQ(op.Count("log1 Running the \"" + op.longName + " to 90%\" test.\r\n"), 1u);
    EXPECT_EQ(op.Count("log1 Running the \"" + op.longName + "\" test.\r\n"), 8u);
}
