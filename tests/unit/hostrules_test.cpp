/* The host backend's decisions on a fake machine: sysfs text, statuses,
   capability mask, the order of reads and writes of each request, what is
   put back (after a failure too), and alarm times across month ends and
   changes of the clocks. */
#include "tests/unit/fakehost.h"
#include "standin-driver/textrules.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

const char kCpu[] = "sys/devices/system/cpu/";
const uint32_t OK = 0, NOT_SUPPORTED = 0xC00000BB, DENIED = 0xC0000022, BUSY = 0x80000011,
               PARAM = 0xC000000D, DEVICE_ERROR = 0xC0000185;

/* One request through the driver's rules, as the program sends it. */
struct Reply {
    uint32_t status;
    std::string journal;   /* without CRLF */
    uint32_t value;
    RTC_ALARM_TIME alarm;
};

Reply Call(uint32_t code, void *buffer, uint32_t size)
{
    ACPISIM_CONFIG cfg;
    AcpiSimDefaultConfig(&cfg);
    ACPISIM_REQUEST rq{};
    rq.Code = code;
    rq.Buffer = buffer;
    rq.InputLength = rq.OutputLength = size;
    Reply r{ AcpiSimRequest(&AcpiSimHost, &cfg, &rq), rq.Journal, 0, {} };
    r.journal.resize(r.journal.size() - 2);
    return r;
}

Reply Send(uint32_t code, uint32_t value)
{
    Reply r = Call(code, &value, sizeof value);
    r.value = value;
    return r;
}

Reply SendAlarm(uint32_t code, RTC_ALARM_TIME t)
{
    Reply r = Call(code, &t, sizeof t);
    r.alarm = t;
    return r;
}

std::string Record(const RTC_ALARM_TIME &t)
{
    char s[64];
    std::snprintf(s, sizeof s, "%u,%u,%u,%u,%u,%u,%u,%u", t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second,
                  t.Milliseconds, t.Weekday);
    return s;
}

std::string Disable(unsigned cpu, unsigned state)
{
    return std::string(kCpu) + "cpu" + std::to_string(cpu) + "/cpuidle/state" + std::to_string(state) + "/disable";
}

/* Every idle state's disable flag of CPUs 0-4, "0000000 ..." per CPU. */
std::string Flags(const FakeHost &h)
{
    std::string out;
    for (unsigned cpu = 0; cpu < 5; cpu++) {
        if (cpu)
            out += ' ';
        for (unsigned k = 0; k < 7; k++)
            out += h.Text(Disable(cpu, k)).substr(0, 1);
    }
    return out;
}

/* Zones as the system gives them: Berlin, New York, Sydney. */
HOST_ZONE Berlin() { return { -60, 0, -60, { 0, 10, 0, 5, 3, 0, 0, 0 }, { 0, 3, 0, 5, 2, 0, 0, 0 } }; }
HOST_ZONE NewYork() { return { 300, 0, -60, { 0, 11, 0, 1, 2, 0, 0, 0 }, { 0, 3, 0, 2, 2, 0, 0, 0 } }; }
HOST_ZONE Sydney() { return { -600, 0, -60, { 0, 4, 0, 1, 3, 0, 0, 0 }, { 0, 10, 0, 1, 2, 0, 0, 0 } }; }

int64_t Seconds(uint16_t y, uint16_t mo, uint16_t d, uint16_t h, uint16_t mi, uint16_t s)
{
    RTC_ALARM_TIME t = { y, mo, d, h, mi, s, 0, 0 };
    return HostRecordToSeconds(&t);
}

std::string Civil(int64_t seconds)
{
    RTC_ALARM_TIME t;
    HostSecondsToRecord(seconds, &t);
    return Record(t);
}

}  // namespace

/* ---- Text ---------------------------------------------------------------- */

TEST(HostText, LinesWordsChoicesNumbersAndCpuLists)
{
    char line[16];
    EXPECT_TRUE(HostFirstLine("s2idle [deep]\n", line, sizeof line));
    EXPECT_STREQ(line, "s2idle [deep]");
    EXPECT_TRUE(HostFirstLine("", line, sizeof line));            /* empty: no alarm, no states */
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(HostFirstLine("0\n5\n", line, sizeof line));      /* a shorter value written over a longer */
    EXPECT_STREQ(line, "0");
    EXPECT_FALSE(HostFirstLine("s2idle [de", line, sizeof line)); /* cut short */
    EXPECT_FALSE(HostFirstLine("0123456789abcdefg\n", line, sizeof line));

    EXPECT_TRUE(HostHasWord("s2idle [deep]", "deep"));
    EXPECT_TRUE(HostHasWord("freeze mem disk", "mem"));
    EXPECT_FALSE(HostHasWord("freeze memory disk", "mem"));
    EXPECT_FALSE(HostHasWord("[s2idle] deeper", "deep"));
    EXPECT_FALSE(HostHasWord("", "mem"));

    char word[9];
    EXPECT_TRUE(HostSelected("s2idle [deep]", word, sizeof word));
    EXPECT_STREQ(word, "deep");
    EXPECT_TRUE(HostSelected("[platform] shutdown reboot", word, sizeof word));
    EXPECT_STREQ(word, "platform");
    EXPECT_FALSE(HostSelected("s2idle deep", word, sizeof word));
    EXPECT_FALSE(HostSelected("[] deep", word, sizeof word));
    EXPECT_FALSE(HostSelected("[toolongword]", word, sizeof word));

    uint64_t v = 7;
    EXPECT_TRUE(HostParseNumber("1830123\n", &v));
    EXPECT_EQ(v, 1830123u);
    EXPECT_TRUE(HostParseNumber("18446744073709551615", &v));
    EXPECT_EQ(v, 18446744073709551615ull);
    for (const char *bad : { "", "\n", "-1", "12 ", "0x10", "18446744073709551616", "+3" })
        EXPECT_FALSE(HostParseNumber(bad, &v)) << bad;

    uint8_t set[HOST_MAX_CPUS / 8];
    ASSERT_TRUE(HostParseCpuList("0-3,5,7-8\n", set));
    EXPECT_EQ(set[0], 0xAF);
    EXPECT_EQ(set[1], 0x01);
    ASSERT_TRUE(HostParseCpuList("1023", set));
    EXPECT_EQ(set[127], 0x80);
    EXPECT_EQ(set[0], 0);
    ASSERT_TRUE(HostParseCpuList("\n", set));
    EXPECT_EQ(set[0], 0);
    for (const char *bad : { "3-1", "0-1024", "1024", "0,", "a", "0-3 " })
        EXPECT_FALSE(HostParseCpuList(bad, set)) << bad;
}

