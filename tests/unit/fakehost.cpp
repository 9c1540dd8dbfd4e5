#include "tests/unit/fakehost.h"
#include <cstring>

static std::string Narrow(const uint16_t *root)
{
    std::string s;
    for (; *root; root++)
        s += (char)*root;
    return s;
}

static uint32_t FakeRead(void *ctx, const uint16_t *, const char *path, char *buf, uint32_t size, uint32_t *got)
{
    FakeHost &h = *(FakeHost *)ctx;
    *got = 0;
    auto it = h.files.find(path);
    if (it == h.files.end())
        return HOST_STATUS_OBJECT_NAME_NOT_FOUND;
    const FakeFile &f = it->second;
    if (f.readStatus)
        return f.readStatus;
    size_t n = std::min<size_t>({ f.text.size(), f.shortRead, size });
    std::memcpy(buf, f.text.data(), n);
    *got = (uint32_t)n;
    return n ? 0 : HOST_STATUS_END_OF_FILE;   /* as Wine reads an empty file */
}

static uint32_t FakeWriteFile(void *ctx, const uint16_t *root, const char *path, const char *text,
                              uint32_t length, uint32_t *written)
{
    FakeHost &h = *(FakeHost *)ctx;
    std::string value(text, length);
    if (!value.empty() && value.back() == '\n')
        value.pop_back();
    *written = 0;
    auto it = h.files.find(path);
    uint32_t st = 0;
    if (it == h.files.end())
        st = HOST_STATUS_OBJECT_NAME_NOT_FOUND;
    else if (!it->second.writable)
        st = HOST_STATUS_ACCESS_DENIED;
    else if (it->second.writeStatus)
        st = it->second.writeStatus;
    h.writes.push_back({ Narrow(root), path, value, st });
    if (st)
        return st;
    FakeFile &f = it->second;
    size_t taken = std::min<size_t>(f.shortWrite, length);
    st = f.store ? f.store(h, f, value.substr(0, taken)) : (f.text = value.substr(0, taken) + "\n", 0u);
    h.writes.back().status = st;
    if (!st)
        *written = (uint32_t)taken;
    return st;
}

static uint32_t FakeCanWrite(void *ctx, const uint16_t *, const char *path)
{
    FakeHost &h = *(FakeHost *)ctx;
    h.probes.push_back(path);
    auto it = h.files.find(path);
    if (it == h.files.end())
        return HOST_STATUS_OBJECT_NAME_NOT_FOUND;
    return it->second.writable ? 0 : HOST_STATUS_ACCESS_DENIED;
}

static void FakeIdle(void *ctx, uint32_t ms)
{
    FakeHost &h = *(FakeHost *)ctx;
    h.idled += ms;
    for (uint32_t i = 0; i < ms; i++)
        h.IdleTick();
}

static uint32_t FakeNow(void *ctx, HOST_CLOCK *clock)
{
    *clock = ((FakeHost *)ctx)->clock;
    return ((FakeHost *)ctx)->clockStatus;
}

FakeHost::FakeHost()
    : platform{ this, FakeRead, FakeWriteFile, FakeCanWrite, FakeIdle, FakeNow }
{
    AcpiSimHostReset();
    AcpiSimHostSetPlatform(&platform);
}

FakeHost::~FakeHost()
{
    AcpiSimHostReset();
    AcpiSimHostSetPlatform(nullptr);
}

FakeFile &FakeHost::Set(const std::string &path, const std::string &text)
{
    FakeFile &f = files[path];
    f.text = text;
    return f;
}

std::string FakeHost::Text(const std::string &path) const
{
    auto it = files.find(path);
    return it == files.end() ? "(missing)" : it->second.text;
}

std::vector<std::string> FakeHost::Writes(const std::string &under) const
{
    std::vector<std::string> out;
    for (const FakeWrite &w : writes)
        if (w.path.compare(0, under.size(), under) == 0)
            out.push_back(w.path.substr(under.size()) + "=" + w.value);
    return out;
}

uint32_t FakeHost::Open(const std::u16string &root, uint32_t idleMs)
{
    ACPISIM_CONFIG cfg;
    AcpiSimDefaultConfig(&cfg);
    size_t i = 0;
    for (; i < root.size(); i++)
        cfg.SysfsRoot[i] = root[i];
    cfg.SysfsRoot[i] = 0;
    cfg.HostIdleMilliseconds = idleMs;
    return AcpiSimHost.Open(&cfg);
}

uint32_t FakeHost::Action(FakeHost &, FakeFile &f, const std::string &value)
{
    std::string words = " " + f.text.substr(0, f.text.find('\n')) + " ";
    return words.find(" " + value + " ") == std::string::npos ? ACPISIM_STATUS_INVALID_PARAMETER : 0;
}

uint32_t FakeHost::Choice(FakeHost &, FakeFile &f, const std::string &value)
{
    std::string out, word, line = f.text.substr(0, f.text.find('\n')) + " ";
    bool found = false;
    for (char c : line) {
        if (c != ' ') {
            if (c != '[' && c != ']')
                word += c;
            continue;
        }
        if (word.empty())
            continue;
        found |= word == value;
        out += (out.empty() ? "" : " ") + (word == value ? "[" + word + "]" : word);
        word.clear();
    }
    if (!found)
        return ACPISIM_STATUS_INVALID_PARAMETER;
    f.text = out + "\n";
    return 0;
}

