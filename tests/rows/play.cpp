/* One row: a clean start, the steps, and what was left compared. */
#include "tests/rows/rows.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

using namespace vt;

std::string Q(unsigned id) { return "#" + std::to_string(id); }

std::vector<std::string> AllSkipped()
{
    return {"b The \"Placing the CPU into C1\" test was skipped...", "b The \"Placing the CPU into C2\" test was skipped...",
            "b The \"Placing the CPU into C3\" test was skipped...",
            "b The \"Placing the system into the S1 state\" test was skipped...",
            "b The \"Placing the system into the S2 state\" test was skipped...",
            "b The \"Placing the system into the S3 state\" test was skipped...",
            "b The \"Turning the fan ON\" test was skipped...", "b The \"Turning the fan OFF\" test was skipped...",
            "b The \"Throttle the CPU\" tests were skipped..."};
}

std::vector<std::string> With(std::vector<std::string> head, const std::vector<std::string> &tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const char *Ini(const char *digits)
{
    static std::set<std::string> texts;
    const char *const keys[] = {"S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState", "C1CPUState",
                                "C2CPUState", "C3CPUState", "FanOnOff", "CPUDutyCycle", "RTCAlarm"};
    std::string text = "[ACPI VMT's]\r\n";
    for (int i = 0; i < 10 && digits[i]; i++)
        text += std::string(keys[i]) + "=" + digits[i] + "\r\n";
    return texts.insert(text).first->c_str();
}

namespace {

const char kHostRoot[] = "C:\\vmt-host";
const char kDlls[] = "Software\\Wine\\AppDefaults\\VERUVEZ.EXE\\DllOverrides";   /* Wine's, for this program */
const char kTheme[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

/* A fake machine (tests/host/make-tree.sh) that runs while the row does. */
void HostMachine(const std::string &profile)
{
    if (Unix("\"$VMT_HOST_TESTS/make-tree.sh\" " + profile + " \"$WINEPREFIX/drive_c/vmt-host\" --running") != 0)
        throw Error("cannot make the fake machine " + profile + " (VMT_HOST_TESTS: tests/host)");
    DriverSet("SysfsRoot", kHostRoot);
    DriverSet("HostIdleMilliseconds", "500");
    DriverSet("Backend", "host");
}

/* The expected lines as the program and today fill them: "#ID" the
   program's own string, {y} {m} {d} {w} today's date. */
std::vector<std::string> Fill(std::vector<std::string> want)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    const std::pair<const char *, int> fields[] = {{"{y}", st.wYear}, {"{m}", st.wMonth}, {"{d}", st.wDay}, {"{w}", st.wDayOfWeek}};
    for (std::string &s : want) {
        if (s.size() > 1 && s[0] == '#' && s.find_first_not_of("0123456789", 1) == std::string::npos)
            s = T(std::stoi(s.substr(1)));
        for (const auto &f : fields)
            for (size_t at; (at = s.find(f.first)) != std::string::npos;)
                s.replace(at, 3, std::to_string(f.second));
    }
    return want;
}

}  // namespace

/* Wine's settings for one row: a program started without RICHED32.DLL, or
   without a visual style (its pages then paint in the system's colours). */
struct WineSettings {
    std::string theme;   /* ThemeActive before the row, when changed */
    void NoRichEdit() { RegSetKeyValueA(HKEY_CURRENT_USER, kDlls, "riched32", REG_SZ, "", 1); }
    void Classic()
    {
        char was[8] = "1";
        DWORD n = sizeof was;
        RegGetValueA(HKEY_CURRENT_USER, kTheme, "ThemeActive", RRF_RT_REG_SZ, NULL, was, &n);
        theme = was;
        RegSetKeyValueA(HKEY_CURRENT_USER, kTheme, "ThemeActive", REG_SZ, "0", 2);
    }
    ~WineSettings()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kDlls);
        if (!theme.empty())
            RegSetKeyValueA(HKEY_CURRENT_USER, kTheme, "ThemeActive", REG_SZ, theme.c_str(), (DWORD)theme.size() + 1);
    }
};

void PlayRow(const Row &row)
{
    WineSettings wine;
    Unix("rm -rf \"$WINEPREFIX/drive_c/save\" \"$WINEPREFIX/drive_c/vmt-host\"");
    CreateDirectoryA("C:\\save", NULL);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32");
    DriverReset();
    int show = -1;
    std::istringstream driver(row.driver);
    for (std::string s; driver >> s;) {
        if (s == "off") DriverRunning(false);
        else if (s == "min") show = SW_SHOWMINIMIZED;
        else if (s == "max") show = SW_SHOWMAXIMIZED;
        else if (s.compare(0, 5, "host:") == 0) HostMachine(s.substr(5));
        else if (s == "norichedit") wine.NoRichEdit();
        else if (s == "classic") wine.Classic();
        else DriverSet(s.substr(0, s.find('=')), s.substr(s.find('=') + 1));
    }
    WriteIni(row.iniBefore);

    Play p;
    p.app.reset(new App(show));
    std::istringstream steps(row.operate);
    for (std::string s; steps >> s;)
        Step(p, s);
    if (p.app->Exited() == STILL_ACTIVE)
        Step(p, "exit");
    std::vector<std::string> machine;
    for (const std::string &m : row.machine) {
        std::string name = m.substr(0, m.find('=')), text = ReadFile(std::string(kHostRoot) + "\\" + name);
        machine.push_back(name + "=" + text.substr(0, text.find('\n')));
    }

    EXPECT_EQ(Expect(Fill(row.seen), p.seen), p.seen) << "the boxes and readouts";
    EXPECT_EQ(Expect(Fill(row.log), p.log), p.log) << "the log";
    EXPECT_EQ(Expect(Fill(row.journal), Journal()), Journal()) << "the driver's journal";
    EXPECT_EQ(row.iniAfter ? row.iniAfter : "(none)", ReadIni()) << "the settings file";
    EXPECT_EQ(row.machine, machine) << "the machine after the last close";
}
