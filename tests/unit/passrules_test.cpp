/* The pass walked with scripted answers: every box, log line with its level
   and request, in order. */
#include "testpass/passrules.h"
#include "driver/acpiioctl.h"
#include <gtest/gtest.h>

namespace {

/* Texts are "#<id>"; events "? <text>" for a box, "<level> <line>" for a
   log line, "<control code name> <value>" for a request. */
struct ScriptedOperator : PassOperator {
    std::string answers;   /* Y or N for each box in turn, Yes once they run out */
    size_t asked = 0;
    std::vector<std::string> events;
    void LoadText(int id, char *buf, int size) override { snprintf(buf, size, "#%d", id); }
    bool AskYes(const char *text) override
    {
        events.push_back(std::string("? ") + text);
        return asked >= answers.size() || answers[asked++] == 'Y';
    }
    void Log(int level, const char *line) override { events.push_back(std::to_string(level) + " " + line); }
    void Request(uint32_t code, uint32_t value) override
    {
        events.push_back(std::string(AcpiIoctlName(code)) + " " + std::to_string(value));
    }
};

std::vector<std::string> Walk(PassStep step, std::vector<uint8_t> table, const char *answers = "")
{
    ScriptedOperator op;
    op.answers = answers;
    RunPassStep(step, table.data(), op);
    return op.events;
}

} // namespace

/* Table order: S1 S2 S3 S4 C1 C2 C3 FAN DUTY RTC. */
TEST(PassRules, ProcessorStatesC1HasNoUnsupported)
{
    EXPECT_EQ(Walk(PASS_CPU, {0, 0, 0, 0, 2, 2, 0, 0, 0, 0}), (std::vector<std::string>{
        "? #2005", "1 Running the \"#2004\" test.\r\n", "IOCTL_SET_CPU_STATE 1",
        "1 The \"#2006\" test is not supported on this machine.\r\n",
        "3 The \"#2008\" test was skipped...\r\n"}));
    EXPECT_EQ(Walk(PASS_CPU, {0, 0, 0, 0, 1, 1, 1, 0, 0, 0}, "YNY"), (std::vector<std::string>{
        "? #2005", "1 Running the \"#2004\" test.\r\n", "IOCTL_SET_CPU_STATE 1",
        "? #2007", "3 The \"#2006\" test was skipped...\r\n",
        "? #2009", "1 Running the \"#2008\" test.\r\n", "IOCTL_SET_CPU_STATE 3"}));
}

TEST(PassRules, SleepStatesAskTheirVerdictWhateverItsAnswer)
{
    /* S2 at 7 runs like 1; No to the S1 verdict changes nothing. */
    EXPECT_EQ(Walk(PASS_SYSTEM, {1, 7, 2, 1, 0, 0, 0, 0, 0, 0}, "YN"), (std::vector<std::string>{
        "? #2011", "1 Running the \"#2010\" test.\r\n", "IOCTL_SET_SLEEP_STATE 2", "? #2012",
        "? #2014", "1 Running the \"#2013\" test.\r\n", "IOCTL_SET_SLEEP_STATE 3", "? #2015",
        "1 The \"#2016\" test is not supported on this machine.\r\n"}));
}

TEST(PassRules, FanOnThenOffFromOneEntry)
{
    EXPECT_EQ(Walk(PASS_FAN, {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, "NY"), (std::vector<std::string>{
        "? #2020", "3 The \"#2019\" test was skipped...\r\n",
        "? #2023", "1 Running the \"#2022\" test.\r\n", "IOCTL_SET_FAN 0", "? #2024"}));
    EXPECT_EQ(Walk(PASS_FAN, {0, 0, 0, 0, 0, 0, 0, 2, 0, 0}), (std::vector<std::string>{
        "1 The \"#2019\" test is not supported on this machine.\r\n",
        "1 The \"#2022\" test is not supported on this machine.\r\n"}));
}

TEST(PassRules, ThrottlingIsOneQuestionForNineRequests)
{
    EXPECT_EQ(Walk(PASS_THROTTLE, {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}), (std::vector<std::string>{"? #2026",
        "1 Running the \"#2025 to 10%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 10",
        "1 Running the \"#2025 to 20%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 20",
        "1 Running the \"#2025 to 30%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 30",
        "1 Running the \"#2025 to 40%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 40",
        "1 Running the \"#2025 to 50%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 50",
        "1 Running the \"#2025 to 60%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 60",
        "1 Running the \"#2025 to 70%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 70",
        "1 Running the \"#2025 to 80%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 80",
        "1 Running the \"#2025 to 90%\" test.\r\n", "IOCTL_SET_DUTY_CYCLE 90"}));
    EXPECT_EQ(Walk(PASS_THROTTLE, {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, "N"),
              (std::vector<std::string>{"? #2026", "3 The \"#2025\" tests were skipped...\r\n"}));
    EXPECT_EQ(Walk(PASS_THROTTLE, {0, 0, 0, 0, 0, 0, 0, 0, 2, 0}),
              (std::vector<std::string>{"1 The \"#2025\" tests are not supported on this machine.\r\n"}));
}

TEST(PassRules, S4AndRtcHaveNoStep)
{
    for (PassStep step : {PASS_CPU, PASS_SYSTEM, PASS_FAN, PASS_THROTTLE})
        for (const std::string &event : Walk(step, {0, 0, 0, 1, 0, 0, 0, 0, 0, 1}))
            EXPECT_EQ(event.substr(0, 2), "3 ") << event;
}
