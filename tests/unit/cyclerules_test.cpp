/* VMTCYCLE.EXE's rules: the alarm ahead across the calendar, the switches, a cycle's verdict, the summary and the report's escaping. */
#include "cycle/judgerules.h"
#include "cycle/junitrules.h"
#include "driver/calendar.h"
#include "pages/rtcrules.h"
#include <gtest/gtest.h>
#include <vector>

TEST(CycleRules, TheAlarmAheadRollsTheDateOver)
{
    struct Row { RtcLocalTime now; unsigned long wake; const char *alarm; } rows[] = {
        {{{2026, 12, 6, 0}, 23, 59, 50, 0}, 10, "2026-12-07 00:00:00 weekday 1, 10000 ms ahead"},     /* midnight */
        {{{2026, 4, 30, 0}, 23, 59, 59, 250}, 30, "2026-05-01 00:00:30 weekday 5, 30750 ms ahead"},   /* month end */
        {{{2028, 2, 28, 0}, 23, 0, 0, 0}, 3600, "2028-02-29 00:00:00 weekday 2, 3600000 ms ahead"},   /* leap day */
        {{{2100, 2, 28, 0}, 18, 0, 0, 0}, 21600, "2100-03-01 00:00:00 weekday 1, 21600000 ms ahead"},
        {{{2000, 2, 28, 0}, 23, 59, 59, 0}, 1, "2000-02-29 00:00:00 weekday 2, 1000 ms ahead"},
        {{{2026, 12, 31, 0}, 23, 59, 59, 999}, 1, "2027-01-01 00:00:01 weekday 5, 1001 ms ahead"},   /* year end */
    };
    for (const Row &r : rows) {
        unsigned long ms = 0;
        RTC_ALARM_TIME a = RtcAlarmAfter(&r.now, r.wake, &ms);
        char got[64];
        snprintf(got, sizeof got, "%04u-%02u-%02u %02u:%02u:%02u weekday %u, %lu ms ahead", a.Year, a.Month, a.Day,
                 a.Hour, a.Minute, a.Second, a.Weekday, ms);
        EXPECT_STREQ(got, r.alarm);
    }
    std::string days;   /* 2026 month by month, then February of 2028, 2100 and 2000 */
    for (uint32_t m = 1; m <= 15; m++)
        days += std::to_string(CalendarMonthDays(m <= 12 ? 2026 : m == 13 ? 2028 : m == 14 ? 2100 : 2000, m <= 12 ? m : 2)) + " ";
    EXPECT_EQ(days, "31 28 31 30 31 30 31 31 30 31 30 31 29 28 29 ");
}

TEST(CycleRules, Switches)
{
    struct Row { std::vector<const char *> args; const char *got; } rows[] = {
        {{"/sleep:S3", "/count:10", "/wake:30"}, "S3 10 30 5 60 - -"}, {{"/count:1", "-?"}, "help"},
        {{"-JUnit:b", "/DELAY:0", "/tolerance:3600", "/log:a", "-Sleep:s4", "/count:10000", "/wake:86399"}, "S4 10000 86399 0 3600 a b"},
        {{"/wake:30", "/count:x", "-?"}, "bad value in \"/count:x\": /count takes 1 to 10000"}, {{"/count:2", "-COUNT:2"}, "/count given twice"},
        {{"/count:0"}, "bad value in \"/count:0\": /count takes 1 to 10000"}, {{"/log:"}, "bad value in \"/log:\": /log takes a file name"},
        {{"/count:4294967297"}, "bad value in \"/count:4294967297\": /count takes 1 to 10000"}, {{"/sleeps:S3"}, "unknown switch \"/sleeps:S3\""},
        {{"/sleep:S5"}, "bad value in \"/sleep:S5\": /sleep takes S1 to S4"}, {{"/sleep:S3", "/count:1"}, "/wake is missing"},
        {{"/wake:86400"}, "bad value in \"/wake:86400\": /wake takes 1 to 86399"}, {{"/tolerance"}, "bad value in \"/tolerance\": /tolerance takes 1 to 3600"},
    };
    for (Row &r : rows) {
        r.args.insert(r.args.begin(), "VMTCYCLE");
        CycleOptions o;
        char got[CYCLE_LINE_SIZE] = "";
        CycleParse result = CycleParseSwitches((int)r.args.size(), r.args.data(), &o, got, sizeof got);
        if (result != CYCLE_BAD_SWITCH)
            snprintf(got, sizeof got, result == CYCLE_HELP ? "help" : "S%u %u %u %u %u %s %s", o.sleep, o.count,
                     o.wake, o.delay, o.tolerance, o.log ? o.log : "-", o.junit ? o.junit : "-");
        EXPECT_STREQ(got, r.got);
    }
}

