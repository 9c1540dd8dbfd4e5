/* The host backend's readers of Linux power-management files, and the clock
   arithmetic behind the wake alarm: whatever a sysfs file holds, a reader
   stays inside its buffers and answers only what the text says.
   Input: the file text (up to a NUL), a word (up to a NUL), two buffer
   sizes (a byte each), the C-state asked for (a byte), a divisor (32
   bits), an alarm record (8 x 16 bits, each held to its range), the zone's
   bias and daylight bias (a byte each, in quarter hours) and its two
   change rules (month, weekday, week, hour: a byte each), and the clock's
   seconds since 1980 (32 bits). */
#include "standin-driver/hostrules.h"
#include "standin-driver/textrules.h"
#include "fuzz.h"
#include <array>
#include <memory>
#include <vector>

static std::string FirstLineOf(const std::string &text)
{
    return text.substr(0, text.find('\n'));
}

static void CheckLineReaders(const std::string &text, const std::string &word, size_t lineSize,
                             size_t outSize)
{
    std::unique_ptr<char[]> line(new char[lineSize]);
    std::string first = FirstLineOf(text);
    bool whole = text.empty() || text.find('\n') != std::string::npos;
    int got = HostFirstLine(text.c_str(), line.get(), lineSize);
    FUZZ_CHECK(got == (whole && first.size() < lineSize));
    if (got)
        FUZZ_CHECK(first == line.get());

    if (HostHasWord(text.c_str(), word.c_str()))
        FUZZ_CHECK(text.find(word) != std::string::npos);

    std::unique_ptr<char[]> out(new char[outSize]);
    if (HostSelected(text.c_str(), out.get(), outSize)) {
        std::string chosen = out.get();
        FUZZ_CHECK(!chosen.empty() && chosen.size() < outSize);
        FUZZ_CHECK(text.find("[" + chosen + "]") != std::string::npos);
        FUZZ_CHECK(HostHasWord(text.c_str(), chosen.c_str()));
    }
}

static void CheckNumbers(const std::string &text, uint32_t divisor)
{
    uint64_t value = 0;
    if (HostParseNumber(text.c_str(), &value)) {
        std::string digits = FirstLineOf(text);
        digits.erase(0, digits.find_first_not_of('0'));
        FUZZ_CHECK((digits.empty() ? std::string("0") : digits) == std::to_string(value));
        uint32_t remainder = 0;
        uint64_t quotient = AcpiSimDivide(value, divisor | 1, &remainder);
        FUZZ_CHECK(remainder < (divisor | 1));
        FUZZ_CHECK(quotient * (divisor | 1) + remainder == value);
    }

    /* A list read back from the set it gave is the same set. */
    uint8_t set[HOST_MAX_CPUS / 8], again[HOST_MAX_CPUS / 8];
    if (HostParseCpuList(text.c_str(), set)) {
        std::string list;
        for (uint32_t cpu = 0; cpu < HOST_MAX_CPUS; cpu++)
            if (set[cpu / 8] & (1u << (cpu % 8)))
                list += (list.empty() ? "" : ",") + std::to_string(cpu);
        FUZZ_CHECK(HostParseCpuList((list + "\n").c_str(), again));
        FUZZ_CHECK(memcmp(set, again, sizeof set) == 0);
    }
}

