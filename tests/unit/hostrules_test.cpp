/* The host backend's requests on the fake machine of fakehost.h, a row a
   machine: what is done to it, the journal lines and every write, in order. */
#include "tests/unit/fakehost.h"
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string *g_journal;

void PutBackFailed(const ACPISIM_BACKEND *be, uint32_t status)
{
    char line[ACPISIM_JOURNAL_LINE];
    *g_journal += std::string(line, AcpiSimPutBackLine(be, status, line, sizeof line) - 2) + "\n";
}

/* Steps separated by ';': a request ("caps", "S3", "C2", "fan 1", "duty 60", "set Y,M,D,h,m,s,ms,wd", "get"), "open ROOT" (Z:\ is
   opened first), "close" (the last handle), "fix" (no more faults), "unplug" (no platform).  Each row's journal lines end in \n,
   then "writes:" and the writes, when looked at. */
struct Row {
    std::string machine;
    const char *steps;
    std::string journal;
    const char *writes;
};

void Check(const std::vector<Row> &rows)
{
    for (const Row &row : rows) {
        FakeHost h(row.machine);
        std::string journal, step, writes;
        ACPISIM_CONFIG cfg;
        AcpiSimDefaultConfig(&cfg);
        cfg.HostIdleMilliseconds = 5;
        g_journal = &journal;
        AcpiSimHost.Open(&cfg);
        for (std::istringstream in(row.steps); std::getline(in, step, ';');) {
            std::string verb, arg;
            std::istringstream(step) >> verb >> arg;
            RTC_ALARM_TIME t = {};
            std::sscanf(arg.c_str(), "%hu,%hu,%hu,%hu,%hu,%hu,%hu,%hu", &t.Year, &t.Month, &t.Day, &t.Hour, &t.Minute, &t.Second, &t.Milliseconds, &t.Weekday);
            uint32_t value = verb.size() == 2 ? verb[1] - '0' + (verb[0] == 'S') : (uint32_t)std::atoi(arg.c_str()), st = 0;
            uint32_t code = verb == "caps" ? 0x22014C : verb[0] == 'S' ? 0x220140 : verb[0] == 'C' ? 0x220144 : verb == "fan" ? 0x220148
                          : verb == "duty" ? 0x220150 : verb == "set" ? 0x220154 : verb == "get" ? 0x220158 : 0, size = code >= 0x220154 ? 16 : 4;
            ACPISIM_REQUEST rq{ code, size == 16 ? (void *)&t : &value, size, size, 0, {}, 0 };
            for (size_t i = 0; verb == "open" && i <= arg.size(); i++)
                cfg.SysfsRoot[i] = i < arg.size() ? (uint16_t)arg[i] : 0;
            if (verb == "open" && (st = AcpiSimHost.Open(&cfg)) != 0)
                PutBackFailed(&AcpiSimHost, st);
            if (verb == "unplug")
                AcpiSimHostSetPlatform(nullptr);
            verb == "close" ? AcpiSimReleaseBackends(PutBackFailed) : verb == "fix" ? h.Fix() : (void)0;
            if (code && (AcpiSimRequest(&AcpiSimHost, &cfg, &rq), true))
                journal += std::string(rq.Journal, rq.JournalLength - 2) + "\n";
        }
        for (const std::string &w : h.writes)
            writes += (writes.empty() ? "" : " ") + w;
        EXPECT_EQ(journal + "writes: " + (row.writes ? writes : ""), row.journal + "writes: " + (row.writes ? row.writes : ""))
            << row.machine << "\n" << row.steps;
    }
}

const std::string kLaptop =
    "power/state=freeze mem disk; power/mem_sleep=s2idle [deep]; power/disk=[platform] shutdown; cpu/online=0-3; cpu/cpuidle/current_driver=intel_idle;"
    "cpu/cpu{0-4}/state{0-6}/name={POLL,C1,C1E,C3,C6,C8,C10}; cpu/cpu{0-4}/state{0-6}/disable=0; cool0/type=intel_powerclamp; cool1/type=Fan;"
    "cool1/max_state=3; cool1/cur_state=1; cool2/type=TCC Offset; cpu/intel_pstate/max_perf_pct=100; cpu/cpu{0-4}/cpufreq/scaling_max_freq=4700000;"
    "rtc/since_epoch=1000000000; rtc/wakealarm";

}  // namespace

