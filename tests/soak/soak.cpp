/* A seeded random operator on the rows' steps (--seed=N --steps=M); step n
   is a pure function of the seed, n and what is up.  After each step the
   program answers and its log only grew; at the end the log tells the
   journal's requests in order, each failed one in red, and the program holds
   the handles and windows it held after its first dialogs (Wine's apart). */
#include "tests/rows/rows.h"
#include "tests/soak/resources.h"
#include "driver/acpiioctl.h"
#include "res/texts.h"
#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include <regex>
#include <sstream>

using namespace vt;

namespace {

const char *const kPages[] = {"C1 C2 C3 C1T C2T C3T", "S1 S2 S3 S4 S1T S2T S3T S4T", "FAN FANON FANOFF DUTY PCT DUTYT",
                              "RTC HOUR MIN SEC AMPM SET GET"};
const char *const kTyped[] = {"", "0", "7", "12", "45", "59", "100", "145", "ab", "99999999999"};
const char *const kNames[] = {"a", "b", "a.TXT", "no\\x", "L*300"};

/* Step n of the seed where w is up (see Up), from a generator of its own. */
std::string Choose(uint32_t seed, int n, const std::vector<std::string> &w)
{
    uint64_t h = std::mt19937_64((uint64_t)seed << 32 | (uint32_t)n)();
    auto pick = [&](size_t k) { size_t r = h % k; h /= k; return r; };
    if (w[0] == "box")
        return w[1] == "ok" ? "O" : pick(4) ? "Y" : "N";
    size_t r = pick(16);
    if (w[0] == "saveas")
        return r < 2 ? "dcancel" : r < 4 ? "pair:" + std::to_string(1 + pick(2)) : r < 9 ? "save"
               : std::string("name:C:\\save\\") + kNames[pick(5)];
    if (w[0] == "sheet" && (r < 4 || w.size() == 2))
        return r == 0 ? "ok" : r == 1 ? "cancel" : "p" + std::to_string(pick(4));
    if (w[0] == "sheet") {
        const std::string &c = w[2 + pick(w.size() - 2)];
        if (c == "AMPM")
            return "top:AMPM=" + std::to_string(pick(2));
        return (c == "PCT" || c == "HOUR" || c == "MIN" || c == "SEC") ? "t:" + c + "=" + kTyped[pick(10)] : "c:" + c;
    }
    const char *const menu[] = {"start", "start", "filter", "filter", "filter", "saveas", "about", "fault"};
    char fault[48];   /* the seven codes lie four apart */
    snprintf(fault, sizeof fault, "fault:%x,%lx,%x", pick(2) ? 0 : IOCTL_SET_SLEEP_STATE + 4 * (unsigned)pick(7),
             pick(2) ? 0xC0000001ul : 0x80000005ul, pick(4) ? 0 : IOCTL_SET_SLEEP_STATE + 4 * (unsigned)pick(7));
    return r % 8 == 7 ? fault : menu[r % 8];
}

/* The program's topmost dialog: {"box", "yn" or "ok"}, {"saveas"}, or
   {"sheet", its page, the page's enabled controls}; else {"main"}. */
std::vector<std::string> Up(Play &p)
{
    for (HWND h = GetTopWindow(NULL); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD pid = 0;
        char cls[16] = "";
        GetWindowThreadProcessId(h, &pid);
        GetClassNameA(h, cls, sizeof cls);
        if (pid != p.app->pid || !IsWindowVisible(h) || strcmp(cls, "#32770") != 0)
            continue;
        if (GetDlgItem(h, cmb13) || GetDlgItem(h, edt1))
            return {"saveas"};
        if (Text(h) != FILTER_CAPTION)
            return {"box", GetDlgItem(h, IDNO) ? "yn" : "ok"};
        int page = (int)SendMessageA((HWND)SendMessageA(h, PSM_GETTABCONTROL, 0, 0), TCM_GETCURSEL, 0, 0);
        std::vector<std::string> up = {"sheet", std::to_string(page)};
        std::istringstream names(kPages[page]);
        for (std::string c; names >> c; p.seen.pop_back()) {
            Step(p, "?:" + c);
            if (p.seen.back().find("disabled") == std::string::npos)
                up.push_back(c);
        }
        return up;
    }
    return {"main"};
}

/* "fault:CODE,STATUS,SHORT" (hex, 0 none), read by the driver at the next
   open of the device: made here. */
void Fault(const std::string &step)
{
    unsigned long v[3] = {};
    sscanf(step.c_str(), "fault:%lx,%lx,%lx", &v[0], &v[1], &v[2]);
    for (int i = 0; i < 3; i++)
        DriverSet(i == 0 ? "FailCode" : i == 1 ? "FailStatus" : "ShortReply", std::to_string(v[i]));
    CloseHandle(CreateFileA(ACPI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, 0, NULL));
}

/* The requests the log tells of, in order, as Sent writes them. */
std::vector<std::string> Told(const std::vector<std::string> &log)
{
    static const std::pair<std::regex, const char *> kTold[] = {
        {std::regex(R"(n (Running the "Placing the CPU|Placing the processor) into C(\d).*)"), "IOCTL_SET_CPU_STATE $2"},
        {std::regex(R"(n (Running the "Placing the system into the|Placing the System into) S(\d).*)"), "IOCTL_SET_SLEEP_STATE S$2"},
        {std::regex(R"(n (Running the ")?Turning the fan ON.*)"), "IOCTL_SET_FAN 1"},
        {std::regex(R"(n (Running the ")?Turning the fan OFF.*)"), "IOCTL_SET_FAN 0"},
        {std::regex(R"(n (Running the "Throttle the CPU|Setting the CPU duty cycle) to (\d+)%.*)"), "IOCTL_SET_DUTY_CYCLE $2"},
        {std::regex(R"(n Setting RTC Alarm to .*)"), "IOCTL_SET_RTC_ALARM"},
        {std::regex(R"(n The RTC Wake Alarm is currently set for .*)"), "IOCTL_GET_RTC_ALARM"},
        {std::regex(R"(r The RTC Wake Alarm could not be read.*)"), "IOCTL_GET_RTC_ALARM|IOCTL_GET_RTC_ALARM failed"},
        {std::regex(R"(r The driver request (\w+) failed with system error \d+\.)"), "$1 failed"}};
    std::vector<std::string> told;
    for (const std::string &line : log)
        for (const auto &t : kTold)
            if (std::regex_match(line, t.first)) {
                std::istringstream parts(std::regex_replace(line, t.first, t.second));
                for (std::string s; std::getline(parts, s, '|');)
                    told.push_back(s);
            }
    return told;
}

/* The journal's requests after the start-up query, a failed one followed by "NAME failed". */
std::vector<std::string> Sent(const std::vector<std::string> &journal)
{
    std::vector<std::string> sent;
    for (size_t i = 1; i < journal.size(); i++) {
        std::istringstream fields(journal[i]);
        std::string name, value, status;
        fields >> name >> value >> status;
        value = name == "IOCTL_SET_SLEEP_STATE" ? "S" + std::to_string(std::stoi(value) - 1) : value;
        sent.push_back(name.find("RTC") != std::string::npos ? name : name + " " + value);
        if (status != "0x00000000")
            sent.push_back(name + " failed");
    }
    return sent;
}

}  // namespace