TEST(HostText, FormatStaysInsideItsBufferAndDivisionNeedsNoHelper)
{
    char out[12];
    EXPECT_EQ(AcpiSimFormat(out, sizeof out, "%s=%u %d%%", "C1E", 42u, -7), 10u);
    EXPECT_STREQ(out, "C1E=42 -7%");
    EXPECT_EQ(AcpiSimFormat(out, sizeof out, "+%lld", 9223372036854775807ll), 11u);
    EXPECT_STREQ(out, "+9223372036");
    EXPECT_EQ(AcpiSimFormat(out, sizeof out, "%llu", 18446744073709551615ull), 11u);
    char tiny[1] = { 'x' };
    EXPECT_EQ(AcpiSimFormat(tiny, sizeof tiny, "abc"), 0u);
    EXPECT_EQ(tiny[0], 0);
    uint32_t r;
    EXPECT_EQ(AcpiSimDivide(1830123456789ull, 10000000, &r), 183012u);
    EXPECT_EQ(r, 3456789u);
}

TEST(HostText, StatusesAreTheOnesACarefulDriverGives)
{
    const struct { uint32_t access, program; } table[] = {
        { 0, OK },
        { 0xC0000034, NOT_SUPPORTED }, { 0xC000003A, NOT_SUPPORTED }, { 0xC000000E, NOT_SUPPORTED },
        { 0xC0000002, NOT_SUPPORTED }, { 0xC00000BA, NOT_SUPPORTED }, { 0xC0000010, NOT_SUPPORTED },
        { 0xC00000BB, NOT_SUPPORTED },
        { 0xC0000022, DENIED },
        { 0x80000011, BUSY }, { 0xC0000043, BUSY },
        { 0xC000000D, PARAM },
        { 0xC0000001, DEVICE_ERROR }, { 0xC00000A3, DEVICE_ERROR }, { 0xC0000185, DEVICE_ERROR },
        { 0xC0000011, DEVICE_ERROR }, { 0x00000103, DEVICE_ERROR },
    };
    for (const auto &row : table)
        EXPECT_EQ(HostStatus(row.access), row.program) << std::hex << row.access;
}

/* ---- Idle-state mapping ---------------------------------------------------- */

TEST(HostMapping, IdleStatesStandForC1C2C3)
{
    auto map = [](const char *driver, std::vector<std::string> names) {
        char table[HOST_MAX_IDLE_STATES][24] = {};
        for (size_t i = 0; i < names.size(); i++)
            std::strcpy(table[i], names[i].c_str());
        std::string out;
        for (uint32_t n = 1; n <= 3; n++)
            out += std::to_string(HostMapIdleState(driver, table, (uint32_t)names.size(), n)) + " ";
        return out;
    };
    EXPECT_EQ(map("intel_idle", kIntelIdleStates), "1 3 6 ");
    EXPECT_EQ(map("intel_idle", { "POLL", "C1", "C6" }), "1 -1 2 ");
    EXPECT_EQ(map("intel_idle", { "POLL", "C1", "C1E", "C6" }), "1 2 3 ");
    EXPECT_EQ(map("intel_idle", { "POLL", "C1" }), "1 -1 -1 ");
    EXPECT_EQ(map("intel_idle", { "POLL" }), "-1 -1 -1 ");
    EXPECT_EQ(map("intel_idle", { "POLL", "C1_ACPI", "C3_ACPI" }), "1 -1 2 ");
    EXPECT_EQ(map("acpi_idle", { "POLL", "C1", "C2" }), "1 2 -1 ");
    EXPECT_EQ(map("acpi_idle", { "C3", "C2", "C1" }), "2 1 0 ");
    EXPECT_EQ(map("haltpoll", { "POLL", "haltpoll" }), "1 -1 -1 ");
}

/* ---- Capabilities ---------------------------------------------------------- */

TEST(HostCapabilities, LaptopBareAndUnprivileged)
{
    {
        FakeHost h;
        BuildLaptop(h);
        h.Open();
        Reply r = Send(IOCTL_GET_CAPABILITIES, 0);
        EXPECT_EQ(r.journal, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=1020 idle=intel_idle C1=C1 C2=C3 C3=C10 "
                             "fan=cooling_device1 throttle=intel_pstate rtc=rtc0");
        EXPECT_TRUE(h.writes.empty());
    }
    {
        FakeHost h;   /* nothing present */
        h.Open();
        EXPECT_EQ(Send(IOCTL_GET_CAPABILITIES, 0).journal,
                  "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=0 idle=none fan=none throttle=none rtc=none");
        EXPECT_TRUE(h.probes.empty());   /* nothing listed, nothing opened for writing */
    }
    {
        FakeHost h;   /* not root: every file reads, none opens for writing */
        BuildLaptop(h);
        AddSleep(h, "freeze standby mem disk");
        for (auto &f : h.files)
            f.second.writable = false;
        h.Open();
        EXPECT_EQ(Send(IOCTL_GET_CAPABILITIES, 0).journal, "IOCTL_GET_CAPABILITIES 0 0xC0000022 denied=sys/power/state");
        EXPECT_TRUE(h.writes.empty());
    }
}