/* The capability query: a bit for each feature whose files are there and take writing; a file that is
   there but refuses fails the whole query, naming it.  Then each request on the machine. */
TEST(HostBackend, LaptopDesktopBareAndEachCapability)
{
    const std::string idle = "cpu/online=0; cpu/cpuidle/current_driver=acpi_idle; cpu/cpu0/state{0-2}/name={POLL,C1,C2}; cpu/cpu0/state{0-2}/disable=0;";
    Check({
        { kLaptop, "caps; S3; fan 1; fan 0; duty 60; duty 101; close; close",
          "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=1020 idle=intel_idle C1=C1 C2=C3 C3=C10 fan=cooling_device1 throttle=intel_pstate rtc=rtc0\n"
          "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep\nIOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3\n"
          "IOCTL_SET_FAN 0 0x00000000 mechanism=cooling_device1 applied=0\nIOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=intel_pstate applied=60\n"
          "IOCTL_SET_DUTY_CYCLE 101 0xC000000D\n",
          "power/state=mem cool1/cur_state=3 cool1/cur_state=0 cpu/intel_pstate/max_perf_pct=60 cpu/intel_pstate/max_perf_pct=100 cool1/cur_state=1" },
        { "power/state=freeze standby mem disk; power/mem_sleep=[s2idle]; power/disk=[shutdown] reboot;" + idle + "hwmon0/name=acpitz;"
          "hwmon2/name=nct6775; hwmon2/pwm1=80; hwmon2/pwm1!deny; hwmon2/pwm2=120; hwmon2/pwm2_enable=5; cool0/type=Processor; cool0/cur_state=0;"
          "rtc/wakealarm", "caps; S1; S3; S4; C3; fan 1; close",
          "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=465 idle=acpi_idle C1=C1 C2=C2 fan=hwmon2/pwm2 throttle=processor rtc=none\n"
          "IOCTL_SET_SLEEP_STATE 2 0x00000000 state=standby\nIOCTL_SET_SLEEP_STATE 4 0xC00000BB mem_sleep=deep-missing\n"
          "IOCTL_SET_SLEEP_STATE 5 0xC00000BB disk=platform-missing\nIOCTL_SET_CPU_STATE 3 0xC00000BB idle=acpi_idle C3=none\n"
          "IOCTL_SET_FAN 1 0x00000000 mechanism=hwmon2/pwm2 applied=255\n",
          "power/state=standby hwmon2/pwm2_enable=1 hwmon2/pwm2=255 hwmon2/pwm2=120 hwmon2/pwm2_enable=5" },
        { "", "caps; S3; C1; fan 0; duty 50; set 2026,12,6,15,59,0,0,0; get",
          "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=0 idle=none fan=none throttle=none rtc=none\nIOCTL_SET_SLEEP_STATE 4 0xC00000BB state=mem-missing\n"
          "IOCTL_SET_CPU_STATE 1 0xC00000BB idle=none\nIOCTL_SET_FAN 0 0xC00000BB mechanism=none\nIOCTL_SET_DUTY_CYCLE 50 0xC00000BB mechanism=none\n"
          "IOCTL_SET_RTC_ALARM 2026,12,6,15,59,0,0,0 0xC00000BB rtc=none\nIOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC00000BB\n", "" },
        { "power/state=standby mem; power/state!deny", "caps", "IOCTL_GET_CAPABILITIES 0 0xC0000022 denied=sys/power/state\n", "" },
        { "power/state=standby; power/state!read:C00000A3", "caps", "IOCTL_GET_CAPABILITIES 0 0xC0000185 failed=sys/power/state\n", "" },
        { idle + "cpu/cpu0/state1/disable!deny", "caps",
          "IOCTL_GET_CAPABILITIES 0 0xC0000022 idle=acpi_idle denied=sys/devices/system/cpu/cpu0/cpuidle/state1/disable\n", "" },
        { "hwmon0/name=nct6775; hwmon0/pwm2=120; hwmon0/pwm2!deny", "caps; fan 1", "IOCTL_GET_CAPABILITIES 0 0xC0000022 idle=none "
          "denied=sys/class/hwmon/hwmon0/pwm2\nIOCTL_SET_FAN 1 0xC0000022 mechanism=hwmon0/pwm2\n", "" },
        { "cpu/intel_pstate/max_perf_pct=100; cpu/intel_pstate/max_perf_pct!deny", "caps",
          "IOCTL_GET_CAPABILITIES 0 0xC0000022 idle=none fan=none denied=sys/devices/system/cpu/intel_pstate/max_perf_pct\n", "" },
        { "power/state=mem disk; power/disk=[platform]; cpu/cpuidle/current_driver=none; cpu/cpu0/state{0-1}/name={POLL,C1}; cpu/cpu0/state{0-1}/disable=0",
          "caps; C1", "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=8 idle=none fan=none throttle=none rtc=none\nIOCTL_SET_CPU_STATE 1 0xC00000BB idle=none\n", "" },
    });
}

