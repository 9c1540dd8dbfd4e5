/* The host backend's requests on a fake machine, a row a machine: what is done to it, the journal lines and every write, in order. */
#include "standin-driver/hostrules.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>

namespace {

/* The machine: entries separated by ';', "PATH=TEXT" (TEXT and a line end), "PATH" (empty), "PATH!deny" (writing refused) and "PATH!refuse:VALUE"
   (writing VALUE is busy).  PATH leaves out "sys/", and "cpu/", "cpuN/stateK", "coolN/", "hwmonN/" and "rtc/" stand for devices/system/cpu/,
   cpuN/cpuidle/stateK, class/thermal/cooling_deviceN/, class/hwmon/hwmonN/ and class/rtc/rtc0/; "{2-5}" makes an entry for each number, a TEXT
   "{a,b,...}" giving each its item.  Writes act as the kernel's: power/state takes a word it lists, mem_sleep and disk bracket the word written,
   wakealarm takes 0 or +N (since_epoch + N) and is busy while set.  Each millisecond of the idle wait adds 1 to the usage and 900 to the time of
   each enabled state of an online CPU. */
struct File { std::string text, refuse; bool deny = false; };
std::map<std::string, File> g_files;
std::string g_writes, g_journal;   /* writes: "PATH=VALUE", "!" after when failed, a blank between */

std::string Short(std::string p)
{
    for (auto cut : std::vector<std::pair<std::string, std::string>>{ {"sys/devices/system/cpu/", "cpu/"}, {"/cpuidle/state", "/state"},
             {"sys/class/thermal/cooling_device", "cool"}, {"sys/class/hwmon/hwmon", "hwmon"}, {"sys/class/rtc/rtc0/", "rtc/"}, {"sys/", ""} })
        p = p.find(cut.first) == std::string::npos ? p : p.replace(p.find(cut.first), cut.first.size(), cut.second);
    return p;
}

uint32_t Access(const std::string &p) { return !g_files.count(p) ? HOST_STATUS_OBJECT_NAME_NOT_FOUND : g_files[p].deny ? HOST_STATUS_ACCESS_DENIED : 0; }

/* A write as the kernel's file takes it. */
uint32_t Kernel(const std::string &p, std::string &text, const std::string &v)
{
    std::istringstream words(text);
    std::string chosen, w;
    bool listed = false;
    for (; words >> w; chosen += (chosen.empty() ? "" : " ") + (w == v ? "[" + w + "]" : w), listed |= w == v)
        w = w[0] == '[' ? w.substr(1, w.size() - 2) : w;
    if (p == "power/state" || p == "power/mem_sleep" || p == "power/disk")
        return text = listed && p != "power/state" ? chosen + "\n" : text, listed ? 0 : ACPISIM_STATUS_INVALID_PARAMETER;
    uint64_t now = p == "rtc/wakealarm" ? std::stoull(g_files["rtc/since_epoch"].text) : 0,
             at = now ? std::stoull(v.substr(v[0] == '+')) + (v[0] == '+' ? now : 0) : 0;
    if (now && at > now && !text.empty())
        return HOST_STATUS_DEVICE_BUSY;
    return text = !now ? v + "\n" : at > now ? std::to_string(at) + "\n" : "", 0;
}

uint32_t Read(void *, const uint16_t *, const char *path, char *buf, uint32_t size, uint32_t *got)
{
    std::string p = Short(path), text = g_files.count(p) ? g_files[p].text : "";
    std::memcpy(buf, text.data(), *got = (uint32_t)std::min<size_t>(text.size(), size));
    return !g_files.count(p) ? HOST_STATUS_OBJECT_NAME_NOT_FOUND : *got ? 0 : HOST_STATUS_END_OF_FILE;   /* as Wine reads an empty file */
}

uint32_t Write(void *, const uint16_t *, const char *path, const char *text, uint32_t length, uint32_t *written)
{
    std::string p = Short(path), v(text, length - (length && text[length - 1] == '\n'));
    uint32_t st = Access(p);
    st = st ? st : !g_files[p].refuse.empty() && g_files[p].refuse == v ? HOST_STATUS_DEVICE_BUSY : Kernel(p, g_files[p].text, v);
    *written = st ? 0 : length;
    g_writes += (g_writes.empty() ? "" : " ") + p + "=" + v + (st ? "!" : "");
    return st;
}

uint32_t CanWrite(void *, const uint16_t *, const char *path) { return Access(Short(path)); }

void Idle(void *, uint32_t milliseconds)
{
    uint8_t online[HOST_MAX_CPUS / 8] = {};
    HostParseCpuList(g_files["cpu/online"].text.c_str(), online);
    for (auto &f : g_files) {   /* an enabled state of an online CPU: "cpu/cpuN/stateK/disable" holding 0 */
        unsigned cpu;
        int end = 0;
        if (std::sscanf(f.first.c_str(), "cpu/cpu%u/state%*u/disable%n", &cpu, &end) == 1 && end == (int)f.first.size()
            && f.second.text == "0\n" && (online[cpu / 8] >> cpu % 8 & 1))
            for (auto add : { std::make_pair("usage", 1u), std::make_pair("time", 900u) }) {
                std::string &n = g_files[f.first.substr(0, end - 7) + add.first].text;
                n = std::to_string(std::stoull(n) + add.second * milliseconds) + "\n";
            }
    }
}

uint32_t Now(void *, HOST_CLOCK *clock)   /* 2026-12-06 15:00 UTC, the rows' now; an entry "clock" makes it fail */
{
    const RTC_ALARM_TIME t = { 2026, 12, 6, 15, 0, 0, 0, 0 };
    return *clock = { HostRecordToSeconds(&t), {} }, g_files.count("clock") ? HOST_STATUS_DEVICE_NOT_READY : 0;
}

const HOST_PLATFORM kFake = { nullptr, Read, Write, CanWrite, Idle, Now };

/* An entry, one for each number of the first range in its path; item: its place in the last range. */
void Add(const std::string &entry, size_t item)
{
    size_t mark = entry.find_first_of("=!"), open = entry.find('{');
    for (int n = open < mark ? std::stoi(entry.substr(open + 1)) : 0, first = n;
         open < mark && n <= std::stoi(entry.substr(entry.find('-', open) + 1)); n++)
        Add(entry.substr(0, open) + std::to_string(n) + entry.substr(entry.find('}') + 1), (size_t)(n - first));
    if (open < mark)
        return;
    File &f = g_files[entry.substr(0, mark)];
    std::string rest = mark == std::string::npos ? "" : entry.substr(mark + 1);
    std::istringstream items(rest[0] == '{' ? rest.substr(1, rest.size() - 2) : "");
    for (size_t i = 0, list = rest[0] == '{'; list && i <= item; i++)
        std::getline(items, rest, ',');
    if (mark == std::string::npos || entry[mark] == '=')
        f.text = mark == std::string::npos ? "" : rest + "\n";
    else
        rest == "deny" ? (void)(f.deny = true) : (void)(f.refuse = rest.substr(rest.find(':') + 1));
}

void PutBackFailed(const ACPISIM_BACKEND *be, uint32_t status)
{
    char line[ACPISIM_JOURNAL_LINE];
    g_journal += std::string(line, AcpiSimPutBackLine(be, status, line, sizeof line) - 2) + "\n";
}

/* Steps separated by ';': a request ("caps", "S3", "C2", "fan 1", "duty 60", "set Y,M,D,h,m,s,ms,wd", "get") or "close" (the last
   handle, with what it puts back).  Each row's journal lines end in \n; writes nullptr: not compared. */
struct Row { std::string machine; const char *steps; std::string journal; const char *writes; };

const std::string kLaptop =
    "power/state=freeze mem disk; power/mem_sleep=s2idle [deep]; power/disk=[platform] shutdown; cpu/online=0-3; cpu/cpuidle/current_driver=intel_idle;"
    "cpu/cpu{0-4}/state{0-6}/name={POLL,C1,C1E,C3,C6,C8,C10}; cpu/cpu{0-4}/state{0-6}/disable=0; cool0/type=intel_powerclamp; cool1/type=Fan;"
    "cool1/max_state=3; cool1/cur_state=1; cool2/type=TCC Offset; cpu/intel_pstate/max_perf_pct=100; cpu/cpu{0-4}/cpufreq/scaling_max_freq=4700000;"
    "rtc/since_epoch=1000000000; rtc/wakealarm";

}  // namespace

