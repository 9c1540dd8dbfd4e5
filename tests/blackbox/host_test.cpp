/* The stand-in driver's host backend as an operator meets it: the program
   and the whole driver running on fake machines (tests/host/make-tree.sh),
   never on this machine's own /sys.  A small stand-in for the kernel keeps
   each fake machine behaving like one between the requests. */
#include "tests/blackbox/blackbox.h"
#include <algorithm>
#include <cstdio>
#include <map>
#include <regex>

namespace {

const char kRoot[] = "C:\\vmt-host-tree";
const DWORD kIdleMs = 300;   /* HostIdleMilliseconds: the processor-state requests' wait */

std::string Path(const std::string &rel)
{
    std::string p = std::string(kRoot) + "\\" + rel;
    for (char &c : p)
        if (c == '/')
            c = '\\';
    return p;
}

std::string ReadAll(const std::string &path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "(missing)";
    char buf[512];
    DWORD got = 0;
    ReadFile(h, buf, sizeof buf, &got, NULL);
    CloseHandle(h);
    return std::string(buf, got);
}

void WriteAll(const std::string &path, const std::string &text)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, CREATE_ALWAYS, 0, NULL);
    DWORD put = 0;
    WriteFile(h, text.data(), (DWORD)text.size(), &put, NULL);
    CloseHandle(h);
}

std::string FirstLine(const std::string &text) { return text.substr(0, text.find('\n')); }

void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName, path = dir + "\\" + name;
            if (name == "." || name == "..")
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(f, &fd));
        FindClose(f);
    }
    RemoveDirectoryA(dir.c_str());
}

void CopyTree(const std::string &from, const std::string &to)
{
    CreateDirectoryA(to.c_str(), NULL);
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + "\\" + name, to + "\\" + name);
        else
            CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(f, &fd));
    FindClose(f);
}

/* A fake machine under kRoot and the kernel's part in it: a write to
   power/state is an action the file does not keep, a word written to
   mem_sleep or disk becomes the bracketed choice, "+N" written to the
   wakealarm is the RTC's clock plus N.  Settle() applies those between
   requests.  While a processor-state request leaves some idle state
   disabled, each online CPU enters the deepest state still enabled (unless
   it never enters that one), so its usage and time grow. */
class FakeMachine {
public:
    ~FakeMachine() { Stop(); }

    void Build(const std::string &profile, const std::vector<std::string> &neverEntered = {})
    {
        char exe[MAX_PATH];
        GetModuleFileNameA(NULL, exe, sizeof exe);
        std::string dir = exe;
        dir = dir.substr(0, dir.rfind('\\')) + "\\..\\host-trees\\" + profile;
        ASSERT_NE(GetFileAttributesA(dir.c_str()), INVALID_FILE_ATTRIBUTES)
            << dir << " is missing: the CTest fixture host_trees (tests/host/make-tree.sh) makes it";
        RemoveTree(kRoot);
        CopyTree(dir, kRoot);
        for (const char *file : { "sys/power/state", "sys/power/mem_sleep", "sys/power/disk" })
            canonical_[file] = Value(file);
        /* Which CPUs are online and their idle states' names do not change. */
        states_.clear();
        std::string online = Value("sys/devices/system/cpu/online");
        if (online != "(missing)" && !online.empty()) {
            size_t dash = online.find('-');
            int lo = std::stoi(online), hi = dash == std::string::npos ? lo : std::stoi(online.substr(dash + 1));
            for (int cpu = lo; cpu <= hi; cpu++)
                for (int k = 0;; k++) {
                    std::string name = Value(StateDir(cpu, k) + "name");
                    if (name == "(missing)")
                        break;
                    states_.push_back({ StateDir(cpu, k), name, cpu });
                }
        }
        never_ = neverEntered;
        /* The root before the backend: the driver never meets the host
           backend without it. */
        bb::SetDriverParameter("SysfsRoot", std::string(kRoot));
        bb::SetDriverParameter("HostIdleMilliseconds", kIdleMs);
        bb::SetDriverParameter("Backend", std::string("host"));
        stop_ = 0;
        thread_ = CreateThread(NULL, 0, IdleLoop, this, 0, NULL);
    }

    void Stop()
    {
        if (!thread_)
            return;
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = NULL;
    }

