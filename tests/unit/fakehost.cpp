#include "tests/unit/fakehost.h"
#include <algorithm>
#include <cstring>
#include <sstream>

HOST_ZONE Berlin() { return { -60, 0, -60, { 0, 10, 0, 5, 3, 0, 0, 0 }, { 0, 3, 0, 5, 2, 0, 0, 0 } }; }

namespace {

using File = FakeHost::File;

/* The file of a path below the root (by its short name), or none and the status of a missing one. */
File *Find(void *ctx, std::string p, uint32_t *st, std::string *name = nullptr)
{
    for (auto cut : std::vector<std::pair<std::string, std::string>>{ {"sys/devices/system/cpu/", "cpu/"}, {"/cpuidle/state", "/state"},
             {"sys/class/thermal/cooling_device", "cool"}, {"sys/class/hwmon/hwmon", "hwmon"}, {"sys/class/rtc/rtc0/", "rtc/"}, {"sys/", ""} })
        p = p.find(cut.first) == std::string::npos ? p : p.replace(p.find(cut.first), cut.first.size(), cut.second);
    auto it = ((FakeHost *)ctx)->files.find(name ? *name = p : p);
    *st = it == ((FakeHost *)ctx)->files.end() ? HOST_STATUS_OBJECT_NAME_NOT_FOUND : 0;
    return *st ? nullptr : &it->second;
}

/* A write as the kernel's file takes it. */
uint32_t Kernel(FakeHost &h, const std::string &p, std::string &text, const std::string &v)
{
    std::istringstream words(text.substr(0, text.find('\n')));
    std::string chosen, w;
    bool listed = false, choice = p == "power/mem_sleep" || p == "power/disk";
    for (; words >> w; chosen += (chosen.empty() ? "" : " ") + (w == v ? "[" + w + "]" : w), listed |= w == v)
        w = w[0] == '[' ? w.substr(1, w.size() - 2) : w;
    if (choice || p == "power/state")
        return text = listed && choice ? chosen + "\n" : text, listed ? 0 : ACPISIM_STATUS_INVALID_PARAMETER;
    uint64_t now = p == "rtc/wakealarm" ? std::stoull(h.files["rtc/since_epoch"].text) : 0;
    uint64_t at = now ? std::stoull(v.substr(v[0] == '+')) + (v[0] == '+' ? now : 0) : 0;
    if (now && at > now && !text.empty())
        return HOST_STATUS_DEVICE_BUSY;
    text = !now ? v + "\n" : at > now ? std::to_string(at) + "\n" : "";
    return 0;
}

uint32_t Read(void *ctx, const uint16_t *, const char *path, char *buf, uint32_t size, uint32_t *got)
{
    uint32_t st;
    File *f = Find(ctx, path, &st);
    *got = 0;
    if (!f || (st = f->read))
        return st;
    *got = (uint32_t)std::min<size_t>({ f->text.size(), size, f->cut });
    std::memcpy(buf, f->text.data(), *got);
    return *got ? 0 : HOST_STATUS_END_OF_FILE;   /* as Wine reads an empty file */
}

uint32_t Write(void *ctx, const uint16_t *root, const char *path, const char *text, uint32_t length, uint32_t *written)
{
    FakeHost &h = *(FakeHost *)ctx;
    std::string value(text, length - (length && text[length - 1] == '\n')), name, r;
    uint32_t st, taken = 0;
    File *f = Find(ctx, path, &st, &name);
    if (f && !(st = f->deny ? HOST_STATUS_ACCESS_DENIED : f->write)) {
        taken = std::min(length, f->take);
        st = !f->refuse.empty() && f->refuse == value ? HOST_STATUS_DEVICE_BUSY : Kernel(h, name, f->text, value.substr(0, taken));
        for (size_t i = 0; !st && i < f->then.size(); i++)
            h.files[f->then[i].substr(0, f->then[i].find('='))].text = f->then[i].substr(f->then[i].find('=') + 1) + "\n";
    }
    *written = st ? 0 : taken;
    for (; *root; root++)
        r += (char)*root;
    h.writes.push_back((r == "Z:\\" ? "" : r + "|") + name + "=" + value + (st ? "!" : ""));
    return st;
}

uint32_t CanWrite(void *ctx, const uint16_t *, const char *path)
{
    uint32_t st;
    File *f = Find(ctx, path, &st);
    return f && f->deny ? HOST_STATUS_ACCESS_DENIED : st;
}

void Idle(void *ctx, uint32_t milliseconds)
{
    auto &files = ((FakeHost *)ctx)->files;
    uint8_t online[HOST_MAX_CPUS / 8];
    HostParseCpuList(files["cpu/online"].text.c_str(), online);
    for (uint32_t tick = 0; tick < milliseconds; tick++)
        for (unsigned cpu = 0; cpu < HOST_MAX_CPUS; cpu++) {
            std::string deepest, s;
            for (int k = 0; (online[cpu / 8] >> cpu % 8 & 1)
                            && files.count((s = "cpu/cpu" + std::to_string(cpu) + "/state" + std::to_string(k) + "/") + "name"); k++)
                deepest = files[s + "disable"].text == "0\n" && !files[s + "name"].never ? s : deepest;
            for (auto add : { std::make_pair("usage", 1), std::make_pair("time", 900) })
                if (!deepest.empty())
                    files[deepest + add.first].text = std::to_string(std::stoull(files[deepest + add.first].text) + add.second) + "\n";
        }
}

uint32_t Now(void *ctx, HOST_CLOCK *clock)
{
    File &f = ((FakeHost *)ctx)->files["clock"];
    RTC_ALARM_TIME t = {};
    char zone[8] = "";
    std::sscanf(f.text.c_str(), "%hu,%hu,%hu,%hu,%hu,%hu %7s", &t.Year, &t.Month, &t.Day, &t.Hour, &t.Minute, &t.Second, zone);
    *clock = { HostRecordToSeconds(&t), std::strcmp(zone, "Berlin") ? HOST_ZONE{} : Berlin() };
    return f.read;
}

/* An entry, one for each number of the first range in its path; item: its place in the last range. */
void Add(FakeHost &h, const std::string &entry, size_t item)
{
    size_t mark = entry.find_first_of("=!"), open = entry.find('{');
    for (int n = open < mark ? std::stoi(entry.substr(open + 1)) : 0, first = n;
         open < mark && n <= std::stoi(entry.substr(entry.find('-', open) + 1)); n++)
        Add(h, entry.substr(0, open) + std::to_string(n) + entry.substr(entry.find('}') + 1), (size_t)(n - first));
    if (open < mark)
        return;
    File &f = h.files[entry.substr(0, mark)];
    std::string rest = mark == std::string::npos ? "" : entry.substr(mark + 1), key = rest.substr(0, rest.find(':'));
    std::string arg = rest.substr(std::min(key.size() + 1, rest.size()));
    std::istringstream items(rest[0] == '{' ? rest.substr(1, rest.size() - 2) : "");
    for (size_t i = 0, list = rest[0] == '{'; list && i <= item; i++)
        std::getline(items, rest, ',');
    if (mark == std::string::npos || entry[mark] == '=')
        f.text = mark == std::string::npos ? "" : rest + "\n";
    else if (key == "read" || key == "write")
        (key == "read" ? f.read : f.write) = (uint32_t)std::stoul(arg, nullptr, 16);
    else if (key == "cut" || key == "take")
        (key == "cut" ? f.cut : f.take) = (uint32_t)std::stoul(arg);
    else
        key == "deny" ? f.deny = true : key == "never" ? f.never = true : key == "refuse" ? (f.refuse = arg, true) : (f.then.push_back(arg), true);
}

}  // namespace

FakeHost::FakeHost(const std::string &machine) : platform{ this, Read, Write, CanWrite, Idle, Now }
{
    AcpiSimHostReset();
    AcpiSimHostSetPlatform(&platform);
    std::istringstream in(machine);
    for (std::string entry; std::getline(in, entry, ';');)
        if (entry.find_first_not_of(' ') != std::string::npos)
            Add(*this, entry.substr(entry.find_first_not_of(' ')), 0);
}

FakeHost::~FakeHost() { AcpiSimHostReset(), AcpiSimHostSetPlatform(nullptr); }

void FakeHost::Fix()
{
    for (auto &f : files) {
        File clean;
        clean.text = f.second.text;
        f.second = clean;
    }
}