/* S3 and S4 choose the platform's own sleep and put the mode back; the suspend counters tell a real
   sleep from an aborted one (S4 is not counted). */
TEST(HostBackend, SleepStates)
{
    const std::string stats = "power/state=mem disk; power/mem_sleep=[s2idle] deep; power/disk=[platform]; power/suspend_stats/success=7;"
                              "power/suspend_stats/fail=2; ";
    const char *s3 = "IOCTL_SET_SLEEP_STATE 4 ", *modes = "power/mem_sleep=deep power/state=mem power/mem_sleep=s2idle";
    Check({
        { "power/state=freeze mem disk; power/mem_sleep=[s2idle] deep; power/disk=platform [shutdown] reboot", "S3; S4; S1; S2",
          s3 + std::string("0x00000000 state=mem mem_sleep=deep was=s2idle\nIOCTL_SET_SLEEP_STATE 5 0x00000000 state=disk disk=platform was=shutdown\n"
          "IOCTL_SET_SLEEP_STATE 2 0xC00000BB state=standby-missing\nIOCTL_SET_SLEEP_STATE 3 0xC00000BB S2=none\n"),
          "power/mem_sleep=deep power/state=mem power/mem_sleep=s2idle power/disk=platform power/state=disk power/disk=shutdown" },
        { stats + "power/state!then:power/suspend_stats/success=8", "S3", s3 + std::string("0x00000000 state=mem mem_sleep=deep was=s2idle "
          "suspend_stats success+=1 fail+=0\n"), modes },
        { stats, "S3; S4", s3 + std::string("0xC0000185 state=mem mem_sleep=deep was=s2idle suspend_stats success+=0 fail+=0\n"
          "IOCTL_SET_SLEEP_STATE 5 0x00000000 state=disk disk=platform\n"), "power/mem_sleep=deep power/state=mem power/mem_sleep=s2idle power/state=disk" },
        { stats + "power/state!write:80000011", "S3", s3 + std::string("0x80000011 state=mem mem_sleep=deep was=s2idle\n"),
          "power/mem_sleep=deep power/state=mem! power/mem_sleep=s2idle" },
        { stats + "power/mem_sleep!cut:10", "S3", s3 + std::string("0xC0000185 mem_sleep=deep-missing\n"), "" },
        { stats + "power/mem_sleep!deny", "S3", s3 + std::string("0xC0000022 mem_sleep=deep failed\n"), "power/mem_sleep=deep!" },
    });
}

/* Only the mapped state stays enabled on the online CPUs (CPU 2 is not) for the wait, and every flag
   changed goes back, after a failure part-way too; one that cannot is put back at the last close. */