TEST(HostBackend, EachRequestOnAMachine)
{
    const Row rows[] = {
        /* The capability query: a bit for each feature whose files are there and take writing; a file that is
           there but refuses fails the whole query, naming it.  Then each request on the machine. */
        { kLaptop, "caps; S3; fan 1; fan 0; duty 60; close; close",
          "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=1020 idle=intel_idle C1=C1 C2=C3 C3=C10 fan=cooling_device1 throttle=intel_pstate rtc=rtc0\n"
          "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep\nIOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3\n"
          "IOCTL_SET_FAN 0 0x00000000 mechanism=cooling_device1 applied=0\nIOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=intel_pstate applied=60\n",
          "power/state=mem cool1/cur_state=3 cool1/cur_state=0 cpu/intel_pstate/max_perf_pct=60 cpu/intel_pstate/max_perf_pct=100 cool1/cur_state=1" },
        { "hwmon0/name=nct6775; hwmon0/pwm2=120; hwmon0/pwm2!deny", "caps; fan 1", "IOCTL_GET_CAPABILITIES 0 0xC0000022 idle=none "
          "denied=sys/class/hwmon/hwmon0/pwm2\nIOCTL_SET_FAN 1 0xC0000022 mechanism=hwmon0/pwm2\n", "" },
        { "cpu/intel_pstate/max_perf_pct=100; cpu/intel_pstate/max_perf_pct!deny", "caps",
          "IOCTL_GET_CAPABILITIES 0 0xC0000022 idle=none fan=none denied=sys/devices/system/cpu/intel_pstate/max_perf_pct\n", "" },
        /* S3 and S4 choose the platform's sleep and put the mode back; the counters tell a real sleep from an aborted one. */
        { "power/state=freeze mem disk; power/mem_sleep=[s2idle] deep; power/disk=platform [shutdown] reboot", "S3; S4; S1; S2",
          "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep was=s2idle\nIOCTL_SET_SLEEP_STATE 5 0x00000000 state=disk disk=platform "
          "was=shutdown\nIOCTL_SET_SLEEP_STATE 2 0xC00000BB state=standby-missing\nIOCTL_SET_SLEEP_STATE 3 0xC00000BB S2=none\n",
          "power/mem_sleep=deep power/state=mem power/mem_sleep=s2idle power/disk=platform power/state=disk power/disk=shutdown" },
        { "power/state=mem disk; power/mem_sleep=[s2idle] deep; power/disk=[platform]; power/suspend_stats/success=7; power/suspend_stats/fail=2;"
          "power/mem_sleep!refuse:s2idle", "S3; S4", "IOCTL_SET_SLEEP_STATE 4 0xC0000185 state=mem mem_sleep=deep was=s2idle restore=failed "
          "suspend_stats success+=0 fail+=0\nIOCTL_SET_SLEEP_STATE 5 0x00000000 state=disk disk=platform\n",
          "power/mem_sleep=deep power/state=mem power/mem_sleep=s2idle! power/state=disk" },
        /* Only the mapped state stays enabled on the online CPUs (CPU 2 is not) for the wait; every flag changed goes back. */
        { "cpu/online=0-1; cpu/cpuidle/current_driver=intel_idle; cpu/cpu{0-2}/state{0-3}/name={POLL,C1,C1E,C6}; cpu/cpu{0-2}/state{0-3}/disable=0;"
          "cpu/cpu{0-2}/state{0-3}/usage=0; cpu/cpu{0-2}/state{0-3}/time=0; cpu/cpu0/state3/disable=1", "C2",
          "IOCTL_SET_CPU_STATE 2 0x00000000 idle=C1E usage+=10 time+=9000us\n",
          "cpu/cpu0/state0/disable=1 cpu/cpu0/state1/disable=1 cpu/cpu1/state0/disable=1 cpu/cpu1/state1/disable=1 cpu/cpu1/state3/disable=1 "
          "cpu/cpu0/state0/disable=0 cpu/cpu0/state1/disable=0 cpu/cpu1/state0/disable=0 cpu/cpu1/state1/disable=0 cpu/cpu1/state3/disable=0" },
        { "cpu/online=0-69; cpu/cpuidle/current_driver=intel_idle; cpu/cpu{0-69}/state{0-15}/name={POLL,C1,C2,C3,C4,C5,C6,C7,C8,C9,C10,C11,C12,C13,C14,C15};"
          "cpu/cpu{0-69}/state{0-15}/disable=0; cpu/cpu{0-69}/state{0-15}/disable!refuse:0; cpu/cpu{0-69}/state{0-15}/usage=0; cpu/cpu{0-69}/state{0-15}/time=0",
          "C1; close", "IOCTL_SET_CPU_STATE 1 0x80000011 idle=C1 put-back=full usage+=350 time+=315000us restore-failed=1050\n"
          "PUT_BACK host 0x80000011 kept=1024\n", nullptr },
        /* The duty cycle's mechanisms, put back at the last close; a setting refused then stays kept, noted and tried again. */
        { "cool{3-4}/type=Processor; cool{3-4}/max_state={15,10}; cool{3-4}/cur_state=0", "caps; duty 70; duty 0; close",
          "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=256 idle=none fan=none throttle=processor rtc=none\n"
          "IOCTL_SET_DUTY_CYCLE 70 0x00000000 mechanism=processor applied=5 max=15 devices=2\n"
          "IOCTL_SET_DUTY_CYCLE 0 0x00000000 mechanism=processor applied=15 max=15 devices=2\n",
          "cool3/cur_state=5 cool4/cur_state=3 cool3/cur_state=15 cool4/cur_state=10 cool4/cur_state=0 cool3/cur_state=0" },
        { "cpu/online=0-1; cpu/cpu{0-2}/cpufreq/cpuinfo_max_freq={4700000,3000000,3000000}; cpu/cpu{0-2}/cpufreq/scaling_max_freq={4700000,3000000,3000000}",
          "caps; duty 60; close", "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=256 idle=none fan=none throttle=cpufreq rtc=none\n"
          "IOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=cpufreq applied=2820000kHz max=4700000kHz\n", "cpu/cpu0/cpufreq/scaling_max_freq=2820000 "
          "cpu/cpu1/cpufreq/scaling_max_freq=1800000 cpu/cpu1/cpufreq/scaling_max_freq=3000000 cpu/cpu0/cpufreq/scaling_max_freq=4700000" },
        { kLaptop + "; cool1/cur_state!refuse:1", "fan 1; close; duty 50; close", "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3\n"
          "PUT_BACK host 0x80000011 kept=1\nIOCTL_SET_DUTY_CYCLE 50 0x00000000 mechanism=intel_pstate applied=50\nPUT_BACK host 0x80000011 kept=1\n",
          "cool1/cur_state=3 cool1/cur_state=1! cpu/intel_pstate/max_perf_pct=50 cpu/intel_pstate/max_perf_pct=100 cool1/cur_state=1!" },
        /* Set clears the alarm, then sets it as seconds from now; Get reads its distance from the RTC's own clock. */
        { "rtc/since_epoch=1000000000; rtc/wakealarm", "set 2026,12,6,15,59,0,0,0; set 2026,12,6,3,0,0,0,0; get",
          "IOCTL_SET_RTC_ALARM 2026,12,6,15,59,0,0,0 0x00000000 wakealarm=+3540 fires=2026,12,6,15,59,0\nIOCTL_SET_RTC_ALARM 2026,12,6,3,0,0,0,0 "
          "0x00000000 wakealarm=+43200 passed fires=2026,12,7,3,0,0\nIOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=2026,12,7,3,0,0,0,1 "
          "wakealarm=1000043200 since_epoch=1000000000\n", "rtc/wakealarm=0 rtc/wakealarm=+3540 rtc/wakealarm=0 rtc/wakealarm=+43200" },
        { "rtc/since_epoch=1000000000; rtc/wakealarm; clock", "set 2026,12,6,15,59,0,0,0", "IOCTL_SET_RTC_ALARM 2026,12,6,15,59,0,0,0 0xC0000185 clock=failed\n", "" },
    };
    for (const Row &row : rows) {
        g_files.clear(), g_writes.clear(), g_journal.clear();
        std::istringstream machine(row.machine), in(row.steps);
        for (std::string entry; std::getline(machine >> std::ws, entry, ';');)
            Add(entry, 0);
        AcpiSimHostReset(), AcpiSimHostSetPlatform(&kFake);
        ACPISIM_CONFIG cfg;
        AcpiSimDefaultConfig(&cfg);
        cfg.HostIdleMilliseconds = 5;
        AcpiSimHost.Open(&cfg);
        for (std::string step; std::getline(in, step, ';');) {
            std::string verb, arg;
            std::istringstream(step) >> verb >> arg;
            RTC_ALARM_TIME t = {};
            std::sscanf(arg.c_str(), "%hu,%hu,%hu,%hu,%hu,%hu,%hu,%hu", &t.Year, &t.Month, &t.Day, &t.Hour, &t.Minute, &t.Second, &t.Milliseconds, &t.Weekday);
            uint32_t value = verb.size() == 2 ? verb[1] - '0' + (verb[0] == 'S') : (uint32_t)std::atoi(arg.c_str());
            uint32_t code = verb == "caps" ? 0x22014C : verb[0] == 'S' ? 0x220140 : verb[0] == 'C' ? 0x220144 : verb == "fan" ? 0x220148
                          : verb == "duty" ? 0x220150 : verb == "set" ? 0x220154 : verb == "get" ? 0x220158 : 0, size = code >= 0x220154 ? 16 : 4;
            ACPISIM_REQUEST rq{ code, size == 16 ? (void *)&t : &value, size, size, 0, {}, 0 };
            if (verb == "close")
                AcpiSimReleaseBackends(PutBackFailed);
            if (code && (AcpiSimRequest(&AcpiSimHost, &cfg, &rq), true))
                g_journal += std::string(rq.Journal, rq.JournalLength - 2) + "\n";
        }
        AcpiSimHostReset(), AcpiSimHostSetPlatform(nullptr);
        EXPECT_EQ(g_journal + "writes: " + (row.writes ? g_writes : ""), row.journal + "writes: " + (row.writes ? row.writes : "")) << row.machine << "\n" << row.steps;
    }
}
