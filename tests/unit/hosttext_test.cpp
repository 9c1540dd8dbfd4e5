/* The host backend's rules that need no machine: the readers of sysfs text, the statuses, the idle
   states that stand for C1 to C3, and the calendar, zone and alarm arithmetic. */
#include "tests/unit/fakehost.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <sstream>

namespace {

std::string Civil(int64_t seconds)
{
    RTC_ALARM_TIME t;
    char s[64];
    HostSecondsToRecord(seconds, &t);
    std::snprintf(s, sizeof s, "%u,%u,%u,%u,%u,%u,%u,%u", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Milliseconds, t.Weekday);
    return s;
}

RTC_ALARM_TIME Record(const char *text)
{
    RTC_ALARM_TIME t = {};
    std::sscanf(text, "%hu,%hu,%hu,%hu,%hu,%hu", &t.Year, &t.Month, &t.Day, &t.Hour, &t.Minute, &t.Second);
    return t;
}

int64_t Seconds(const char *text) { RTC_ALARM_TIME t = Record(text); return HostRecordToSeconds(&t); }

}  // namespace

/* l: the first line into ARG bytes; w: whether ARG is a word; s: the bracketed word into ARG bytes;
   n: a number; c: a CPU list, its CPUs.  out null: the reader says no.  Then each status of a file
   access, and the one the program gets. */
TEST(HostText, ReadersOfSysfsTextAndStatuses)
{
    const struct { char reader; const char *text, *arg, *out; } rows[] = {
        {'l', "s2idle [deep]\n", "14", "s2idle [deep]"}, {'l', "s2idle [deep]\n", "13", nullptr}, {'l', "", "1", ""}, {'l', "0\n5\n", "2", "0"},
        {'l', "s2idle [de", "64", nullptr}, {'w', "s2idle [deep]", "deep", ""}, {'w', " freeze\tmem\rdisk\n", "mem", ""},
        {'w', "freeze memory disk", "mem", nullptr}, {'w', "[s2idle] deeper", "deep", nullptr}, {'s', "s2idle [deep]", "5", "deep"},
        {'s', "[platform] shutdown", "8", nullptr}, {'s', "s2idle deep", "9", nullptr}, {'s', "[] [deep]", "9", nullptr},
        {'n', "1830123\n", "", "1830123"}, {'n', "0", "", "0"}, {'n', "9\n", "", "9"}, {'n', "18446744073709551615", "", "18446744073709551615"},
        {'n', "18446744073709551616", "", nullptr}, {'n', "", "", nullptr}, {'n', "12 ", "", nullptr}, {'n', "0x10", "", nullptr},
        {'c', "0-3,5,7-9\n", "", "0 1 2 3 5 7 8 9"}, {'c', "1023", "", "1023"}, {'c', "\n", "", ""}, {'c', "3-1", "", nullptr},
        {'c', "0-1024", "", nullptr}, {'c', "0,", "", nullptr}, {'c', "a", "", nullptr}, {'c', "0-3 ", "", nullptr},
    };
    for (const auto &row : rows) {
        size_t size = (size_t)std::atoi(row.arg);
        std::unique_ptr<char[]> out(new char[std::max<size_t>(size, 1)]());   /* exactly the size handed over: ASan sees one more */
        uint64_t v = 0;
        uint8_t set[HOST_MAX_CPUS / 8];
        int ok = row.reader == 'l' ? HostFirstLine(row.text, out.get(), size) : row.reader == 'w' ? HostHasWord(row.text, row.arg)
               : row.reader == 's' ? HostSelected(row.text, out.get(), size) : row.reader == 'n' ? HostParseNumber(row.text, &v)
               : HostParseCpuList(row.text, set);
        std::string got = row.reader == 'n' ? std::to_string(v) : row.reader != 'c' ? out.get() : "";
        for (unsigned cpu = 0; row.reader == 'c' && cpu < HOST_MAX_CPUS; cpu++)
            got += set[cpu / 8] >> (cpu % 8) & 1 ? (got.empty() ? "" : " ") + std::to_string(cpu) : "";
        EXPECT_EQ(ok == 1 ? got : ok ? "?" : "(no)", row.out ? row.out : "(no)") << row.reader << " " << row.text;
    }
    const uint32_t statuses[][2] = {
        {0xC000003A, 0xC00000BB}, {0xC000000E, 0xC00000BB}, {0xC0000002, 0xC00000BB}, {0xC00000BA, 0xC00000BB}, {0xC0000010, 0xC00000BB},
        {0xC0000043, 0x80000011}, {0xC000000D, 0xC000000D}, {0x00000103, 0xC0000185},
    };
    for (const auto &row : statuses)
        EXPECT_EQ(HostStatus(row[0]), row[1]) << std::hex << row[0];
}