    std::string Read(const std::string &rel) const { return ReadAll(Path(rel)); }
    /* A value file as the kernel would show it: its first line (a shorter
       value written over a longer one leaves the rest in a plain file). */
    std::string Value(const std::string &rel) const { return FirstLine(Read(rel)); }
    /* Writes a file, making its folders as needed. */
    void Write(const std::string &rel, const std::string &text)
    {
        std::string path = Path(rel);
        for (size_t at = strlen(kRoot) + 1; (at = path.find('\\', at)) != std::string::npos; at++)
            CreateDirectoryA(path.substr(0, at).c_str(), NULL);
        WriteAll(path, text);
    }

    void Settle()
    {
        std::string state = Value("sys/power/state");
        if (state != canonical_["sys/power/state"] && state != "(missing)") {
            actions.push_back(state);
            Write("sys/power/state", canonical_["sys/power/state"] + "\n");
        }
        for (const char *file : { "sys/power/mem_sleep", "sys/power/disk" }) {
            std::string now = Value(file);
            if (now == "(missing)" || now.find('[') != std::string::npos)
                continue;
            std::string out, word, words = canonical_[file] + " ";
            for (char c : words) {
                if (c == '[' || c == ']')
                    continue;
                if (c != ' ') {
                    word += c;
                    continue;
                }
                out += (out.empty() ? "" : " ") + (word == now ? "[" + word + "]" : word);
                word.clear();
            }
            Write(file, out + "\n");
        }
        std::string alarm = Value("sys/class/rtc/rtc0/wakealarm");
        if (alarm == "0")
            Write("sys/class/rtc/rtc0/wakealarm", "");
        else if (!alarm.empty() && alarm[0] == '+')
            Write("sys/class/rtc/rtc0/wakealarm",
                  std::to_string(std::stoull(Read("sys/class/rtc/rtc0/since_epoch")) + std::stoull(alarm.substr(1))) + "\n");
    }

    /* Every idle-state disable flag of CPUs 0-4 ("0000000 ..."). */
    std::string Flags() const
    {
        std::string out;
        for (int cpu = 0; cpu < 5; cpu++) {
            out += cpu ? " " : "";
            for (int k = 0;; k++) {
                std::string f = Read(StateDir(cpu, k) + "disable");
                if (f == "(missing)")
                    break;
                out += f.substr(0, 1);
            }
        }
        return out;
    }

    std::vector<std::string> actions;   /* written to power/state, in order */

private:
    static std::string StateDir(int cpu, int k)
    {
        return "sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/cpuidle/state" + std::to_string(k) + "/";
    }

    /* Replaces a file at once (a new file renamed over it), so a reader
       never finds it empty or half written. */
    void Replace(const std::string &rel, const std::string &text)
    {
        std::string path = Path(rel), fresh = path + ".new";
        WriteAll(fresh, text);
        if (!MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            DeleteFileA(fresh.c_str());
    }

    void IdleTick()
    {
        for (size_t i = 0; i < states_.size();) {
            int cpu = states_[i].cpu;
            bool restricted = false;
            std::string chosen;
            for (; i < states_.size() && states_[i].cpu == cpu; i++) {
                std::string disable = Read(states_[i].dir + "disable");
                bool never = std::find(never_.begin(), never_.end(), states_[i].name) != never_.end();
                restricted |= disable[0] == '1';
                if (disable[0] == '0' && !never)
                    chosen = states_[i].dir;
            }
            if (!restricted || chosen.empty())
                continue;
            Replace(chosen + "usage", std::to_string(std::stoull(Read(chosen + "usage")) + 1) + "\n");
            Replace(chosen + "time", std::to_string(std::stoull(Read(chosen + "time")) + 5000) + "\n");
        }
    }

    static DWORD WINAPI IdleLoop(void *arg)
    {
        FakeMachine *m = (FakeMachine *)arg;
        while (!m->stop_) {
            m->IdleTick();
            Sleep(10);
        }
        return 0;
    }

    struct IdleState { std::string dir, name; int cpu; };
    std::map<std::string, std::string> canonical_;
    std::vector<IdleState> states_;     /* of the online CPUs, in CPU order */
    std::vector<std::string> never_;
    HANDLE thread_ = NULL;
    volatile LONG stop_ = 0;
};

class HostBackend : public BlackBoxTest {
protected:
    void TearDown() override
    {
        machine.Stop();
        UseSimulatedMachine();
    }

