/* The host backend's rules that need no machine: the readers of sysfs text, the idle states that
   stand for C1 to C3, and the zone and alarm arithmetic. */
#include "standin-driver/hostrules.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <sstream>

namespace {

/* Seconds as "Y,M,D,h,m,s,ms,weekday"; a record from "Y,M,D,h,m,s". */
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

}  // namespace

/* l: the first line into ARG bytes; w: whether ARG is a word; s: the bracketed word into ARG bytes;
   n: a number; c: a CPU list, its CPUs.  out null: the reader says no. */
TEST(HostText, ReadersOfSysfsTextAndTheIdleStatesForC1C2C3)
{
    const struct { char reader; const char *text, *arg, *out; } rows[] = {
        {'l', "s2idle [deep]\n", "14", "s2idle [deep]"}, {'l', "s2idle [deep]\n", "13", nullptr}, {'l', "s2idle [de", "64", nullptr},
        {'w', " freeze\tmem\rdisk\n", "mem", ""}, {'w', "freeze memory disk", "mem", nullptr}, {'s', "s2idle [deep]", "5", "deep"},
        {'s', "[platform] shutdown", "8", nullptr}, {'n', "18446744073709551615", "", "18446744073709551615"}, {'n', "18446744073709551616", "", nullptr},
        {'n', "0x10", "", nullptr}, {'c', "0-3,5,7-9\n", "", "0 1 2 3 5 7 8 9"}, {'c', "\n", "", ""}, {'c', "3-1", "", nullptr}, {'c', "0-1024", "", nullptr},
        {'c', "0,", "", nullptr},
    };
    for (const auto &row : rows) {
        size_t size = (size_t)std::atoi(row.arg);
        std::unique_ptr<char[]> out(new char[std::max<size_t>(size, 1)]());   /* exactly the size handed over: ASan sees one more */
        uint64_t v = 0;
        std::vector<uint8_t> set(HOST_MAX_CPUS / 8, 0xFF);   /* every CPU in it before: the reader clears them */
        int ok = row.reader == 'l' ? HostFirstLine(row.text, out.get(), size) : row.reader == 'w' ? HostHasWord(row.text, row.arg)
               : row.reader == 's' ? HostSelected(row.text, out.get(), size) : row.reader == 'n' ? HostParseNumber(row.text, &v)
               : HostParseCpuList(row.text, set.data());
        std::string got = row.reader == 'n' ? std::to_string(v) : row.reader != 'c' ? out.get() : "";
        for (unsigned cpu = 0; row.reader == 'c' && cpu < HOST_MAX_CPUS; cpu++)
            got += set[cpu / 8] >> (cpu % 8) & 1 ? (got.empty() ? "" : " ") + std::to_string(cpu) : "";
        EXPECT_EQ(ok == 1 ? got : ok ? "?" : "(no)", row.out ? row.out : "(no)") << row.reader << " " << row.text;
    }
    /* The idle states for C0 to C4, POLL left out: acpi_idle's and the firmware's own names, else the shallowest,
       the middle one and the deepest; names beyond the sixteen the table holds are left out. */
    const struct { const char *driver, *names, *map; } idle[] = {
        {"intel_idle", "POLL C1 C1E C3 C6 C8 C10", "-1 1 3 6 -1"}, {"intel_idle", "POLL C1 C6", "-1 1 -1 2 -1"},
        {"intel_idle", "POLL C1_ACPI C3_ACPI", "-1 1 -1 2 -1"}, {"acpi_idle", "C3 C2 C1", "-1 2 1 0 -1"},
        {"intel_idle", "POLL C1 C1E C3 C6 C7 C8 C9 C10 C11 C12 C13 C14 C15 C16 C17 C18", "-1 1 8 15 -1"},
    };
    for (const auto &row : idle) {
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

/* From UTC to local time (l) or back (u: twice 02:30 in October gives the first); an alarm's delay from UTC
   (a: one not in the future fires the next time its time of day comes): delay, passed, local time it fires. */
TEST(HostTime, ZonesAndAlarmsAroundTheClockChanges)
{
    /* b: CEST from the last Sunday of March 2:00 to that of October 3:00 */
    const HOST_ZONE b = { -60, 0, -60, { 0, 10, 0, 5, 3, 0, 0, 0 }, { 0, 3, 0, 5, 2, 0, 0, 0 } }, utc = {},
                    lastFebruary = { -600, 0, -60, { 0, 2, 0, 5, 3, 0, 0, 0 }, { 0, 10, 0, 1, 2, 0, 0, 0 } };
    const struct { const HOST_ZONE *zone; char op; const char *from, *alarm, *want; } rows[] = {
        {&b, 'l', "2026,3,29,0,59,59", "", "2026,3,29,1,59,59,0,0"}, {&b, 'l', "2026,3,29,1,0,0", "", "2026,3,29,3,0,0,0,0"},
        {&lastFebruary, 'l', "2032,2,25,0,0,0", "", "2032,2,25,11,0,0,0,3"}, {&b, 'u', "2026,10,25,2,30,0", "", "2026,10,25,0,30,0,0,0"},
        {&utc, 'a', "2026,12,6,15,59,0", "2026,12,6,15,59,0", "86400 1 2026,12,7,15,59,0,0,1"},
        {&b, 'a', "2026,3,28,12,0,0", "2026,3,28,12,0,0", "79200 1 2026,3,29,12,0,0,0,0"}, /* passed, then spring forward */
        {&b, 'a', "2026,10,24,10,0,0", "2026,10,25,12,0,0", "90000 0 2026,10,25,12,0,0,0,0"}, /* over fall back */
        {&b, 'a', "2026,3,28,11,0,0", "2026,3,29,2,30,0", "52200 0 2026,3,29,3,30,0,0,0"}, /* in the skipped hour */
    };
    for (const auto &row : rows) {
        RTC_ALARM_TIME from = Record(row.from), alarm = Record(row.alarm);
        HOST_CLOCK clock = { HostRecordToSeconds(&from), *row.zone };
        int passed = -1;
        int64_t fires = 0, delay = row.op == 'a' ? HostAlarmDelay(&clock, &alarm, &passed, &fires) : 0;
        EXPECT_EQ(row.op == 'a' ? std::to_string(delay) + " " + std::to_string(passed) + " " + Civil(fires)
                                : Civil((row.op == 'u' ? HostLocalToUtc : HostUtcToLocal)(row.zone, clock.Utc)), row.want) << row.from;
    }
}