uint32_t FakeHost::WakeAlarm(FakeHost &h, FakeFile &f, const std::string &value)
{
    unsigned long long now = std::stoull(h.Text("sys/class/rtc/rtc0/since_epoch"));
    bool relative = !value.empty() && value[0] == '+';
    unsigned long long at = std::stoull(relative ? value.substr(1) : value) + (relative ? now : 0);
    if (at <= now) {
        f.text = "";
        return 0;
    }
    if (!f.text.empty())
        return HOST_STATUS_DEVICE_BUSY;
    f.text = std::to_string(at) + "\n";
    return 0;
}

void FakeHost::IdleTick()
{
    const std::string cpuDir = "sys/devices/system/cpu/";
    uint8_t online[HOST_MAX_CPUS / 8];
    if (!HostParseCpuList(Text(cpuDir + "online").c_str(), online))
        return;
    for (unsigned cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
        if (!((online[cpu / 8] >> (cpu % 8)) & 1))
            continue;
        /* The deepest enabled state the processor can enter. */
        std::string chosen;
        for (unsigned k = 0;; k++) {
            std::string dir = cpuDir + "cpu" + std::to_string(cpu) + "/cpuidle/state" + std::to_string(k) + "/";
            if (!files.count(dir + "name"))
                break;
            std::string name = Text(dir + "name");
            name.pop_back();
            bool never = false;
            for (const std::string &n : neverEntered)
                never |= n == name;
            if (Text(dir + "disable") == "0\n" && !never)
                chosen = dir;
        }
        if (chosen.empty())
            continue;
        files[chosen + "usage"].text = std::to_string(std::stoull(Text(chosen + "usage")) + 1) + "\n";
        files[chosen + "time"].text = std::to_string(std::stoull(Text(chosen + "time")) + 900) + "\n";
    }
}

const std::vector<std::string> kIntelIdleStates = { "POLL", "C1", "C1E", "C3", "C6", "C8", "C10" };

void AddSleep(FakeHost &h, const std::string &state, const std::string &memSleep, const std::string &disk)
{
    h.Set("sys/power/state", state + "\n").store = FakeHost::Action;
    if (!memSleep.empty())
        h.Set("sys/power/mem_sleep", memSleep + "\n").store = FakeHost::Choice;
    if (!disk.empty())
        h.Set("sys/power/disk", disk + "\n").store = FakeHost::Choice;
}

void AddIdle(FakeHost &h, const std::string &driver, const std::vector<std::string> &names,
             const std::string &online, unsigned cpus)
{
    const std::string cpuDir = "sys/devices/system/cpu/";
    h.Set(cpuDir + "online", online + "\n");
    h.Set(cpuDir + "cpuidle/current_driver", driver + "\n");
    for (unsigned cpu = 0; cpu < cpus; cpu++)
        for (unsigned k = 0; k < names.size(); k++) {
            std::string dir = cpuDir + "cpu" + std::to_string(cpu) + "/cpuidle/state" + std::to_string(k) + "/";
            h.Set(dir + "name", names[k] + "\n");
            h.Set(dir + "disable", "0\n");
            h.Set(dir + "usage", std::to_string(1000 * (k + 1) + cpu) + "\n");
            h.Set(dir + "time", std::to_string(500000 * (k + 1)) + "\n");
        }
}

void AddCooling(FakeHost &h, unsigned index, const std::string &type, unsigned maxState, unsigned cur)
{
    std::string dir = "sys/class/thermal/cooling_device" + std::to_string(index) + "/";
    h.Set(dir + "type", type + "\n");
    h.Set(dir + "max_state", std::to_string(maxState) + "\n");
    h.Set(dir + "cur_state", std::to_string(cur) + "\n");
}

void AddPstate(FakeHost &h)
{
    h.Set("sys/devices/system/cpu/intel_pstate/status", "active\n");
    h.Set("sys/devices/system/cpu/intel_pstate/max_perf_pct", "100\n");
    h.Set("sys/devices/system/cpu/intel_pstate/min_perf_pct", "20\n");
}

void AddCpufreq(FakeHost &h, unsigned cpus)
{
    for (unsigned cpu = 0; cpu < cpus; cpu++) {
        std::string dir = "sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/cpufreq/";
        h.Set(dir + "cpuinfo_max_freq", "4700000\n");
        h.Set(dir + "scaling_max_freq", "4700000\n");
    }
}

void AddRtc(FakeHost &h, const std::string &sinceEpoch)
{
    h.Set("sys/class/rtc/rtc0/since_epoch", sinceEpoch + "\n");
    h.Set("sys/class/rtc/rtc0/wakealarm", "").store = FakeHost::WakeAlarm;
}

void BuildLaptop(FakeHost &h)
{
    AddSleep(h);
    AddIdle(h, "intel_idle", kIntelIdleStates);
    AddCooling(h, 0, "intel_powerclamp", 50);
    AddCooling(h, 1, "Fan", 3);
    AddCooling(h, 2, "TCC Offset", 63);
    AddPstate(h);
    AddCpufreq(h);
    AddRtc(h);
}