    /* Answers each question Yes, the machine settled first (no request is
       in flight while a box is shown); returns the questions. */
    std::vector<std::string> AnswerYes(const bb::Program &app, size_t boxes)
    {
        std::vector<std::string> texts;
        for (size_t i = 0; i < boxes; i++) {
            bb::MessageBoxInfo box = app.WaitForMessageBox();
            texts.push_back(box.text);
            machine.Settle();
            app.Answer(box, IDYES);
        }
        return texts;
    }

    /* Presses a page's test button and settles the machine; returns the
       journal line it added. */
    std::string Press(const bb::PropertySheet &sheet, int button)
    {
        size_t before = bb::ReadJournal().size();
        sheet.Click(button);
        machine.Settle();
        std::vector<std::string> journal = bb::WaitForJournalLines(before + 1);
        return journal.back();
    }

    /* Sets the alarm to what the RTC page shows (the time it was opened,
       so already passed), reads it back, and checks both ends. */
    void AlarmRoundTrip(bb::Program &app, bb::PropertySheet &sheet)
    {
        sheet.SelectPage(3);
        std::string set = Press(sheet, IDC_RTC_SET_TEST);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(set, m, std::regex("IOCTL_SET_RTC_ALARM (\\d+),(\\d+),(\\d+),(\\d+),(\\d+),(\\d+),0,\\d "
                                                        "0x00000000 wakealarm=\\+(\\d+) passed fires=(\\d+),(\\d+),(\\d+),(\\d+),(\\d+),(\\d+)")))
            << set;
        /* The next time that time of day comes round: the same time tomorrow. */
        SYSTEMTIME when = { (WORD)std::stoi(m[1]), (WORD)std::stoi(m[2]), 0, (WORD)std::stoi(m[3]),
                            (WORD)std::stoi(m[4]), (WORD)std::stoi(m[5]), (WORD)std::stoi(m[6]), 0 };
        FILETIME ft;
        SystemTimeToFileTime(&when, &ft);
        ULARGE_INTEGER t = { { ft.dwLowDateTime, ft.dwHighDateTime } };
        t.QuadPart += 864000000000ull;
        ft = { t.LowPart, t.HighPart };
        FileTimeToSystemTime(&ft, &when);
        EXPECT_EQ(std::to_string(when.wYear) + "," + std::to_string(when.wMonth) + "," + std::to_string(when.wDay),
                  std::string(m[8]) + "," + std::string(m[9]) + "," + std::string(m[10]));
        EXPECT_EQ(std::string(m[11]) + ":" + std::string(m[12]) + ":" + std::string(m[13]),
                  std::string(m[4]) + ":" + std::string(m[5]) + ":" + std::string(m[6]));
        unsigned long long delay = std::stoull(m[7]);
        EXPECT_GT(delay, 86000u) << set;
        EXPECT_LE(delay, 86400u) << set;

        sheet.PostClick(IDC_RTC_GET_TEST);
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        /* The RTC counts whole seconds of its own: the reading may be a
           second later when the two requests straddle a second. */
        char a[96], b[96];
        int sec = std::stoi(m[13]);
        std::snprintf(a, sizeof a, "The RTC Wake Alarm is currently set for %s/%s/%s at %d:%d:%02d", std::string(m[9]).c_str(),
                      std::string(m[10]).c_str(), std::string(m[8]).c_str(), std::stoi(m[11]), std::stoi(m[12]), sec);
        std::snprintf(b, sizeof b, "The RTC Wake Alarm is currently set for %s/%s/%s at %d:%d:%02d", std::string(m[9]).c_str(),
                      std::string(m[10]).c_str(), std::string(m[8]).c_str(), std::stoi(m[11]), std::stoi(m[12]), sec + 1);
        EXPECT_TRUE(box.text == a || (sec < 59 && box.text == b)) << box.text << "\nexpected " << a;
        app.Answer(box, IDOK);
        EXPECT_EQ(bb::ReadJournal().back().substr(0, 49), "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 re");
    }

    FakeMachine machine;
};

const char *const kPassNames[8] = { "Placing the CPU into C1", "Placing the CPU into C2", "Placing the CPU into C3",
    "Placing the system into the S1 state", "Placing the system into the S2 state", "Placing the system into the S3 state",
    "Turning the fan ON", "Turning the fan OFF" };