/* For C0 to C4, POLL left out: acpi_idle's and the firmware's own names, else the shallowest, the
   middle one and the deepest; names beyond the sixteen the table holds are left out. */
TEST(HostText, IdleStatesThatStandForC1C2C3)
{
    const struct { const char *driver, *names, *map; } rows[] = {
        {"intel_idle", "POLL C1 C1E C3 C6 C8 C10", "-1 1 3 6 -1"}, {"intel_idle", "POLL C1 C1E C6", "-1 1 2 3 -1"},
        {"intel_idle", "POLL C1 C6", "-1 1 -1 2 -1"}, {"intel_idle", "POLL", "-1 -1 -1 -1 -1"}, {"intel_idle", "POLL C1_ACPI C3_ACPI", "-1 1 -1 2 -1"},
        {"acpi_idle", "C3 C2 C1", "-1 2 1 0 -1"}, {"intel_idle", "POLL C1 C1E C3 C6 C7 C8 C9 C10 C11 C12 C13 C14 C15 C16 C17 C18", "-1 1 8 15 -1"},
    };
    for (const auto &row : rows) {
        char names[HOST_MAX_IDLE_STATES][HOST_IDLE_NAME_CHARS] = {};
        uint32_t count = 0;
        std::istringstream in(row.names);
        for (std::string name; in >> name; count++)
            name.copy(names[count % HOST_MAX_IDLE_STATES], count < HOST_MAX_IDLE_STATES ? HOST_IDLE_NAME_CHARS - 1 : 0);
        std::string map;
        for (uint32_t n = 0; n <= 4; n++)
            map += (n ? " " : "") + std::to_string(HostMapIdleState(row.driver, names, count, n));
        EXPECT_EQ(map, row.map) << row.names;
    }
}