TEST(Soak, ReplayedOperator)
{
    uint32_t seed = 1;
    int steps = 300, n = 0;
    for (int i = 1; i < __argc; i++)
        sscanf(__argv[i], "--seed=%u", &seed), sscanf(__argv[i], "--steps=%d", &steps);
    Unix("rm -rf \"$WINEPREFIX/drive_c/save\" && mkdir \"$WINEPREFIX/drive_c/save\"");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32");
    DriverReset();
    WriteIni(nullptr);
    Play p;
    std::string log, failed, stepped;
    Resources start, end;
    try {
        p.app.reset(new App());
        std::istringstream first("filter c:C1 c:C1 p1 p2 p3 cancel about saveas dcancel start N N N N N N N N N");
        for (std::string s; first >> s;)
            Step(p, s);   /* what the first uses load and keep */
        start = CountResources(p.app->pid, p.app->process);
        /* After the last step: No, OK or Cancel until the main window is back. */
        for (std::vector<std::string> up; ++n <= steps || ((up = Up(p))[0] != "main" && n <= steps + 100);) {
            std::string step = n <= steps ? Choose(seed, n, Up(p)) : up[0] == "saveas" ? "dcancel" : up[0] == "sheet" ? "cancel"
                             : up[1] == "yn" ? "N" : "O";
            stepped += " " + step;
            step.compare(0, 6, "fault:") ? Step(p, step) : Fault(step);
            p.app->Settle();
            std::string now = Text(p.app->pane);
            size_t at = std::mismatch(log.begin(), log.end(), now.begin(), now.end()).first - log.begin();
            if (at < log.size())
                throw Error("the log lost or changed its text from \"" + log.substr(at, 60) + "\" on");
            log = now;
        }
        end = CountResources(p.app->pid, p.app->process);
        Step(p, "exit");
    } catch (const std::exception &e) {
        failed = e.what();
    }
    std::string report = "seed " + std::to_string(seed) + ", step " + std::to_string(n) + "; the last steps:" +
                         stepped.substr(stepped.size() > 400 ? stepped.size() - 400 : 0);
    ASSERT_EQ(failed, "") << report;
    EXPECT_EQ(p.app->Exited(), 0u) << report;
    std::vector<std::string> journal = Journal(), sent = Sent(journal), told = Told(p.log);
    size_t part = std::mismatch(told.begin(), told.end(), sent.begin(), sent.end()).first - told.begin();
    EXPECT_EQ(told, sent) << "the log and the journal part at entry " << part << "; " << report;
    EXPECT_EQ(end.handles - end.wineKeys, start.handles - start.wineKeys) << "handles; " << report;
    EXPECT_EQ(end.windows, start.windows) << "windows; " << report;
    std::string all;   /* an alarm's time of day comes from the clock */
    for (const std::string &line : journal)
        all += std::regex_replace(line, std::regex(R"(\d+(,\d+){7})"), "alarm") + "\n";
    printf("soak seed %u, %d steps and %d to close:%s\njournal: %u requests, %u failed, digest %08X\n", seed, steps, n - 1 - steps,
           stepped.c_str(), (unsigned)journal.size(), (unsigned)(sent.size() - journal.size() + 1), (unsigned)std::hash<std::string>()(all));
}