std::string Running(const std::string &name) { return "Running the \"" + name + "\" test."; }
std::string Unsupported(const std::string &name) { return "The \"" + name + "\" test is not supported on this machine."; }
std::string Failed(const char *request, int error)
{
    return std::string("The driver request ") + request + " failed with system error " + std::to_string(error) + ".";
}

/* A processor-state line: the state, and usage and time that grew. */
std::regex CpuLine(int n, const char *state)
{
    return std::regex("IOCTL_SET_CPU_STATE " + std::to_string(n) + " 0x00000000 idle=" + state +
                      " usage\\+=[1-9][0-9]* time\\+=[1-9][0-9]*us");
}

}  // namespace

TEST_F(HostBackend, LaptopPassEveryTestYes)
{
    machine.Build("laptop");
    bb::Program app;   /* no settings file: every test chosen */
    app.Command(IDM_START);
    AnswerYes(app, 10);   /* C1 C2 C3, S3 and its verdict, fan on and off with theirs, throttling */

    std::vector<std::string> log = { BANNER_TEXT, "", Running(kPassNames[0]), Running(kPassNames[1]), Running(kPassNames[2]),
                                     Unsupported(kPassNames[3]), Unsupported(kPassNames[4]), Running(kPassNames[5]),
                                     Running(kPassNames[6]), Running(kPassNames[7]) };
    for (int p = 10; p <= 90; p += 10)
        log.push_back("Running the \"Throttle the CPU to " + std::to_string(p) + "%\" test.");
    EXPECT_EQ(app.WaitForLogLines(log.size()), log);

    std::vector<std::string> journal = bb::WaitForJournalLines(16);
    for (const std::string &line : journal)
        std::printf("journal: %s\n", line.c_str());
    EXPECT_EQ(journal[0], "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=1020 idle=intel_idle C1=C1 C2=C3 C3=C10 "
                          "fan=cooling_device1 throttle=intel_pstate rtc=rtc0");
    EXPECT_TRUE(std::regex_match(journal[1], CpuLine(1, "C1"))) << journal[1];
    EXPECT_TRUE(std::regex_match(journal[2], CpuLine(2, "C3"))) << journal[2];
    EXPECT_TRUE(std::regex_match(journal[3], CpuLine(3, "C10"))) << journal[3];
    std::vector<std::string> rest = { "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep",
                                      "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3",
                                      "IOCTL_SET_FAN 0 0x00000000 mechanism=cooling_device1 applied=0" };
    for (int p = 10; p <= 90; p += 10)
        rest.push_back("IOCTL_SET_DUTY_CYCLE " + std::to_string(p) + " 0x00000000 mechanism=intel_pstate applied=" + std::to_string(p));
    EXPECT_EQ(std::vector<std::string>(journal.begin() + 4, journal.end()), rest);
    EXPECT_EQ(machine.actions, std::vector<std::string>{ "mem" });
    EXPECT_EQ(machine.Value("sys/devices/system/cpu/intel_pstate/max_perf_pct"), "90");

    /* At the last close the driver puts back what it changed. */
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    bb::WaitUntil([&] { return machine.Value("sys/devices/system/cpu/intel_pstate/max_perf_pct") == "100"; },
                  bb::kTimeout, "max_perf_pct put back to 100");
    EXPECT_EQ(machine.Value("sys/class/thermal/cooling_device1/cur_state"), "0");
    EXPECT_EQ(machine.Flags(), "0000000 0000000 0000000 0000000 0000000");
    EXPECT_EQ(machine.Read("sys/power/mem_sleep"), "s2idle [deep]\n");
}