/* A file that is there but refuses is no absent feature: no mask is given. */
TEST(HostCapabilities, AFileThereThatRefusesFailsTheQueryNamingIt)
{
    struct Case { std::function<void(FakeHost &)> build; const char *journal; };
    const std::string state1 = std::string(kCpu) + "cpu0/cpuidle/state1/";
    const Case cases[] = {
        { [](FakeHost &h) { AddSleep(h, "mem", "[deep]"); h.files["sys/power/mem_sleep"].readStatus = 0xC0000022; },
          "0xC0000022 denied=sys/power/mem_sleep" },
        { [&](FakeHost &h) { AddIdle(h, "acpi_idle", { "POLL", "C1", "C2" }); h.files[state1 + "disable"].writable = false; },
          "0xC0000022 idle=acpi_idle denied=sys/devices/system/cpu/cpu0/cpuidle/state1/disable" },
        { [](FakeHost &h) { AddCooling(h, 1, "Fan", 3); h.files["sys/class/thermal/cooling_device1/cur_state"].writable = false; },
          "0xC0000022 idle=none denied=sys/class/thermal/cooling_device1/cur_state" },
        { [](FakeHost &h) { h.Set("sys/class/hwmon/hwmon0/name", "nct6775\n");
                            h.Set("sys/class/hwmon/hwmon0/pwm2", "120\n").writable = false; },
          "0xC0000022 idle=none denied=sys/class/hwmon/hwmon0/pwm2" },
        { [](FakeHost &h) { AddPstate(h); h.files[std::string(kCpu) + "intel_pstate/max_perf_pct"].writable = false; },
          "0xC0000022 idle=none fan=none denied=sys/devices/system/cpu/intel_pstate/max_perf_pct" },
        { [](FakeHost &h) { AddRtc(h); h.files["sys/class/rtc/rtc0/wakealarm"].writable = false; },
          "0xC0000022 idle=none fan=none throttle=none denied=sys/class/rtc/rtc0/wakealarm" },
    };
    for (const Case &c : cases) {
        FakeHost h;
        c.build(h);
        h.Open();
        Reply r = Send(IOCTL_GET_CAPABILITIES, 0);
        EXPECT_EQ(r.journal, std::string("IOCTL_GET_CAPABILITIES 0 ") + c.journal);
        EXPECT_EQ(r.value, 0u) << c.journal;
    }
}

TEST(HostCapabilities, EachBitFromItsOwnFiles)
{
    struct Case { const char *what; std::function<void(FakeHost &)> build; uint32_t mask; };
    const Case cases[] = {
        { "S1 S3 S4", [](FakeHost &h) { AddSleep(h, "freeze standby mem disk"); }, 0x0D },
        { "s2idle only: no S3", [](FakeHost &h) { AddSleep(h, "freeze mem disk", "[s2idle]"); }, 0x08 },
        { "no mem_sleep: no S3", [](FakeHost &h) { AddSleep(h, "freeze mem disk", ""); }, 0x08 },
        { "disk without platform", [](FakeHost &h) { AddSleep(h, "mem disk", "[deep]", "[shutdown] reboot"); }, 0x04 },
        { "acpi_idle C1 C2", [](FakeHost &h) { AddIdle(h, "acpi_idle", { "POLL", "C1", "C2" }); }, 0x50 },
        { "cpuidle none", [](FakeHost &h) { AddIdle(h, "none", { "POLL", "C1", "C2" }); }, 0 },
        { "hwmon pwm", [](FakeHost &h) { h.Set("sys/class/hwmon/hwmon0/name", "nct6775\n");
                                         h.Set("sys/class/hwmon/hwmon0/pwm2", "120\n"); }, 0x80 },
        { "Processor cooling", [](FakeHost &h) { AddCooling(h, 3, "Processor", 10); }, 0x100 },
        { "cpufreq", [](FakeHost &h) { h.Set(std::string(kCpu) + "online", "0-1\n"); AddCpufreq(h, 2); }, 0x100 },
        { "rtc without since_epoch", [](FakeHost &h) { h.Set("sys/class/rtc/rtc0/wakealarm", ""); }, 0 },
        { "rtc", [](FakeHost &h) { AddRtc(h); }, 0x200 },
    };
    for (const Case &c : cases) {
        FakeHost h;
        c.build(h);
        h.Open();
        Reply r = Send(IOCTL_GET_CAPABILITIES, 0);
        EXPECT_EQ(r.value, c.mask) << c.what << ": " << r.journal;
    }
}

/* ---- Sleep states ---------------------------------------------------------- */

TEST(HostSleep, S3SetsDeepSleepsAndPutsTheModeBack)
{
    FakeHost h;
    AddSleep(h, "freeze mem disk", "[s2idle] deep");
    h.Open();
    Reply r = Send(IOCTL_SET_SLEEP_STATE, 4);
    EXPECT_EQ(r.journal, "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep was=s2idle");
    EXPECT_EQ(h.Writes("sys/power/"), (std::vector<std::string>{ "mem_sleep=deep", "state=mem", "mem_sleep=s2idle" }));
    EXPECT_EQ(h.Text("sys/power/mem_sleep"), "[s2idle] deep\n");

    h.writes.clear();   /* deep already chosen: only the sleep itself */
    AddSleep(h);
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).journal, "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep");
    EXPECT_EQ(h.Writes("sys/power/"), (std::vector<std::string>{ "state=mem" }));
}

TEST(HostSleep, S1S2S4AndWhatIsMissing)
{
    FakeHost h;
    AddSleep(h, "freeze mem disk", "s2idle [deep]", "platform [shutdown] reboot");
    h.Open();
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 2).journal, "IOCTL_SET_SLEEP_STATE 2 0xC00000BB state=standby-missing");
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 3).journal, "IOCTL_SET_SLEEP_STATE 3 0xC00000BB S2=none");
    EXPECT_TRUE(h.writes.empty());
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 5).journal,
              "IOCTL_SET_SLEEP_STATE 5 0x00000000 state=disk disk=platform was=shutdown");
    EXPECT_EQ(h.Writes("sys/power/"), (std::vector<std::string>{ "disk=platform", "state=disk", "disk=shutdown" }));

    h.writes.clear();
    AddSleep(h, "freeze standby mem disk", "[s2idle]");
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 2).journal, "IOCTL_SET_SLEEP_STATE 2 0x00000000 state=standby");
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).journal, "IOCTL_SET_SLEEP_STATE 4 0xC00000BB mem_sleep=deep-missing");
    EXPECT_EQ(h.Writes(), (std::vector<std::string>{ "sys/power/state=standby" }));   /* never freeze for S3 */
}