TEST(HostBackend, IdleStates)
{
    const std::string idle = "cpu/online=0-1; cpu/cpuidle/current_driver=intel_idle; cpu/cpu{0-2}/state{0-3}/name={POLL,C1,C1E,C6};"
                             "cpu/cpu{0-2}/state{0-3}/disable=0; cpu/cpu{0-2}/state{0-3}/usage=0; cpu/cpu{0-2}/state{0-3}/time=0; cpu/cpu0/state3/disable=1; ";
    const std::string off = "cpu/cpu0/state0/disable=1 cpu/cpu0/state1/disable=1 cpu/cpu1/state0/disable=1 cpu/cpu1/state1/disable=1",
                      on = "cpu/cpu0/state0/disable=0 cpu/cpu0/state1/disable=0 cpu/cpu1/state0/disable=0",
                      all = off + " cpu/cpu1/state3/disable=1 " + on + " cpu/cpu1/state1/disable=0 cpu/cpu1/state3/disable=0";
    Check({
        { idle, "C2", "IOCTL_SET_CPU_STATE 2 0x00000000 idle=C1E usage+=10 time+=9000us\n", all.c_str() },
        { idle + "cpu/cpu{0-2}/state2/name!never", "C2", "IOCTL_SET_CPU_STATE 2 0xC0000185 idle=C1E usage+=0 time+=0us\n", all.c_str() },
        { idle + "cpu/cpu1/state1/disable!deny", "C2", "IOCTL_SET_CPU_STATE 2 0xC0000022 idle=C1E\n", (off + "! " + on).c_str() },
        { idle + "cpu/cpu1/state0/disable!refuse:0", "C2; fix; close", "IOCTL_SET_CPU_STATE 2 0x80000011 idle=C1E usage+=10 time+=9000us restore-failed=1\n",
          (off + " cpu/cpu1/state3/disable=1 " + on + "! cpu/cpu1/state1/disable=0 cpu/cpu1/state3/disable=0 cpu/cpu1/state0/disable=0").c_str() },
    });
}

/* The fan and the duty cycle: each mechanism, the values applied and read back, put back at the last
   close under the root they were read under; one that cannot stays kept, is noted and tried again. */
TEST(HostBackend, FanDutyCycleAndPutBack)
{
    const std::string full = "power/state=mem; power/mem_sleep=[s2idle] deep; power/mem_sleep!refuse:s2idle; cpu/online=0-1023;"
        "cpu/cpuidle/current_driver=acpi_idle; cpu/cpu0/state{0-1}/name={POLL,C1}; cpu/cpu0/state{0-1}/disable=0; cpu/cpu0/state{0-1}/usage=0;"
        "cpu/cpu0/state{0-1}/time=0; cpu/cpu0/state0/disable!refuse:0; cool1/type=Fan; cool1/max_state=3; cool1/cur_state=0;"
        "cpu/cpu{0-1023}/cpufreq/cpuinfo_max_freq=4700000; cpu/cpu{0-1023}/cpufreq/scaling_max_freq=4700000";
    Check({
        { kLaptop + "; cool1/cur_state!then:cool1/cur_state=1; cpu/intel_pstate/max_perf_pct!then:cpu/intel_pstate/max_perf_pct=100", "fan 1; duty 60",
          "IOCTL_SET_FAN 1 0xC0000185 mechanism=cooling_device1 applied=1\nIOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=intel_pstate applied=100\n",
          "cool1/cur_state=3 cpu/intel_pstate/max_perf_pct=60" },
        { "cool{3-4}/type=Processor; cool{3-4}/max_state={15,10}; cool{3-4}/cur_state=0", "caps; duty 70; duty 0; close",
          "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=256 idle=none fan=none throttle=processor rtc=none\n"
          "IOCTL_SET_DUTY_CYCLE 70 0x00000000 mechanism=processor applied=5 max=10 devices=2\n"
          "IOCTL_SET_DUTY_CYCLE 0 0x00000000 mechanism=processor applied=15 max=10 devices=2\n",
          "cool3/cur_state=5 cool4/cur_state=3 cool3/cur_state=15 cool4/cur_state=10 cool4/cur_state=0 cool3/cur_state=0" },
        { "cpu/online=0-1; cpu/cpu{0-2}/cpufreq/cpuinfo_max_freq={4700000,3000000,3000000}; cpu/cpu{0-2}/cpufreq/scaling_max_freq={4700000,3000000,3000000}",
          "caps; duty 60; close", "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=256 idle=none fan=none throttle=cpufreq rtc=none\n"
          "IOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=cpufreq applied=2820000kHz max=4700000kHz\n", "cpu/cpu0/cpufreq/scaling_max_freq=2820000 "
          "cpu/cpu1/cpufreq/scaling_max_freq=1800000 cpu/cpu1/cpufreq/scaling_max_freq=3000000 cpu/cpu0/cpufreq/scaling_max_freq=4700000" },
        { kLaptop, "open C:\\a; fan 1; open C:\\a; open C:\\b; close", "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3\n",
          "C:\\a|cool1/cur_state=3 C:\\a|cool1/cur_state=1" },
        { kLaptop + "; cool1/cur_state!refuse:1", "fan 1; close; open C:\\b; duty 50; fix; close",
          "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3\nPUT_BACK host 0x80000011 kept=1\nPUT_BACK host 0x80000011 kept=1\n"
          "IOCTL_SET_DUTY_CYCLE 50 0xC0000185 mechanism=intel_pstate put-back=pending\n", "cool1/cur_state=3 cool1/cur_state=1! cool1/cur_state=1! cool1/cur_state=1" },
        { full, "duty 50; fan 1; S3; C1",   /* 1024 settings kept: no room for one more */
          "IOCTL_SET_DUTY_CYCLE 50 0x00000000 mechanism=cpufreq applied=2350000kHz max=4700000kHz\n"
          "IOCTL_SET_FAN 1 0xC0000185 mechanism=cooling_device1 put-back=full\n"
          "IOCTL_SET_SLEEP_STATE 4 0xC0000185 state=mem mem_sleep=deep was=s2idle restore=failed put-back=full\n"
          "IOCTL_SET_CPU_STATE 1 0xC0000185 idle=C1 put-back=full usage+=5 time+=4500us restore-failed=1\n", nullptr },
        { kLaptop, "fan 1; unplug; fan 0; close", "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3\nIOCTL_SET_FAN 0 0xC00000BB\n"
          "PUT_BACK host 0xC00000BB kept=1\n", "cool1/cur_state=3" },
    });
}

