/* VMTCYCLE.EXE under Wine with the stand-in driver: a row a run, with the
   driver's settings and the switches, and what the run printed, returned
   and left in its log, its JUnit report (as Python's XML parser reads it)
   and the driver's journal. */
#include "tests/harness/harness.h"
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>

using namespace vt;

namespace {

struct CycleRow {
    const char *name, *driver;   /* settings "Name=value ..."; "off" stopped; "ctrl-c" after the first line */
    const char *switches;
    DWORD exit;
    std::vector<std::string> console;   /* '*' a number; "..." the lines that follow */
    std::vector<std::string> junit;     /* "tests failures", then a case a line: "name time message" */
    std::vector<std::string> journal;
};

#define CAPS "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=*"
#define ALARM "IOCTL_SET_RTC_ALARM *,*,*,*,*,*,0,* 0x00000000", \
              "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=*,*,*,*,*,*,0,*"
#define SLEPT ALARM, "IOCTL_SET_SLEEP_STATE 4 0x00000000 woke=alarm after=*s"
#define PASSED(n, of) "cycle " #n " of " #of ": S3, woke after *.* s (alarm 1 s): pass"
#define EARLY "woke early: it never slept, or something else woke it"
#define LATE "woke late: more than 1 s after the alarm, which did not wake it"
#define REFUSED "IOCTL_SET_SLEEP_STATE failed with system error 31: General failure."
#define SHORT "the alarm read back is 15 of 16 bytes"
#define NO_DRIVER "no driver: \\\\.\\ACPI cannot be opened: system error 2: File not found."
#define NO_S3 "S3 is not supported on this machine (capability mask 0x31)"

const CycleRow kRows[] = {
    {"ThreeCyclesPass", "SleepWake=1", "/sleep:S3 /count:3 /wake:1 /delay:0", 0,
     {PASSED(1, 3), PASSED(2, 3), PASSED(3, 3),
      "summary: 3 of 3 cycles run, 3 passed, 0 failed, longest wake *.* s, shortest wake *.* s"},
     {"3 0", "cycle 1 *.* pass", "cycle 2 *.* pass", "cycle 3 *.* pass"}, {CAPS, SLEPT, SLEPT, SLEPT}},
    /* The driver's default: the request returns at once, its journal line as ever. */
    {"NeverSlept", "", "-SLEEP:s1 -Count:1 /WAKE:2", 1,
     {"cycle 1 of 1: S1, woke after 0.0 s (alarm 2 s): fail: " EARLY,
      "summary: 1 of 1 cycles run, 0 passed, 1 failed, longest wake 0.0 s, shortest wake 0.0 s"},
     {"1 1", "cycle 1 0.* " EARLY}, {CAPS, ALARM, "IOCTL_SET_SLEEP_STATE 2 0x00000000"}},
    {"WokeLate", "SleepWake=2 SleepLateSeconds=3", "/sleep:S3 /count:1 /wake:1 /tolerance:1", 1,
     {"cycle 1 of 1: S3, woke after *.* s (alarm 1 s): fail: " LATE, "..."},
     {"1 1", "cycle 1 *.* " LATE}, {CAPS, ALARM, "IOCTL_SET_SLEEP_STATE 4 0x00000000 woke=late after=*s"}},
    /* S4 has no capability bit: the request tells. */
    {"SleepRequestFails", "SleepWake=1 FailCode=0x220140", "/sleep:S4 /count:1 /wake:1", 1,
     {"cycle 1 of 1: S4, returned after 0.0 s: fail: " REFUSED, "summary: 1 of 1 cycles run, 0 passed, 1 failed, no wake"},
     {"1 1", "cycle 1 0.* " REFUSED}, {CAPS, ALARM, "IOCTL_SET_SLEEP_STATE 5 0xC0000001"}},
    /* An alarm that does not read back as set is not slept on. */
    {"AlarmReadBackShort", "SleepWake=1 ShortReply=0x220158", "/sleep:S3 /count:2 /wake:1 /delay:0", 1,
     {"cycle 1 of 2: S3, not slept: fail: " SHORT, "cycle 2 of 2: S3, not slept: fail: " SHORT,
      "summary: 2 of 2 cycles run, 0 passed, 2 failed, no wake"},
     {"2 2", "cycle 1 0.000 " SHORT, "cycle 2 0.000 " SHORT}, {CAPS, ALARM, ALARM}},
    {"NoDriver", "off", "/sleep:S3 /count:1 /wake:1", 3, {NO_DRIVER}, {"1 1", "start 0.000 " NO_DRIVER}, {}},
    {"StateNotSupported", "CapabilityMask=0x31", "/sleep:S3 /count:1 /wake:1", 2, {NO_S3}, {"1 1", "start 0.000 " NO_S3},
     {CAPS}},
    {"BadSwitch", "", "/sleep:S3 /count:0 /wake:1", 2,
     {"bad value in \"/count:0\": /count takes 1 to 10000",
      "VMTCYCLE *.*.*: sleep and wake cycles, the RTC alarm waking the machine",
      "usage: VMTCYCLE /sleep:S1|S2|S3|S4 /count:N /wake:SECONDS [/delay:SECONDS] [/tolerance:SECONDS] [/log:FILE] "
      "[/junit:FILE]", "..."}, {}, {}},
    /* Ctrl+C while cycle 2 runs: it ends, then the run. */
    {"CtrlC", "SleepWake=1 ctrl-c", "/sleep:S3 /count:10 /wake:1 /delay:0", 1,
     {PASSED(1, 10), PASSED(2, 10),
      "summary: 2 of 10 cycles run (stopped by Ctrl+C), 2 passed, 0 failed, longest wake *.* s, shortest wake *.* s"},
     {"2 0", "cycle 1 *.* pass", "cycle 2 *.* pass"}, {CAPS, SLEPT, SLEPT}},
};

/* The run, its output into C:\cycle.out; Ctrl+C once its first line is out.
   Wine's processes started from Linux share a console that takes no
   control events: the run gets one of ours. */
DWORD RunProgram(const CycleRow &row, bool ctrlC)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = CreateFileA("C:\\cycle.out", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, NULL);
    PROCESS_INFORMATION pi;
    std::string line = "\"" + g_program + "\" " + row.switches + " /log:C:\\cycle.log /junit:C:\\cycle.xml";
    if ((ctrlC && !(FreeConsole() && AllocConsole())) ||
        !CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, ctrlC ? CREATE_NEW_PROCESS_GROUP : 0, NULL, "C:\\", &si, &pi))
        throw Error("cannot start " + line);
    CloseHandle(si.hStdOutput);
    if (ctrlC) {
        WaitFor([] { return !FileLines("C:\\cycle.out").empty(); }, "the first cycle's line");
        if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, pi.dwProcessId))
            throw Error("Ctrl+C not sent: error " + std::to_string(GetLastError()));
    }
    DWORD code = STILL_ACTIVE;
    WaitFor([&] { return GetExitCodeProcess(pi.hProcess, &code) && code != STILL_ACTIVE; }, "the end of " + line, 60000);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

}  // namespace