/* The idle states are the text's lines, as the cpuidle folders name them. */
static void CheckIdleMap(const std::string &text, const std::string &driver, uint8_t n)
{
    std::vector<std::array<char, 24>> names;
    for (size_t at = 0; at <= text.size() && names.size() < HOST_MAX_IDLE_STATES;) {
        size_t end = text.find('\n', at);
        std::string name = text.substr(at, end == std::string::npos ? end : end - at);
        std::array<char, 24> entry{};
        memcpy(entry.data(), name.data(), name.size() < 23 ? name.size() : 23);
        names.push_back(entry);
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    int k = HostMapIdleState(driver.c_str(), (const char(*)[24])names.data()->data(),
                             (uint32_t)names.size(), n % 5);
    FUZZ_CHECK(k >= -1 && k < (int)names.size());
    if (n % 5 < 1 || n % 5 > 3)
        FUZZ_CHECK(k == -1);
    if (k >= 0)
        FUZZ_CHECK(strcmp(names[(size_t)k].data(), "POLL") != 0);
}

static uint16_t InRange(uint16_t v, uint16_t lo, uint16_t hi)
{
    return (uint16_t)(lo + v % (hi - lo + 1));
}

static void CheckClock(FuzzInput &in)
{
    RTC_ALARM_TIME alarm;
    alarm.Year = InRange(in.Take<uint16_t>(), 1980, 2099);
    alarm.Month = InRange(in.Take<uint16_t>(), 1, 12);
    alarm.Day = InRange(in.Take<uint16_t>(), 1, 28);
    alarm.Hour = InRange(in.Take<uint16_t>(), 0, 23);
    alarm.Minute = InRange(in.Take<uint16_t>(), 0, 59);
    alarm.Second = InRange(in.Take<uint16_t>(), 0, 59);
    alarm.Milliseconds = InRange(in.Take<uint16_t>(), 0, 999);
    alarm.Weekday = InRange(in.Take<uint16_t>(), 0, 6);

    /* A record comes back as it went in, its weekday made right. */
    RTC_ALARM_TIME back;
    int64_t seconds = HostRecordToSeconds(&alarm);
    HostSecondsToRecord(seconds, &back);
    FUZZ_CHECK(back.Year == alarm.Year && back.Month == alarm.Month && back.Day == alarm.Day);
    FUZZ_CHECK(back.Hour == alarm.Hour && back.Minute == alarm.Minute && back.Second == alarm.Second);
    FUZZ_CHECK(back.Milliseconds == 0 && back.Weekday < 7);
    HostSecondsToRecord(seconds + 86400, &back);
    RTC_ALARM_TIME today;
    HostSecondsToRecord(seconds, &today);
    FUZZ_CHECK(back.Weekday == (today.Weekday + 1) % 7);

    /* Zones as the world has them: -12..+14 hours, daylight 0 to 2 hours
       ahead, yearly changes on a weekday of a week of a month. */
    HOST_CLOCK now;
    memset(&now, 0, sizeof now);
    now.Zone.Bias = -15 * (int32_t)(in.Take<uint8_t>() % 105) + 720;
    now.Zone.DaylightBias = -15 * (int32_t)(in.Take<uint8_t>() % 9);
    HOST_ZONE_DATE *rules[2] = {&now.Zone.DaylightDate, &now.Zone.StandardDate};
    for (HOST_ZONE_DATE *r : rules) {
        r->Month = in.Take<uint8_t>() % 13;
        r->DayOfWeek = in.Take<uint8_t>() % 7;
        r->Day = 1 + in.Take<uint8_t>() % 5;
        r->Hour = in.Take<uint8_t>() % 24;
    }
    const RTC_ALARM_TIME start = {1980, 1, 1, 0, 0, 0, 0, 0};
    now.Utc = HostRecordToSeconds(&start) + in.Take<uint32_t>() % (120u * 365 * 86400);

    int passed = 0;
    int64_t fires = 0;
    int64_t delay = HostAlarmDelay(&now, &alarm, &passed, &fires);
    FUZZ_CHECK(delay > 0);
    FUZZ_CHECK(fires == HostUtcToLocal(&now.Zone, now.Utc + delay));
    if (passed) {
        /* The next time that time of day comes round: within three days,
           at that time of day unless a change of the clocks skipped it. */
        FUZZ_CHECK(delay <= 3 * 86400);
        FUZZ_CHECK(seconds <= HostUtcToLocal(&now.Zone, now.Utc) + 2 * 3600);
    } else {
        /* At that time, or, when the clocks skip it, as much later as they skip. */
        FUZZ_CHECK(fires >= seconds && fires - seconds <= 2 * 3600);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    std::string text = in.Text();
    std::string word = in.Text();
    size_t lineSize = 1 + in.Take<uint8_t>() % 64;
    size_t outSize = 1 + in.Take<uint8_t>() % 32;
    uint8_t n = in.Take<uint8_t>();
    uint32_t divisor = in.Take<uint32_t>();

    CheckLineReaders(text, word, lineSize, outSize);
    CheckNumbers(text, divisor);
    CheckIdleMap(text, word, n);
    CheckClock(in);
    return 0;
}