/* Set clears the alarm, then sets it as seconds from now; Get reads its distance from the RTC's own clock. */
TEST(HostBackend, RtcAlarm)
{
    const std::string rtc = "rtc/since_epoch=1000000000; rtc/wakealarm; clock=2026,12,6,15,0,0 UTC; ";
    const char *set = "IOCTL_SET_RTC_ALARM 2026,12,6,15,59,0,0,0 ", *get = "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 ";
    Check({
        { rtc, "get; set 2026,12,6,15,59,0,0,0; get; set 2026,12,6,3,0,0,0,0",
          get + std::string("0x00000000 reply=0,0,0,0,0,0,0,0 wakealarm=none\n") + set + "0x00000000 wakealarm=+3540 fires=2026,12,6,15,59,0\n" + get +
          "0x00000000 reply=2026,12,6,15,59,0,0,0 wakealarm=1000003540 since_epoch=1000000000\n"
          "IOCTL_SET_RTC_ALARM 2026,12,6,3,0,0,0,0 0x00000000 wakealarm=+43200 passed fires=2026,12,7,3,0,0\n",
          "rtc/wakealarm=0 rtc/wakealarm=+3540 rtc/wakealarm=0 rtc/wakealarm=+43200" },
        { "rtc/since_epoch=1774695600; rtc/wakealarm; clock=2026,3,28,11,0,0 Berlin", "set 2026,3,29,12,0,0,0,6; get",
          "IOCTL_SET_RTC_ALARM 2026,3,29,12,0,0,0,6 0x00000000 wakealarm=+82800 fires=2026,3,29,12,0,0\n" + std::string(get) +
          "0x00000000 reply=2026,3,29,12,0,0,0,0 wakealarm=1774778400 since_epoch=1774695600\n", "rtc/wakealarm=0 rtc/wakealarm=+82800" },
        { rtc + "rtc/wakealarm!take:3", "set 2026,12,6,15,59,0,0,0", set + std::string("0xC0000185 wakealarm=+3540 fires=2026,12,6,15,59,0\n"),
          "rtc/wakealarm=0 rtc/wakealarm=+3540" },
        { rtc + "rtc/wakealarm=1000003540; clock!read:C0000003", "set 2026,12,6,15,59,0,0,0; get",
          set + std::string("0xC0000185 clock=failed\n") + get + "0xC0000185 clock=failed\n", "" },
    });
}