TEST(HostSleep, SuspendCountersTellARealSleepFromAnAbortedOne)
{
    FakeHost h;
    AddSleep(h, "mem", "[s2idle] deep");
    h.Set("sys/power/suspend_stats/success", "7\n");
    h.Set("sys/power/suspend_stats/fail", "2\n");
    h.Open();
    /* The write blocks while the machine sleeps; it returns after resume. */
    h.files["sys/power/state"].store = [](FakeHost &m, FakeFile &, const std::string &) -> uint32_t {
        m.clock.Utc += 8 * 3600;
        m.files["sys/power/suspend_stats/success"].text = "8\n";
        return 0;
    };
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).journal,
              "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep was=s2idle suspend_stats success+=1 fail+=0");
    EXPECT_EQ(h.Text("sys/power/mem_sleep"), "[s2idle] deep\n");

    h.files["sys/power/state"].store = FakeHost::Action;   /* returns at once: nothing slept */
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).journal,
              "IOCTL_SET_SLEEP_STATE 4 0xC0000185 state=mem mem_sleep=deep was=s2idle suspend_stats success+=0 fail+=0");

    /* A device refused to suspend: the write fails, the mode goes back all the same. */
    h.files["sys/power/state"].writeStatus = 0x80000011;
    h.writes.clear();
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).journal, "IOCTL_SET_SLEEP_STATE 4 0x80000011 state=mem mem_sleep=deep was=s2idle");
    EXPECT_EQ(h.Writes("sys/power/"), (std::vector<std::string>{ "mem_sleep=deep", "state=mem", "mem_sleep=s2idle" }));
    EXPECT_EQ(h.Text("sys/power/mem_sleep"), "[s2idle] deep\n");
}

TEST(HostSleep, FaultsBeforeTheSleepChangeNothing)
{
    FakeHost h;
    AddSleep(h, "mem", "[s2idle] deep");
    h.Open();
    h.files["sys/power/mem_sleep"].shortRead = 10;                 /* "[s2idle] d" */
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).status, DEVICE_ERROR);
    h.files["sys/power/mem_sleep"].shortRead = std::string::npos;
    h.files["sys/power/mem_sleep"].writable = false;               /* not root */
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).journal, "IOCTL_SET_SLEEP_STATE 4 0xC0000022 mem_sleep=deep failed");
    EXPECT_EQ(h.Writes(), (std::vector<std::string>{ "sys/power/mem_sleep=deep" }));
    h.files["sys/power/mem_sleep"].text = "s2idle deep\n";        /* no choice shown: nothing to put back */
    EXPECT_EQ(Send(IOCTL_SET_SLEEP_STATE, 4).status, DEVICE_ERROR);
    EXPECT_EQ(h.writes.size(), 1u);
}

/* ---- Processor idle states ------------------------------------------------- */

TEST(HostCpu, OnlyTheMappedStateIsLeftEnabledOnOnlineCpusAndAllIsPutBack)
{
    FakeHost h;
    BuildLaptop(h);
    h.Set(Disable(0, 2), "1\n");   /* disabled by the operator before: stays so */
    h.Open(u"Z:\\", 20);
    std::string during;
    h.files[Disable(3, 6)].store = [&](FakeHost &m, FakeFile &f, const std::string &v) -> uint32_t {
        f.text = v + "\n";
        if (v == "1")
            during = Flags(m);   /* the last flag of the restriction */
        return 0;
    };
    Reply r = Send(IOCTL_SET_CPU_STATE, 2);
    EXPECT_EQ(r.journal, "IOCTL_SET_CPU_STATE 2 0x00000000 idle=C3 usage+=80 time+=72000us");
    EXPECT_EQ(h.idled, 20u);
    EXPECT_EQ(during, "1110111 1110111 1110111 1110111 0000000");
    EXPECT_EQ(Flags(h), "0010000 0000000 0000000 0000000 0000000");
    for (const FakeWrite &w : h.writes)
        EXPECT_EQ(w.path.find("cpu4/"), std::string::npos) << w.path;   /* offline */
    EXPECT_EQ(h.writes.size(), 2u * (5 + 6 + 6 + 6));
}

TEST(HostCpu, DefaultIdleTimeAndAcpiIdleNames)
{
    FakeHost h;
    AddIdle(h, "acpi_idle", { "POLL", "C1", "C2", "C3" }, "0", 1);
    h.Open();
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 3).journal, "IOCTL_SET_CPU_STATE 3 0x00000000 idle=C3 usage+=2000 time+=1800000us");
    EXPECT_EQ(h.idled, 2000u);
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 1).journal.substr(0, 44), "IOCTL_SET_CPU_STATE 1 0x00000000 idle=C1 usa");
}

TEST(HostCpu, AStateNeverEnteredFailsAndLeavesNothingDisabled)
{
    FakeHost h;
    BuildLaptop(h);
    h.neverEntered = { "C10" };
    h.Open(u"Z:\\", 5);
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 3).journal, "IOCTL_SET_CPU_STATE 3 0xC0000185 idle=C10 usage+=0 time+=0us");
    EXPECT_EQ(Flags(h), "0000000 0000000 0000000 0000000 0000000");
}

TEST(HostCpu, AFailurePartWayPutsBackEveryFlagAlreadyChanged)
{
    FakeHost h;
    BuildLaptop(h);
    h.Open(u"Z:\\", 5);
    h.files[Disable(2, 5)].writable = false;        /* EACCES on the third CPU */
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 1).journal, "IOCTL_SET_CPU_STATE 1 0xC0000022 idle=C1");
    EXPECT_EQ(Flags(h), "0000000 0000000 0000000 0000000 0000000");
    EXPECT_EQ(h.idled, 0u);

    h.files[Disable(2, 5)].writable = true;
    h.files[std::string(kCpu) + "cpu1/cpuidle/state1/usage"].shortRead = 2;   /* "20" of "2001\n" */
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 1).journal, "IOCTL_SET_CPU_STATE 1 0xC0000185 idle=C1");
    EXPECT_EQ(Flags(h), "0000000 0000000 0000000 0000000 0000000");

    h.files[std::string(kCpu) + "cpu1/cpuidle/state1/usage"].shortRead = std::string::npos;
    h.files[Disable(3, 0)].readStatus = 0xC0000001;  /* before anything is changed */
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 1).status, DEVICE_ERROR);
    EXPECT_EQ(Flags(h), "0000000 0000000 0000000 0000000 0000000");
}

TEST(HostCpu, AFlagThatCannotBePutBackIsTriedAgainAtTheLastClose)
{
    FakeHost h;
    BuildLaptop(h);
    h.Open(u"Z:\\", 5);
    FakeFile &stuck = h.files[Disable(1, 0)];
    stuck.store = [](FakeHost &, FakeFile &f, const std::string &v) -> uint32_t {
        if (v == "0")
            return 0x80000011;   /* EBUSY on the way back */
        f.text = v + "\n";
        return 0;
    };
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 1).journal, "IOCTL_SET_CPU_STATE 1 0x80000011 idle=C1 usage+=20 time+=18000us restore-failed=1");
    EXPECT_EQ(Flags(h), "0000000 1000000 0000000 0000000 0000000");
    stuck.store = nullptr;
    AcpiSimHost.Release();
    EXPECT_EQ(Flags(h), "0000000 0000000 0000000 0000000 0000000");
}