TEST_F(HostBackend, LaptopTestButtons)
{
    machine.Build("laptop");
    bb::Program app;
    bb::ClearJournal();
    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    EXPECT_TRUE(std::regex_match(Press(sheet, IDC_C1_TEST), CpuLine(1, "C1")));
    EXPECT_TRUE(std::regex_match(Press(sheet, IDC_C2_TEST), CpuLine(2, "C3")));
    EXPECT_TRUE(std::regex_match(Press(sheet, IDC_C3_TEST), CpuLine(3, "C10")));
    sheet.SelectPage(1);
    for (int id : { IDC_S1, IDC_S1_TEST, IDC_S2_TEST })
        EXPECT_FALSE(sheet.IsEnabled(id)) << id;
    EXPECT_EQ(Press(sheet, IDC_S3_TEST), "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep");
    EXPECT_EQ(Press(sheet, IDC_S4_TEST), "IOCTL_SET_SLEEP_STATE 5 0x00000000 state=disk disk=platform");
    sheet.SelectPage(2);
    EXPECT_EQ(Press(sheet, IDC_FAN_ON_TEST), "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3");
    EXPECT_EQ(Press(sheet, IDC_FAN_OFF_TEST), "IOCTL_SET_FAN 0 0x00000000 mechanism=cooling_device1 applied=0");
    sheet.SetText(IDC_DUTY_PERCENT, "50");
    EXPECT_EQ(Press(sheet, IDC_DUTY_TEST), "IOCTL_SET_DUTY_CYCLE 50 0x00000000 mechanism=intel_pstate applied=50");
    AlarmRoundTrip(app, sheet);
    sheet.Cancel();
    EXPECT_EQ(machine.actions, (std::vector<std::string>{ "mem", "disk" }));
    EXPECT_NE(app.LogText().find("Placing the processor into C1\r\nPlacing the processor into C2\r\nPlacing the processor into C3\r\n"
                                 "Placing the System into S3\r\nPlacing the System into S4\r\nTurning the fan ON\r\n"
                                 "Turning the fan OFF\r\nSetting the CPU duty cycle to 50%\r\nSetting RTC Alarm to "),
              std::string::npos) << app.LogText();
    EXPECT_EQ(app.LogText().find("system error"), std::string::npos) << app.LogText();
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    bb::WaitUntil([&] { return machine.Value("sys/devices/system/cpu/intel_pstate/max_perf_pct") == "100"; },
                  bb::kTimeout, "max_perf_pct put back to 100");
}

TEST_F(HostBackend, BareMachinePassAndTestButtonsReportNotSupported)
{
    machine.Build("bare");
    bb::Program app;
    app.Command(IDM_START);
    AnswerYes(app, 6);    /* C1, fan on and off with their verdicts, throttling */
    std::vector<std::string> log = { BANNER_TEXT, "", Running(kPassNames[0]), Failed("IOCTL_SET_CPU_STATE", 50) };
    for (int i = 1; i <= 5; i++)
        log.push_back(Unsupported(kPassNames[i]));
    for (int i = 6; i <= 7; i++)
        log.insert(log.end(), { Running(kPassNames[i]), Failed("IOCTL_SET_FAN", 50) });
    std::vector<std::string> journal = { "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=0 idle=none fan=none throttle=none rtc=none",
                                         "IOCTL_SET_CPU_STATE 1 0xC00000BB idle=none",
                                         "IOCTL_SET_FAN 1 0xC00000BB mechanism=none", "IOCTL_SET_FAN 0 0xC00000BB mechanism=none" };
    for (int p = 10; p <= 90; p += 10) {
        log.insert(log.end(), { "Running the \"Throttle the CPU to " + std::to_string(p) + "%\" test.",
                                Failed("IOCTL_SET_DUTY_CYCLE", 50) });
        journal.push_back("IOCTL_SET_DUTY_CYCLE " + std::to_string(p) + " 0xC00000BB mechanism=none");
    }
    EXPECT_EQ(app.WaitForLogLines(log.size()), log);
    EXPECT_EQ(bb::WaitForJournalLines(journal.size()), journal);

    bb::ClearJournal();
    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    EXPECT_EQ(Press(sheet, IDC_C1_TEST), "IOCTL_SET_CPU_STATE 1 0xC00000BB idle=none");
    for (int id : { IDC_C2_TEST, IDC_C3_TEST })
        EXPECT_FALSE(sheet.IsEnabled(id)) << id;
    sheet.SelectPage(1);
    for (int id : { IDC_S1_TEST, IDC_S2_TEST, IDC_S3_TEST })
        EXPECT_FALSE(sheet.IsEnabled(id)) << id;
    EXPECT_EQ(Press(sheet, IDC_S4_TEST), "IOCTL_SET_SLEEP_STATE 5 0xC00000BB state=disk-missing");
    sheet.SelectPage(2);
    EXPECT_EQ(Press(sheet, IDC_FAN_ON_TEST), "IOCTL_SET_FAN 1 0xC00000BB mechanism=none");
    sheet.SetText(IDC_DUTY_PERCENT, "50");
    EXPECT_EQ(Press(sheet, IDC_DUTY_TEST), "IOCTL_SET_DUTY_CYCLE 50 0xC00000BB mechanism=none");
    sheet.SelectPage(3);
    std::string set = Press(sheet, IDC_RTC_SET_TEST);
    EXPECT_TRUE(std::regex_match(set, std::regex("IOCTL_SET_RTC_ALARM [0-9,]+ 0xC00000BB rtc=none"))) << set;
    sheet.PostClick(IDC_RTC_GET_TEST);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.text, "The RTC Wake Alarm could not be read: the driver request failed with system error 50.");
    app.Answer(box, IDOK);
    sheet.Cancel();
    for (const char *line : { "Placing the processor into C1\r\nThe driver request IOCTL_SET_CPU_STATE failed with system error 50.\r\n",
                              "Placing the System into S4\r\nThe driver request IOCTL_SET_SLEEP_STATE failed with system error 50.\r\n",
                              "The driver request IOCTL_SET_RTC_ALARM failed with system error 50.\r\n" })
        EXPECT_NE(app.LogText().find(line), std::string::npos) << line;
}