/* A record as seconds since 1601, and seconds (plus some) as the record with its weekday. */
TEST(HostTime, CalendarAndWeekdays)
{
    const struct { const char *record; int64_t seconds, plus; const char *civil; } rows[] = {
        {"1601,1,1,0,0,0", 0, 0, "1601,1,1,0,0,0,0,1"}, {"1970,1,1,0,0,0", 11644473600, 0, "1970,1,1,0,0,0,0,4"},
        {"2000,2,28,0,0,0", 12596169600, 86400, "2000,2,29,0,0,0,0,2"}, {"2000,2,28,0,0,0", 12596169600, 172800, "2000,3,1,0,0,0,0,3"},
        {"2100,2,28,12,0,0", 15751972800, 86400, "2100,3,1,12,0,0,0,1"}, {"2100,3,1,12,0,0", 15752059200, -86400, "2100,2,28,12,0,0,0,0"},
        {"2026,3,31,23,0,0", 13419471600, 0, "2026,3,31,23,0,0,0,2"}, {"2026,4,31,8,0,0", 13422096000, 0, "2026,5,1,8,0,0,0,5"},
        {"2026,8,31,0,0,0", 13432608000, 0, "2026,8,31,0,0,0,0,1"}, {"2026,12,6,15,5,9", 13441043109, 0, "2026,12,6,15,5,9,0,0"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(std::to_string(Seconds(row.record)) + " " + Civil(row.seconds + row.plus), std::to_string(row.seconds) + " " + row.civil);
}

/* From UTC to local time, or (toUtc) back: twice 02:30 in October gives the first, never in March standard time. */
TEST(HostTime, ZonesAroundTheirChanges)
{
    const HOST_ZONE b = Berlin(), sydney = { -600, 0, -60, { 0, 4, 0, 1, 3, 0, 0, 0 }, { 0, 10, 0, 1, 2, 0, 0, 0 } },
                    lastFebruary = { -600, 0, -60, { 0, 2, 0, 5, 3, 0, 0, 0 }, { 0, 10, 0, 1, 2, 0, 0, 0 } },
                    month13 = { -60, 0, -60, { 0, 13, 0, 5, 3, 0, 0, 0 }, { 0, 3, 0, 5, 2, 0, 0, 0 } };
    const struct { const HOST_ZONE *zone; bool toUtc; const char *from, *to; } rows[] = {
        {&b, false, "2026,3,29,0,59,59", "2026,3,29,1,59,59,0,0"}, {&b, false, "2026,3,29,1,0,0", "2026,3,29,3,0,0,0,0"},
        {&b, false, "2026,10,25,0,59,59", "2026,10,25,2,59,59,0,0"}, {&b, false, "2026,10,25,1,0,0", "2026,10,25,2,0,0,0,0"},
        {&sydney, false, "2026,1,15,0,0,0", "2026,1,15,11,0,0,0,4"}, {&sydney, false, "2026,7,15,0,0,0", "2026,7,15,10,0,0,0,3"},
        {&lastFebruary, false, "2026,2,25,0,0,0", "2026,2,25,10,0,0,0,3"}, {&lastFebruary, false, "2032,2,25,0,0,0", "2032,2,25,11,0,0,0,3"},
        {&month13, false, "2026,7,15,12,0,0", "2026,7,15,13,0,0,0,3"}, {&b, true, "2026,10,25,2,30,0", "2026,10,25,0,30,0,0,0"},
        {&b, true, "2026,3,29,2,30,0", "2026,3,29,1,30,0,0,0"}, {&b, true, "2026,7,1,12,0,0", "2026,7,1,10,0,0,0,3"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Civil((row.toUtc ? HostLocalToUtc : HostUtcToLocal)(row.zone, Seconds(row.from))), row.to) << row.from;
}

/* An alarm not in the future fires the next time its time of day comes: delay, passed, local time it fires. */
TEST(HostTime, AlarmDelayAcrossMonthEndsAndClockChanges)
{
    const HOST_ZONE b = Berlin(), utc = {};
    const struct { const HOST_ZONE *zone; const char *nowUtc, *alarm, *want; } rows[] = {
        {&utc, "2026,12,6,15,59,0", "2026,12,6,15,59,0", "86400 1 2026,12,7,15,59,0,0,1"},
        {&utc, "2026,1,31,23,30,0", "2026,1,31,23,0,0", "84600 1 2026,2,1,23,0,0,0,0"},
        {&utc, "2026,12,31,23,59,30", "2026,12,31,0,0,10", "40 1 2027,1,1,0,0,10,0,5"},
        {&b, "2026,3,28,12,0,0", "2026,3,28,12,0,0", "79200 1 2026,3,29,12,0,0,0,0"},      /* passed, then spring forward */
        {&b, "2026,10,24,10,0,0", "2026,10,25,12,0,0", "90000 0 2026,10,25,12,0,0,0,0"},   /* over fall back */
        {&b, "2026,3,28,11,0,0", "2026,3,29,2,30,0", "52200 0 2026,3,29,3,30,0,0,0"},      /* in the skipped hour */
        {&b, "2026,10,24,10,0,0", "2026,10,25,2,30,0", "52200 0 2026,10,25,2,30,0,0,0"},   /* in the doubled hour */
    };
    for (const auto &row : rows) {
        HOST_CLOCK clock = { Seconds(row.nowUtc), *row.zone };
        RTC_ALARM_TIME alarm = Record(row.alarm);
        int passed = -1;
        int64_t fires = 0, delay = HostAlarmDelay(&clock, &alarm, &passed, &fires);
        EXPECT_EQ(std::to_string(delay) + " " + std::to_string(passed) + " " + Civil(fires), row.want) << row.alarm;
    }
}