TEST(HostCpu, NoCpuidleDriver)
{
    FakeHost h;
    AddIdle(h, "none", kIntelIdleStates);
    h.Open();
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 1).journal, "IOCTL_SET_CPU_STATE 1 0xC00000BB idle=none");
    FakeHost two;
    AddIdle(two, "intel_idle", { "POLL", "C1" });
    two.Open();
    EXPECT_EQ(Send(IOCTL_SET_CPU_STATE, 2).journal, "IOCTL_SET_CPU_STATE 2 0xC00000BB idle=intel_idle C2=none");
    EXPECT_TRUE(h.writes.empty());
    EXPECT_TRUE(two.writes.empty());
}

/* ---- Fan and clock --------------------------------------------------------- */

TEST(HostFan, CoolingDeviceOnOffReadBackAndPutBackAtTheLastClose)
{
    FakeHost h;
    BuildLaptop(h);
    h.Set("sys/class/thermal/cooling_device1/cur_state", "1\n");
    h.Open();
    EXPECT_EQ(Send(IOCTL_SET_FAN, 1).journal, "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3");
    EXPECT_EQ(Send(IOCTL_SET_FAN, 0).journal, "IOCTL_SET_FAN 0 0x00000000 mechanism=cooling_device1 applied=0");
    AcpiSimHost.Release();
    AcpiSimHost.Release();   /* once only */
    EXPECT_EQ(h.Writes("sys/class/thermal/cooling_device1/"),
              (std::vector<std::string>{ "cur_state=3", "cur_state=0", "cur_state=1" }));

    h.files["sys/class/thermal/cooling_device1/cur_state"].store = [](FakeHost &, FakeFile &, const std::string &) { return 0u; };
    EXPECT_EQ(Send(IOCTL_SET_FAN, 1).journal, "IOCTL_SET_FAN 1 0xC0000185 mechanism=cooling_device1 applied=1");
}

TEST(HostFan, HwmonPwmInManualMode)
{
    FakeHost h;
    h.Set("sys/class/hwmon/hwmon0/name", "acpitz\n");
    h.Set("sys/class/hwmon/hwmon2/name", "nct6775\n");   /* hwmon1 missing: the search goes on */
    h.Set("sys/class/hwmon/hwmon2/pwm1", "80\n").writable = false;
    h.Set("sys/class/hwmon/hwmon2/pwm2", "120\n");
    h.Set("sys/class/hwmon/hwmon2/pwm2_enable", "5\n");
    h.Open();
    EXPECT_EQ(Send(IOCTL_SET_FAN, 1).journal, "IOCTL_SET_FAN 1 0x00000000 mechanism=hwmon2/pwm2 applied=255");
    AcpiSimHost.Release();
    EXPECT_EQ(h.Writes("sys/class/hwmon/hwmon2/"),
              (std::vector<std::string>{ "pwm2_enable=1", "pwm2=255", "pwm2=120", "pwm2_enable=5" }));
    FakeHost bare;
    bare.Open();
    EXPECT_EQ(Send(IOCTL_SET_FAN, 0).journal, "IOCTL_SET_FAN 0 0xC00000BB mechanism=none");
    FakeHost refused;   /* there, but refusing: no absent fan */
    refused.Set("sys/class/hwmon/hwmon0/name", "nct6775\n");
    refused.Set("sys/class/hwmon/hwmon0/pwm2", "120\n").writable = false;
    refused.Open();
    EXPECT_EQ(Send(IOCTL_SET_FAN, 1).journal, "IOCTL_SET_FAN 1 0xC0000022 mechanism=hwmon0/pwm2");
}

TEST(HostDuty, ProcessorCoolingThenIntelPstateThenCpufreq)
{
    {
        FakeHost h;
        BuildLaptop(h);
        for (unsigned i = 3; i < 7; i++)
            AddCooling(h, i, "Processor", 10);
        h.Open();
        EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 60).journal,
                  "IOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=processor applied=4 max=10 devices=4");
        EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 0).journal.substr(0, 57), "IOCTL_SET_DUTY_CYCLE 0 0x00000000 mechanism=processor app");
        EXPECT_EQ(h.Text("sys/class/thermal/cooling_device6/cur_state"), "10\n");
        AcpiSimHost.Release();
        EXPECT_EQ(h.Text("sys/class/thermal/cooling_device6/cur_state"), "0\n");
    }
    {
        FakeHost h;
        BuildLaptop(h);
        h.Open();
        EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 60).journal, "IOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=intel_pstate applied=60");
        h.files["sys/devices/system/cpu/intel_pstate/max_perf_pct"].store = [](FakeHost &, FakeFile &f, const std::string &v) {
            f.text = std::to_string(std::max(20, std::stoi(v))) + "\n";   /* held at min_perf_pct */
            return 0u;
        };
        EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 10).journal, "IOCTL_SET_DUTY_CYCLE 10 0x00000000 mechanism=intel_pstate applied=20");
        AcpiSimHost.Release();
        EXPECT_EQ(h.Text("sys/devices/system/cpu/intel_pstate/max_perf_pct"), "100\n");
    }
    {
        FakeHost h;
        AddIdle(h, "intel_idle", kIntelIdleStates);   /* CPUs 0-3 online, 4 not */
        AddCpufreq(h);
        h.Open();
        EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 60).journal,
                  "IOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=cpufreq applied=2820000kHz max=4700000kHz");
        EXPECT_EQ(h.Writes(kCpu), (std::vector<std::string>{
                      "cpu0/cpufreq/scaling_max_freq=2820000", "cpu1/cpufreq/scaling_max_freq=2820000",
                      "cpu2/cpufreq/scaling_max_freq=2820000", "cpu3/cpufreq/scaling_max_freq=2820000" }));
    }
    FakeHost bare;
    bare.Open();
    EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 50).journal, "IOCTL_SET_DUTY_CYCLE 50 0xC00000BB mechanism=none");
}