class Cycle : public ::testing::TestWithParam<CycleRow> {};

TEST_P(Cycle, Row)
{
    const CycleRow &row = GetParam();
    DriverReset();
    for (const char *f : {"C:\\cycle.log", "C:\\cycle.xml", "C:\\cycle.txt"})
        DeleteFileA(f);
    std::istringstream driver(row.driver);
    for (std::string s; driver >> s;)
        if (s == "off") DriverRunning(false);
        else if (s != "ctrl-c") DriverSet(s.substr(0, s.find('=')), s.substr(s.find('=') + 1));

    EXPECT_EQ(RunProgram(row, strstr(row.driver, "ctrl-c") != NULL), row.exit);
    std::vector<std::string> console = FileLines("C:\\cycle.out"), none;
    EXPECT_EQ(Expect(row.console, console), console) << "the console";
    EXPECT_EQ(FileLines("C:\\cycle.log"), row.junit.empty() ? none : console) << "the log: the console's lines";
    Unix("f=\"$WINEPREFIX/drive_c/cycle\"; [ ! -f \"$f.xml\" ] || python3 -c 'import sys, xml.etree.ElementTree as E\n"
         "r = E.parse(sys.argv[1]).getroot()\nprint(r.get(\"tests\"), r.get(\"failures\"), end=\"\\r\\n\")\n"
         "for c in r.iter(\"testcase\"):\n    f = c.find(\"failure\")\n"
         "    print(c.get(\"name\"), c.get(\"time\"), \"pass\" if f is None else f.get(\"message\"), end=\"\\r\\n\")' "
         "\"$f.xml\" > \"$f.txt\" 2>&1");
    std::vector<std::string> junit = FileLines("C:\\cycle.txt");
    EXPECT_EQ(Expect(row.junit, junit), junit) << "the JUnit report";
    EXPECT_EQ(Expect(row.journal, Journal()), Journal()) << "the driver's journal";
}

INSTANTIATE_TEST_SUITE_P(Runs, Cycle, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<CycleRow> &i) { return std::string(i.param.name); });