TEST(CycleRules, TheVerdictTheSummaryAndTheReport)
{
    const RTC_ALARM_TIME set = {2026, 12, 31, 23, 59, 59, 0, 4}, next = {2027, 1, 1, 0, 0, 0, 0, 5},
                         apart = {2027, 1, 1, 0, 0, 1, 0, 5};
    struct Row { RTC_ALARM_TIME read; unsigned long bytes, sleptMs; CycleVerdict v; } rows[] = {
        {next, 16, 29000, CYCLE_PASS}, {set, 16, 28999, CYCLE_WOKE_EARLY}, {set, 16, 90000, CYCLE_PASS},
        {set, 16, 90001, CYCLE_WOKE_LATE}, {apart, 16, 30000, CYCLE_ALARM_DIFFERS}, {set, 15, 30000, CYCLE_ALARM_DIFFERS}};
    for (const Row &r : rows) {
        CycleResult c = {2, set, r.read, r.bytes, true, r.sleptMs, 30000, NULL, 0, ""};
        EXPECT_EQ(CycleJudge(&c, 60), r.v) << r.sleptMs;
        c.failedRequest = "IOCTL_SET_SLEEP_STATE";
        EXPECT_EQ(CycleJudge(&c, 60), CYCLE_REQUEST_FAILED) << r.sleptMs;
    }
    CycleResult c = {2, set, apart, 16, false, 0, 0, NULL, 0, ""};
    const CycleOptions o = {3, 9, 30, 5, 60, NULL, NULL};
    char line[CYCLE_LINE_SIZE];
    CycleLine(line, sizeof line, &o, &c, CYCLE_ALARM_DIFFERS);
    EXPECT_STREQ(line, "cycle 2 of 9: S3, not slept: fail: the alarm read back, 2027-01-01 00:00:01, is not the one set, 2026-12-31 23:59:59");
    EXPECT_EQ(CycleLine(line, 20, &o, &c, CYCLE_ALARM_DIFFERS), 19);   /* cut short */
    EXPECT_TRUE(CycleStateSupported(4, 0) && CycleStateSupported(2, ACPI_CAP_S2));   /* S4 has no bit */
    EXPECT_FALSE(CycleStateSupported(3, ACPI_CAP_ALL & ~ACPI_CAP_S3));
    /* The summary of three cycles, one not slept, and the report's escaping. */
    CycleTally t = {};
    const CycleOptions nine = {1, 9, 2, 0, 60, NULL, NULL};
    for (unsigned long ms : {2049ul, 0ul, 1550ul}) {
        const CycleResult r = {0, {}, {}, 0, ms != 0, ms, 0, NULL, 0, ""};
        CycleCount(&t, &r, ms == 2049 ? CYCLE_PASS : CYCLE_WOKE_EARLY);
    }
    char buf[JUNIT_PART_SIZE];
    CycleSummary(buf, sizeof buf, &nine, &t);
    EXPECT_STREQ(buf, "summary: 3 of 9 cycles run, 1 passed, 2 failed, longest wake 2.0 s, shortest wake 1.6 s");
    EXPECT_EQ(CycleExitCode(&t), CYCLE_EXIT_FAILED);
    EXPECT_EQ(XmlEscape(buf, sizeof buf, "a<b & \"c\" 'd'>\x7f\xe9\n"), 47);
    EXPECT_STREQ(buf, "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;???");
    EXPECT_EQ(XmlEscape(buf, 7, "a&b"), -1);   /* "a&amp;b" and its NUL need 8 */
    EXPECT_EQ(JUnitCase(buf, 80, "VMTCYCLE.S3", "cycle 1", 2000, "woke early", "cycle 1 of 9: ..."), -1);
    JUnitStart(buf, sizeof buf, "S&3", 3, 1, 8035);
    EXPECT_STREQ(buf, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<testsuite name=\"S&amp;3\" tests=\"3\" failures=\"1\" errors=\"0\" time=\"8.035\">\n");
    JUnitCase(buf, sizeof buf, "S3", "cycle 1", 2050, NULL, NULL);
    EXPECT_STREQ(buf, "  <testcase classname=\"S3\" name=\"cycle 1\" time=\"2.050\"/>\n");
}
