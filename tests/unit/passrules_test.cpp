/* The pass walked with scripted answers: every box, log line with its level
   and request, in order, for each kind of entry and answer. */
#include "testpass/passrules.h"
#include "driver/acpiioctl.h"
#include "res/resource.h"
#include <gtest/gtest.h>

namespace {

/* Texts are "#<id>"; events "box <text>", "<level> <line>", "req <code> <value>". */
struct ScriptedOperator : PassOperator {
    std::string answers;   /* Y or N for each box in turn, Yes once they run out */
    size_t asked = 0;
    std::vector<std::string> events;
    void LoadText(int id, char *buf, int size) override { snprintf(buf, size, "#%d", id); }
    bool AskYes(const char *text) override
    {
        events.push_back(std::string("box ") + text);
        return asked >= answers.size() || answers[asked++] == 'Y';
    }
    void Log(int level, const char *line) override { events.push_back(std::to_string(level) + " " + line); }
    void Request(uint32_t code, uint32_t value) override
    {
        events.push_back("req " + std::string(AcpiIoctlName(code)) + " " + std::to_string(value));
    }
};

/* The nine tests in pass order: name id (prompt id + 1, verdict id + 2), request, value (the group: 10 to 90). */
const struct { int name; bool verdict; const char *code; int value; } kTests[] = {
    {IDS_C1_NAME, false, "CPU_STATE", 1}, {IDS_C2_NAME, false, "CPU_STATE", 2}, {IDS_C3_NAME, false, "CPU_STATE", 3},
    {IDS_S1_NAME, true, "SLEEP_STATE", 2}, {IDS_S2_NAME, true, "SLEEP_STATE", 3}, {IDS_S3_NAME, true, "SLEEP_STATE", 4},
    {IDS_FANON_NAME, true, "FAN", 1}, {IDS_FANOFF_NAME, true, "FAN", 0}, {IDS_THROTTLE_NAME, false, "DUTY_CYCLE", 10},
};

/* The events of a pass whose tests end as the letters say: Y asked and run,
   N asked and answered No, 0 skipped by its entry, U not supported. */
std::vector<std::string> Expected(const char *outcome)
{
    std::vector<std::string> ev;
    for (const auto &t : kTests) {
        bool group = t.name == IDS_THROTTLE_NAME;
        char o = *outcome++;
        std::string id = "#" + std::to_string(t.name), name = "\"" + id + (group ? "\" tests " : "\" test ");
        if (o == 'Y' || o == 'N')
            ev.push_back("box #" + std::to_string(t.name + 1));
        if (o != 'Y')
            ev.push_back(o == 'U' ? "1 The " + name + (group ? "are" : "is") + " not supported on this machine.\r\n"
                                  : "3 The " + name + (group ? "were" : "was") + " skipped...\r\n");
        for (int v = t.value; o == 'Y' && v <= (group ? 90 : t.value); v += 10) {
            ev.push_back("1 Running the \"" + id + (group ? " to " + std::to_string(v) + "%" : "") + "\" test.\r\n");
            ev.push_back("req IOCTL_SET_" + std::string(t.code) + " " + std::to_string(v));
        }
        if (o == 'Y' && t.verdict)
            ev.push_back("box #" + std::to_string(t.name + 2));
    }
    return ev;
}

} // namespace

TEST(TestPass, ScriptedPassesGiveTheirBoxesLinesAndRequests)
{
    const struct { const char *what; std::vector<uint8_t> table; const char *answers, *outcome; } cases[] = {
        {"every entry 0; S4 and RTC at 1 add nothing", {0, 0, 0, 1, 0, 0, 0, 0, 0, 1}, "", "000000000"},
        {"every answer Yes; 3 and other values run like 1; S4 and RTC at 0", {3, 7, 255, 0, 1, 128, 4, 3, 9, 0}, "", "YYYYYYYYY"},
        {"No to the C2 prompt", std::vector<uint8_t>(SEL_COUNT, 1), "YN", "YNYYYYYYY"},
        {"No to the S1 verdict", {1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, "YNY", "000YY0000"},
        {"No to the group prompt", {0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, "N", "00000000N"},
        {"C1 at 2 runs, the others at 2 do not", {0, 2, 0, 0, 2, 2, 0, 2, 2, 0}, "", "YU00U0UUU"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedOperator op;
        op.answers = c.answers;
        for (PassStep step : {PASS_CPU, PASS_SYSTEM, PASS_FAN, PASS_THROTTLE})
            RunPassStep(step, c.table.data(), op);
        EXPECT_EQ(op.events, Expected(c.outcome));
    }
}