TEST(HostRelease, SettingsGoBackUnderTheRootTheyWereChangedUnder)
{
    FakeHost h;
    BuildLaptop(h);
    h.Open(u"C:\\tree-a");
    Send(IOCTL_SET_FAN, 1);
    h.Open(u"C:\\tree-a");   /* the same root: nothing yet */
    EXPECT_EQ(h.writes.size(), 1u);
    h.Open(u"C:\\tree-b");
    ASSERT_EQ(h.writes.size(), 2u);
    EXPECT_EQ(h.writes[1].root, "C:\\tree-a");
    EXPECT_EQ(h.writes[1].value, "0");
    AcpiSimHost.Release();
    EXPECT_EQ(h.writes.size(), 2u);
}

/* A setting that cannot go back stays kept, under its own root: the close
   says so (the driver journals the line) and the next one tries again. */
TEST(HostRelease, ASettingThatCannotGoBackIsKeptReportedAndTriedAgain)
{
    FakeHost h;
    BuildLaptop(h);
    h.Open(u"C:\\tree-a");
    Send(IOCTL_SET_FAN, 1);
    FakeFile &fan = h.files["sys/class/thermal/cooling_device1/cur_state"];
    fan.writeStatus = 0xC0000185;
    char line[ACPISIM_JOURNAL_LINE];
    for (int close = 0; close < 2; close++) {   /* the last close, then an open under another root */
        EXPECT_EQ(close ? h.Open(u"C:\\tree-b") : AcpiSimHost.Release(), DEVICE_ERROR);
        AcpiSimPutBackLine(&AcpiSimHost, DEVICE_ERROR, line, sizeof line);
        EXPECT_STREQ(line, "PUT_BACK host 0xC0000185 kept=1\r\n");
    }
    EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 50).journal, "IOCTL_SET_DUTY_CYCLE 50 0xC0000185 mechanism=intel_pstate put-back=pending");
    fan.writeStatus = 0;
    EXPECT_EQ(AcpiSimHost.Release(), OK);
    EXPECT_EQ(h.writes.back().root, "C:\\tree-a");
    EXPECT_EQ(h.Writes("sys/class/thermal/cooling_device1/"),
              (std::vector<std::string>{ "cur_state=3", "cur_state=0", "cur_state=0", "cur_state=0" }));
    EXPECT_EQ(h.Text("sys/devices/system/cpu/intel_pstate/max_perf_pct"), "100\n");
}

/* With 1024 settings kept (cpufreq on 1024 CPUs) there is no room for one
   more: a change is refused before it is made, a failed put-back fails. */
TEST(HostRelease, AFullPutBackTableIsNotedAndFails)
{
    struct Case { uint32_t code, value; const char *journal; };
    const Case cases[] = {
        { IOCTL_SET_FAN, 1, "IOCTL_SET_FAN 1 0xC0000185 mechanism=cooling_device1 put-back=full" },
        { IOCTL_SET_SLEEP_STATE, 4,
          "IOCTL_SET_SLEEP_STATE 4 0xC0000185 state=mem mem_sleep=deep was=s2idle restore=failed put-back=full" },
        { IOCTL_SET_CPU_STATE, 1, "IOCTL_SET_CPU_STATE 1 0xC0000185 idle=C1 put-back=full usage+=5 time+=4500us restore-failed=1" },
    };
    FakeHost h;
    AddSleep(h, "mem", "[s2idle] deep");
    AddIdle(h, "acpi_idle", { "POLL", "C1" }, "0-1023", 1);
    AddCooling(h, 1, "Fan", 3);
    AddCpufreq(h, 1024);
    auto refuseTheWayBack = [](FakeHost &, FakeFile &f, const std::string &v) -> uint32_t {
        if (v == "s2idle" || (v == "0" && f.text == "1\n"))
            return 0x80000011;   /* EBUSY */
        f.text = v == "deep" ? "s2idle [deep]\n" : v + "\n";
        return 0;
    };
    h.files["sys/power/mem_sleep"].store = refuseTheWayBack;
    h.files[Disable(0, 0)].store = refuseTheWayBack;
    h.Open(u"Z:\\", 5);
    ASSERT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 50).status, OK);
    for (const Case &c : cases)
        EXPECT_EQ(Send(c.code, c.value).journal, c.journal);
    EXPECT_EQ(h.Text("sys/class/thermal/cooling_device1/cur_state"), "0\n");
}

TEST(HostRelease, WithoutAPlatformOrARootNothingIsReached)
{
    FakeHost h;
    BuildLaptop(h);
    h.Open(u"");
    for (uint32_t code : { IOCTL_SET_SLEEP_STATE, IOCTL_SET_CPU_STATE, IOCTL_SET_FAN, IOCTL_SET_DUTY_CYCLE, IOCTL_GET_CAPABILITIES })
        EXPECT_EQ(Send(code, code == IOCTL_SET_SLEEP_STATE ? 4 : 1).status, NOT_SUPPORTED);
    EXPECT_EQ(SendAlarm(IOCTL_GET_RTC_ALARM, {}).status, NOT_SUPPORTED);
    EXPECT_TRUE(h.writes.empty());
    EXPECT_TRUE(h.probes.empty());
    AcpiSimHostSetPlatform(nullptr);
    h.Open();
    EXPECT_EQ(Send(IOCTL_SET_FAN, 1).journal, "IOCTL_SET_FAN 1 0xC00000BB");
}

TEST(HostJournal, TheNoteFollowsOnlyARequestThatReachedTheBackend)
{
    FakeHost h;
    BuildLaptop(h);
    h.Open();
    EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 60).journal, "IOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=intel_pstate applied=60");
    EXPECT_EQ(Send(IOCTL_SET_DUTY_CYCLE, 101).journal, "IOCTL_SET_DUTY_CYCLE 101 0xC000000D");
    ACPISIM_CONFIG cfg;
    AcpiSimDefaultConfig(&cfg);
    cfg.FailCode = IOCTL_SET_FAN;
    uint32_t v = 1;
    ACPISIM_REQUEST rq{};
    rq.Code = IOCTL_SET_FAN;
    rq.Buffer = &v;
    rq.InputLength = rq.OutputLength = 4;
    EXPECT_EQ(AcpiSimRequest(&AcpiSimHost, &cfg, &rq), 0xC0000001u);
    EXPECT_STREQ(rq.Journal, "IOCTL_SET_FAN 1 0xC0000001\r\n");
    EXPECT_EQ(h.Writes("sys/devices/system/cpu/intel_pstate/"), (std::vector<std::string>{ "max_perf_pct=60" }));
}