/* A sleep the kernel aborted and an idle state the processor never enters
   are failures the operator sees, and nothing is left disabled. */
TEST_F(HostBackend, AbortedSleepAndAStateNeverEnteredAreDeviceErrors)
{
    machine.Build("laptop", { "C10" });
    machine.Write("sys/power/suspend_stats/success", "5\n");
    machine.Write("sys/power/suspend_stats/fail", "0\n");
    bb::Program app;
    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    EXPECT_EQ(Press(sheet, IDC_C3_TEST), "IOCTL_SET_CPU_STATE 3 0xC0000185 idle=C10 usage+=0 time+=0us");
    EXPECT_EQ(machine.Flags(), "0000000 0000000 0000000 0000000 0000000");
    sheet.SelectPage(1);
    EXPECT_EQ(Press(sheet, IDC_S3_TEST),
              "IOCTL_SET_SLEEP_STATE 4 0xC0000185 state=mem mem_sleep=deep suspend_stats success+=0 fail+=0");
    sheet.Cancel();
    for (const char *line : { "Placing the processor into C3\r\nThe driver request IOCTL_SET_CPU_STATE failed with system error 1117.\r\n",
                              "Placing the System into S3\r\nThe driver request IOCTL_SET_SLEEP_STATE failed with system error 1117.\r\n" })
        EXPECT_NE(app.LogText().find(line), std::string::npos) << app.LogText();
}

TEST_F(HostBackend, DesktopTestButtons)
{
    machine.Build("desktop");
    bb::Program app;
    EXPECT_EQ(bb::WaitForJournalLines(1)[0], "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=509 idle=acpi_idle C1=C1 C2=C2 C3=C3 "
                                             "fan=hwmon0/pwm1 throttle=processor rtc=none");
    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    EXPECT_TRUE(std::regex_match(Press(sheet, IDC_C2_TEST), CpuLine(2, "C2")));
    sheet.SelectPage(1);
    EXPECT_EQ(Press(sheet, IDC_S1_TEST), "IOCTL_SET_SLEEP_STATE 2 0x00000000 state=standby");
    EXPECT_FALSE(sheet.IsEnabled(IDC_S2_TEST));   /* Linux has no S2: marked unsupported */
    sheet.SelectPage(2);
    EXPECT_EQ(Press(sheet, IDC_FAN_ON_TEST), "IOCTL_SET_FAN 1 0x00000000 mechanism=hwmon0/pwm1 applied=255");
    sheet.SetText(IDC_DUTY_PERCENT, "50");
    EXPECT_EQ(Press(sheet, IDC_DUTY_TEST), "IOCTL_SET_DUTY_CYCLE 50 0x00000000 mechanism=processor applied=5 max=10 devices=2");
    sheet.Cancel();
    EXPECT_EQ(machine.actions, std::vector<std::string>{ "standby" });
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    bb::WaitUntil([&] { return machine.Value("sys/class/hwmon/hwmon0/pwm1_enable") == "5"; }, bb::kTimeout,
                  "pwm1_enable put back to 5");
    EXPECT_EQ(machine.Value("sys/class/hwmon/hwmon0/pwm1"), "120");
    EXPECT_EQ(machine.Value("sys/class/thermal/cooling_device1/cur_state"), "0");
}