/* ---- Time ------------------------------------------------------------------ */

TEST(HostTime, CalendarAndWeekdays)
{
    EXPECT_EQ(Seconds(1601, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(Civil(0), "1601,1,1,0,0,0,0,1");                    /* a Monday */
    EXPECT_EQ(Civil(Seconds(2026, 12, 6, 15, 5, 9)), "2026,12,6,15,5,9,0,0");
    EXPECT_EQ(Civil(Seconds(2024, 2, 28, 23, 59, 59) + 1), "2024,2,29,0,0,0,0,4");
    EXPECT_EQ(Civil(Seconds(2100, 2, 28, 12, 0, 0) + 86400), "2100,3,1,12,0,0,0,1");
    EXPECT_EQ(Civil(Seconds(2026, 4, 31, 8, 0, 0)), "2026,5,1,8,0,0,0,5");   /* day 31 of a 30-day month */
    EXPECT_EQ(Seconds(1970, 1, 1, 0, 0, 0), 11644473600);
}

TEST(HostTime, ZonesAroundTheirChanges)
{
    HOST_ZONE b = Berlin(), ny = NewYork(), syd = Sydney(), utc{};
    const struct { const HOST_ZONE *zone; int64_t utc; const char *local; } cases[] = {
        { &b, Seconds(2026, 3, 29, 0, 59, 59), "2026,3,29,1,59,59,0,0" },
        { &b, Seconds(2026, 3, 29, 1, 0, 0), "2026,3,29,3,0,0,0,0" },
        { &b, Seconds(2026, 10, 25, 0, 59, 59), "2026,10,25,2,59,59,0,0" },
        { &b, Seconds(2026, 10, 25, 1, 0, 0), "2026,10,25,2,0,0,0,0" },
        { &ny, Seconds(2026, 3, 8, 6, 59, 59), "2026,3,8,1,59,59,0,0" },
        { &ny, Seconds(2026, 3, 8, 7, 0, 0), "2026,3,8,3,0,0,0,0" },
        { &ny, Seconds(2026, 11, 1, 6, 0, 0), "2026,11,1,1,0,0,0,0" },
        { &syd, Seconds(2026, 1, 15, 0, 0, 0), "2026,1,15,11,0,0,0,4" },
        { &syd, Seconds(2026, 7, 15, 0, 0, 0), "2026,7,15,10,0,0,0,3" },
        { &utc, Seconds(2026, 7, 15, 0, 0, 0), "2026,7,15,0,0,0,0,3" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(Civil(HostUtcToLocal(c.zone, c.utc)), c.local) << c.local;
    /* Twice 02:30 in October: the first; never 02:30 in March: read as standard time. */
    EXPECT_EQ(Civil(HostLocalToUtc(&b, Seconds(2026, 10, 25, 2, 30, 0))), "2026,10,25,0,30,0,0,0");
    EXPECT_EQ(Civil(HostLocalToUtc(&b, Seconds(2026, 3, 29, 2, 30, 0))), "2026,3,29,1,30,0,0,0");
    EXPECT_EQ(Civil(HostLocalToUtc(&b, Seconds(2026, 7, 1, 12, 0, 0))), "2026,7,1,10,0,0,0,3");
}

TEST(HostTime, AlarmDelayAcrossMonthEndsAndClockChanges)
{
    struct Case { const char *what; HOST_ZONE zone; int64_t nowLocal; RTC_ALARM_TIME alarm; int64_t delay; int passed; const char *fires; };
    HOST_ZONE utc{};
    const Case cases[] = {
        { "later today", utc, Seconds(2026, 12, 6, 15, 0, 0), { 2026, 12, 6, 15, 59, 0, 0, 0 }, 3540, 0, "2026,12,6,15,59,0,0,0" },
        { "passed today", utc, Seconds(2026, 12, 6, 16, 0, 0), { 2026, 12, 6, 15, 59, 0, 0, 0 }, 86340, 1, "2026,12,7,15,59,0,0,1" },
        { "this very second", utc, Seconds(2026, 12, 6, 15, 59, 0), { 2026, 12, 6, 15, 59, 0, 0, 0 }, 86400, 1, "2026,12,7,15,59,0,0,1" },
        { "month end", utc, Seconds(2026, 1, 31, 23, 30, 0), { 2026, 1, 31, 23, 0, 0, 0, 0 }, 84600, 1, "2026,2,1,23,0,0,0,0" },
        { "year end", utc, Seconds(2026, 12, 31, 23, 59, 30), { 2026, 12, 31, 0, 0, 10, 0, 0 }, 40, 1, "2027,1,1,0,0,10,0,5" },
        { "a past date", utc, Seconds(2026, 3, 2, 8, 0, 0), { 2025, 1, 1, 9, 0, 0, 0, 0 }, 3600, 1, "2026,3,2,9,0,0,0,1" },
        { "a later date", utc, Seconds(2026, 2, 27, 12, 0, 0), { 2026, 3, 1, 12, 0, 0, 0, 0 }, 2 * 86400, 0, "2026,3,1,12,0,0,0,0" },
        { "over spring forward", Berlin(), Seconds(2026, 3, 28, 12, 0, 0), { 2026, 3, 29, 12, 0, 0, 0, 0 }, 82800, 0, "2026,3,29,12,0,0,0,0" },
        { "passed, tomorrow after spring forward", Berlin(), Seconds(2026, 3, 28, 13, 0, 0), { 2026, 3, 28, 12, 0, 0, 0, 0 }, 79200, 1, "2026,3,29,12,0,0,0,0" },
        { "over fall back", Berlin(), Seconds(2026, 10, 24, 12, 0, 0), { 2026, 10, 25, 12, 0, 0, 0, 0 }, 90000, 0, "2026,10,25,12,0,0,0,0" },
        { "in the skipped hour", Berlin(), Seconds(2026, 3, 28, 12, 0, 0), { 2026, 3, 29, 2, 30, 0, 0, 0 }, 52200, 0, "2026,3,29,3,30,0,0,0" },
        { "in the doubled hour", Berlin(), Seconds(2026, 10, 24, 12, 0, 0), { 2026, 10, 25, 2, 30, 0, 0, 0 }, 52200, 0, "2026,10,25,2,30,0,0,0" },
    };
    for (const Case &c : cases) {
        HOST_CLOCK clock{ HostLocalToUtc(&c.zone, c.nowLocal), c.zone };
        int passed = -1;
        int64_t fires = 0;
        EXPECT_EQ(HostAlarmDelay(&clock, &c.alarm, &passed, &fires), c.delay) << c.what;
        EXPECT_EQ(passed, c.passed) << c.what;
        EXPECT_EQ(Civil(fires), c.fires) << c.what;
    }
}

/* ---- RTC wake alarm -------------------------------------------------------- */

TEST(HostAlarm, SetClearsFirstThenSetsRelativeAndGetReadsItBack)
{
    FakeHost h;
    AddRtc(h);
    h.clock.Utc = Seconds(2026, 12, 6, 15, 0, 0);   /* the zone: UTC */
    h.Open();
    EXPECT_EQ(SendAlarm(IOCTL_GET_RTC_ALARM, {}).journal,
              "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=0,0,0,0,0,0,0,0 wakealarm=none");
    Reply set = SendAlarm(IOCTL_SET_RTC_ALARM, { 2026, 12, 6, 15, 59, 0, 0, 0 });
    EXPECT_EQ(set.journal, "IOCTL_SET_RTC_ALARM 2026,12,6,15,59,0,0,0 0x00000000 wakealarm=+3540 fires=2026,12,6,15,59,0");
    EXPECT_EQ(h.Writes(), (std::vector<std::string>{ "sys/class/rtc/rtc0/wakealarm=0", "sys/class/rtc/rtc0/wakealarm=+3540" }));
    EXPECT_EQ(h.Text("sys/class/rtc/rtc0/wakealarm"), "1000003540\n");

    h.clock.Utc += 600;   /* ten minutes on, the RTC too */
    h.Set("sys/class/rtc/rtc0/since_epoch", "1000000600\n");
    Reply get = SendAlarm(IOCTL_GET_RTC_ALARM, {});
    EXPECT_EQ(get.journal, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=2026,12,6,15,59,0,0,0 "
                           "wakealarm=1000003540 since_epoch=1000000600");

    Reply passed = SendAlarm(IOCTL_SET_RTC_ALARM, { 2026, 12, 6, 3, 0, 0, 0, 0 });
    EXPECT_EQ(passed.journal, "IOCTL_SET_RTC_ALARM 2026,12,6,3,0,0,0,0 0x00000000 wakealarm=+42600 passed fires=2026,12,7,3,0,0");
}

TEST(HostAlarm, TheRtcMayKeepLocalTimeAndTheClocksMayChangeBeforeItFires)
{
    /* Saturday noon in Berlin, the alarm 24 hours of clock time on: Sunday
       noon, summer time, 23 hours away.  An RTC on UTC and one on local time
       give the same answer: only the distance counts. */
    for (const char *rtcNow : { "1774695600", "1774699200" }) {
        FakeHost h;
        AddRtc(h, rtcNow);
        h.clock.Zone = Berlin();
        h.clock.Utc = HostLocalToUtc(&h.clock.Zone, Seconds(2026, 3, 28, 12, 0, 0));
        h.Open();
        EXPECT_EQ(SendAlarm(IOCTL_SET_RTC_ALARM, { 2026, 3, 29, 12, 0, 0, 0, 6 }).status, OK);
        EXPECT_EQ(h.Writes().back(), "sys/class/rtc/rtc0/wakealarm=+82800");
        EXPECT_EQ(Record(SendAlarm(IOCTL_GET_RTC_ALARM, {}).alarm), "2026,3,29,12,0,0,0,0") << rtcNow;
    }
}

TEST(HostAlarm, FaultsReachTheProgramAsItsStatuses)
{
    FakeHost h;
    AddRtc(h);
    h.Open();
    RTC_ALARM_TIME t = { 2026, 12, 6, 15, 59, 0, 0, 0 };
    h.files["sys/class/rtc/rtc0/wakealarm"].writeStatus = 0x80000011;
    EXPECT_EQ(SendAlarm(IOCTL_SET_RTC_ALARM, t).status, BUSY);
    EXPECT_EQ(h.writes.size(), 1u);                  /* no +N after a failed clear */
    h.files["sys/class/rtc/rtc0/wakealarm"].writeStatus = 0;
    h.files["sys/class/rtc/rtc0/wakealarm"].store = [](FakeHost &, FakeFile &, const std::string &v) {
        return v == "0" ? 0u : 0xC000000Du;          /* EINVAL: beyond what the CMOS alarm can hold */
    };
    EXPECT_EQ(SendAlarm(IOCTL_SET_RTC_ALARM, t).status, PARAM);
    h.files["sys/class/rtc/rtc0/wakealarm"].store = nullptr;
    h.files["sys/class/rtc/rtc0/wakealarm"].shortWrite = 3;
    EXPECT_EQ(SendAlarm(IOCTL_SET_RTC_ALARM, t).status, DEVICE_ERROR);
    h.Set("sys/class/rtc/rtc0/wakealarm", "1000003540");   /* a short read: no line end */
    EXPECT_EQ(SendAlarm(IOCTL_GET_RTC_ALARM, {}).status, DEVICE_ERROR);
    h.Set("sys/class/rtc/rtc0/wakealarm", "soon\n");
    EXPECT_EQ(SendAlarm(IOCTL_GET_RTC_ALARM, {}).status, DEVICE_ERROR);
    /* A clock that cannot be read: nothing reckoned from 1601, nothing written. */
    h.Set("sys/class/rtc/rtc0/wakealarm", "1000003540\n").store = FakeHost::WakeAlarm;
    h.clockStatus = 0xC0000003;
    h.writes.clear();
    EXPECT_EQ(SendAlarm(IOCTL_SET_RTC_ALARM, t).journal, "IOCTL_SET_RTC_ALARM 2026,12,6,15,59,0,0,0 0xC0000185 clock=failed");
    EXPECT_EQ(SendAlarm(IOCTL_GET_RTC_ALARM, {}).journal, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC0000185 clock=failed");
    EXPECT_TRUE(h.writes.empty());
    h.files.clear();
    EXPECT_EQ(SendAlarm(IOCTL_SET_RTC_ALARM, t).journal, "IOCTL_SET_RTC_ALARM 2026,12,6,15,59,0,0,0 0xC00000BB rtc=none");
    EXPECT_EQ(SendAlarm(IOCTL_GET_RTC_ALARM, {}).status, NOT_SUPPORTED);
}
