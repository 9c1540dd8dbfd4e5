/* acpisim.sys seen from a user program, as VERUVEZ.EXE reaches it: every
   refusal with its status, the journal line by line, the registry settings,
   and a long run of random requests. */
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include "driver/acpiioctl.h"

namespace {

const char PARAMS_KEY[] = "System\\CurrentControlSet\\Services\\AcpiSim\\Parameters";
const char JOURNAL[] = "C:\\vmt-driver-test-journal.txt";

const DWORD ERR_INVALID_PARAMETER = 87;  /* STATUS_INVALID_PARAMETER */
const DWORD ERR_INVALID_FUNCTION = 1;    /* STATUS_INVALID_DEVICE_REQUEST */
const DWORD ERR_GEN_FAILURE = 31;        /* STATUS_UNSUCCESSFUL */
const DWORD ERR_IO_DEVICE = 1117;        /* STATUS_IO_DEVICE_ERROR */
const DWORD ERR_NOT_SUPPORTED = 50;      /* STATUS_NOT_SUPPORTED */

const DWORD ALL_CODES[] = {
    IOCTL_SET_SLEEP_STATE, IOCTL_SET_CPU_STATE, IOCTL_SET_FAN, IOCTL_GET_CAPABILITIES,
    IOCTL_SET_DUTY_CYCLE, IOCTL_SET_RTC_ALARM, IOCTL_GET_RTC_ALARM,
};

DWORD SizeOf(DWORD code)
{
    return code == IOCTL_SET_RTC_ALARM || code == IOCTL_GET_RTC_ALARM ? 16 : 4;
}

/* The device as the program opens it.  The driver starts with the prefix's
   services, which may still be starting when this program runs. */
HANDLE OpenDevice()
{
    for (int i = 0; i < 100; i++) {
        HANDLE h = CreateFileA("\\\\.\\ACPI", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        if (h != INVALID_HANDLE_VALUE)
            return h;
        Sleep(100);
    }
    return INVALID_HANDLE_VALUE;
}

struct Device {
    HANDLE h = OpenDevice();
    ~Device() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
    /* Reopens, so the driver reads its settings again. */
    void Reopen()
    {
        CloseHandle(h);
        h = OpenDevice();
    }
};

/* One request: 0 when it succeeded, else the system error code. */
DWORD Request(HANDLE h, DWORD code, void *in, DWORD inLen, void *out, DWORD outLen)
{
    DWORD got;
    SetLastError(0);
    if (DeviceIoControl(h, code, in, inLen, out, outLen, &got, NULL))
        return 0;
    return GetLastError() ? GetLastError() : 0xFFFFFFFF;
}

/* A 4-byte request the program's way: one buffer for input and reply. */
DWORD Value(HANDLE h, DWORD code, DWORD v, DWORD *reply = NULL)
{
    DWORD buf = v;
    DWORD err = Request(h, code, &buf, 4, &buf, 4);
    if (reply)
        *reply = buf;
    return err;
}

bool SameAlarm(const RTC_ALARM_TIME &a, const RTC_ALARM_TIME &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

DWORD SetAlarm(HANDLE h, RTC_ALARM_TIME t)
{
    return Request(h, IOCTL_SET_RTC_ALARM, &t, 16, &t, 16);
}

RTC_ALARM_TIME GetAlarm(HANDLE h, DWORD *err = NULL)
{
    RTC_ALARM_TIME t = {};
    DWORD e = Request(h, IOCTL_GET_RTC_ALARM, &t, 16, &t, 16);
    if (err)
        *err = e;
    return t;
}

/* Sets values under the driver's Parameters key for one test and puts back
   what was there (or removes them) at the end. */
class RegistryValues {
public:
    RegistryValues()
    {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, PARAMS_KEY, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                        &key_, NULL);
    }
    ~RegistryValues()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->existed)
                RegSetValueExA(key_, it->name.c_str(), 0, it->type, it->data.data(),
                               (DWORD)it->data.size());
            else
                RegDeleteValueA(key_, it->name.c_str());
        }
        RegCloseKey(key_);
    }
    bool Open() const { return key_ != NULL; }
    void Dword(const char *name, DWORD v)
    {
        Save(name);
        RegSetValueExA(key_, name, 0, REG_DWORD, (const BYTE *)&v, sizeof v);
    }
    void String(const char *name, const char *v)
    {
        Save(name);
        RegSetValueExA(key_, name, 0, REG_SZ, (const BYTE *)v, (DWORD)std::strlen(v) + 1);
    }
    void Remove(const char *name)
    {
        Save(name);
        RegDeleteValueA(key_, name);
    }

private:
    struct Saved {
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };
    void Save(const char *name)
    {
        Saved s{name, false, 0, std::vector<BYTE>(1024)};
        DWORD size = (DWORD)s.data.size();
        s.existed = RegQueryValueExA(key_, name, NULL, &s.type, s.data.data(), &size) == ERROR_SUCCESS;
        s.data.resize(s.existed ? size : 0);
        saved_.push_back(s);
    }
    HKEY key_ = NULL;
    std::vector<Saved> saved_;
};

std::string ReadFileText(const char *path)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string text;
    char buf[4096];
    DWORD got;
    while (ReadFile(f, buf, sizeof buf, &got, NULL) && got)
        text.append(buf, got);
    CloseHandle(f);
    return text;
}

/* Every test starts with default settings and its own, empty journal. */
class DriverTest : public ::testing::Test {
protected:
    RegistryValues reg;
    Device dev;

    void SetUp() override
    {
        ASSERT_TRUE(reg.Open());
        reg.Remove("CapabilityMask");
        reg.Remove("FailCode");
        reg.Remove("FailStatus");
        reg.String("JournalFile", JOURNAL);
        DeleteFileA(JOURNAL);
        dev.Reopen();
        ASSERT_NE(dev.h, INVALID_HANDLE_VALUE) << "\\\\.\\ACPI does not open: is acpisim.sys installed?";
    }
    std::string Journal() const { return ReadFileText(JOURNAL); }
};

bool g_alarmSet = false; /* by this run of the tests */

TEST_F(DriverTest, AlarmIsZeroUntilSetThenRoundTrips)
{
    DWORD err;
    RTC_ALARM_TIME zero = {};
    if (!g_alarmSet) {
        EXPECT_TRUE(SameAlarm(GetAlarm(dev.h, &err), zero)) << "the alarm before any was set";
    }

    RTC_ALARM_TIME t = {2026, 12, 6, 15, 5, 9, 0, 0};
    ASSERT_EQ(SetAlarm(dev.h, t), 0u);
    g_alarmSet = true;
    EXPECT_TRUE(SameAlarm(GetAlarm(dev.h, &err), t));
    EXPECT_EQ(err, 0u);

    /* The extremes of every field are accepted and come back unchanged. */
    RTC_ALARM_TIME lo = {1980, 1, 1, 0, 0, 0, 0, 0}, hi = {2099, 12, 31, 23, 59, 59, 999, 6};
    ASSERT_EQ(SetAlarm(dev.h, lo), 0u);
    EXPECT_TRUE(SameAlarm(GetAlarm(dev.h), lo));
    ASSERT_EQ(SetAlarm(dev.h, hi), 0u);
    EXPECT_TRUE(SameAlarm(GetAlarm(dev.h), hi));

    /* Get judges nothing of its input: it is only the record to fill. */
    RTC_ALARM_TIME junk = {65535, 99, 99, 99, 99, 99, 9999, 99};
    EXPECT_EQ(Request(dev.h, IOCTL_GET_RTC_ALARM, &junk, 16, &junk, 16), 0u);
    EXPECT_TRUE(SameAlarm(junk, hi));

    /* Another open keeps the machine's state. */
    dev.Reopen();
    EXPECT_TRUE(SameAlarm(GetAlarm(dev.h), hi));
}

TEST_F(DriverTest, EveryWrongSizeAndMissingBufferIsRefusedUntouched)
{
    const DWORD sizes[] = { 0, 1, 2, 3, 4, 5, 8, 12, 15, 16, 17, 32, 4096 };
    std::vector<BYTE> in(4096, 0x5A), out(4096, 0xA5);
    /* Values that would be valid, so only the size is wrong. */
    DWORD valid = 2;
    std::memcpy(in.data(), &valid, 4);
    RTC_ALARM_TIME t = {2026, 1, 2, 3, 4, 5, 0, 1};
    std::string expected;

    for (DWORD code : ALL_CODES) {
        if (code == IOCTL_SET_RTC_ALARM)
            std::memcpy(in.data(), &t, 16);
        for (DWORD wrong : sizes) {
            if (wrong == SizeOf(code))
                continue;
            const DWORD pairs[2][2] = { { wrong, SizeOf(code) }, { SizeOf(code), wrong } };
            for (const auto &p : pairs) {
                std::fill(out.begin(), out.end(), 0xA5);
                EXPECT_EQ(Request(dev.h, code, in.data(), p[0], out.data(), p[1]),
                          ERR_INVALID_PARAMETER)
                    << AcpiIoctlName(code) << " in " << p[0] << " out " << p[1];
                EXPECT_EQ(out[0], 0xA5) << AcpiIoctlName(code) << ": the reply buffer was written";
                EXPECT_EQ(out[p[1] ? p[1] - 1 : 0], 0xA5);
                expected += std::string(AcpiIoctlName(code)) + " - 0xC000000D\r\n";
            }
        }
        /* No buffers at all. */
        EXPECT_EQ(Request(dev.h, code, NULL, 0, NULL, 0), ERR_INVALID_PARAMETER) << AcpiIoctlName(code);
        expected += std::string(AcpiIoctlName(code)) + " - 0xC000000D\r\n";
        EXPECT_EQ(Request(dev.h, code, in.data(), SizeOf(code), NULL, 0), ERR_INVALID_PARAMETER);
        expected += std::string(AcpiIoctlName(code)) + " - 0xC000000D\r\n";
        /* A missing buffer with a length never reaches the driver under Wine:
           a missing reply buffer fails there already, and a missing input is
           refused for the 4-byte codes (for the alarm codes Wine even answers
           success).  The journal below shows the driver saw none of them. */
        Request(dev.h, code, NULL, SizeOf(code), out.data(), SizeOf(code));
        EXPECT_NE(Request(dev.h, code, in.data(), SizeOf(code), NULL, SizeOf(code)), 0u);
    }
    EXPECT_EQ(Journal(), expected);

    /* None of it changed the machine: the next valid requests behave. */
    DWORD mask = 0;
    EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), 0u);
    EXPECT_EQ(mask, 0x37u);
}

TEST_F(DriverTest, UnknownCodesAreInvalidDeviceRequests)
{
    const DWORD unknown[] = {
        0x22013C, 0x22015C, 0x220160,   /* the neighbours of the seven */
        0x220141, 0x220142, 0x220143,   /* Set sleep state, other transfer methods */
        0x224140, 0x0014014C,           /* another access, another device type */
    };
    std::string expected;
    for (DWORD code : unknown) {
        DWORD buf[4] = { 2, 2, 2, 2 };
        EXPECT_EQ(Request(dev.h, code, buf, 4, buf, 4), ERR_INVALID_FUNCTION) << std::hex << code;
        EXPECT_EQ(buf[0], 2u);
        char line[64];
        wsprintfA(line, "0x%08X - 0xC0000010\r\n", (unsigned)code);
        expected += line;
    }
    EXPECT_EQ(Journal(), expected);
}

TEST_F(DriverTest, OutOfRangeValuesAreRefusedAndChangeNothing)
{
    struct Case { DWORD code, value; bool ok; } cases[] = {
        { IOCTL_SET_SLEEP_STATE, 1, false }, { IOCTL_SET_SLEEP_STATE, 2, true },
        { IOCTL_SET_SLEEP_STATE, 5, true },  { IOCTL_SET_SLEEP_STATE, 6, false },
        { IOCTL_SET_SLEEP_STATE, 0xFFFFFFFF, false },
        { IOCTL_SET_CPU_STATE, 0, false },   { IOCTL_SET_CPU_STATE, 1, true },
        { IOCTL_SET_CPU_STATE, 3, true },    { IOCTL_SET_CPU_STATE, 4, false },
        { IOCTL_SET_FAN, 0, true },          { IOCTL_SET_FAN, 1, true },
        { IOCTL_SET_FAN, 2, false },         { IOCTL_SET_FAN, 0x80000001, false },
        { IOCTL_SET_DUTY_CYCLE, 0, true },   { IOCTL_SET_DUTY_CYCLE, 100, true },
        { IOCTL_SET_DUTY_CYCLE, 101, false },{ IOCTL_SET_DUTY_CYCLE, 0xFFFFFF9C, false },
        { IOCTL_GET_CAPABILITIES, 12345, true },  /* its input is a placeholder */
    };
    std::string expected;
    for (const Case &c : cases) {
        DWORD reply = 0;
        EXPECT_EQ(Value(dev.h, c.code, c.value, &reply), c.ok ? 0u : ERR_INVALID_PARAMETER)
            << AcpiIoctlName(c.code) << " " << c.value;
        char line[96];
        wsprintfA(line, "%s %lu %s", AcpiIoctlName(c.code), c.value, c.ok ? "0x00000000" : "0xC000000D");
        expected += line;
        expected += c.code == IOCTL_GET_CAPABILITIES ? " reply=55\r\n" : "\r\n";
        if (c.code != IOCTL_GET_CAPABILITIES) {
            EXPECT_EQ(reply, c.value) << "a refused or done request gives its input back unchanged";
        }
    }
    EXPECT_EQ(Journal(), expected);

    RTC_ALARM_TIME good = {2030, 6, 15, 12, 30, 45, 0, 3};
    ASSERT_EQ(SetAlarm(dev.h, good), 0u);
    g_alarmSet = true;
    struct Bad { const char *what; RTC_ALARM_TIME t; } bad[] = {
        { "year 1979", RTC_ALARM_TIME{1979, 6, 15, 12, 30, 45, 0, 3} },
        { "year 2100", RTC_ALARM_TIME{2100, 6, 15, 12, 30, 45, 0, 3} },
        { "year 0", RTC_ALARM_TIME{0, 6, 15, 12, 30, 45, 0, 3} },
        { "month 0", RTC_ALARM_TIME{2030, 0, 15, 12, 30, 45, 0, 3} },
        { "month 13", RTC_ALARM_TIME{2030, 13, 15, 12, 30, 45, 0, 3} },
        { "day 0", RTC_ALARM_TIME{2030, 6, 0, 12, 30, 45, 0, 3} },
        { "day 32", RTC_ALARM_TIME{2030, 6, 32, 12, 30, 45, 0, 3} },
        { "hour 24", RTC_ALARM_TIME{2030, 6, 15, 24, 30, 45, 0, 3} },
        { "minute 60", RTC_ALARM_TIME{2030, 6, 15, 12, 60, 45, 0, 3} },
        { "second 60", RTC_ALARM_TIME{2030, 6, 15, 12, 30, 60, 0, 3} },
        { "ms 1000", RTC_ALARM_TIME{2030, 6, 15, 12, 30, 45, 1000, 3} },
        { "weekday 7", RTC_ALARM_TIME{2030, 6, 15, 12, 30, 45, 0, 7} },
        { "all 65535", RTC_ALARM_TIME{65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535} },
    };
    for (const Bad &b : bad)
        EXPECT_EQ(SetAlarm(dev.h, b.t), ERR_INVALID_PARAMETER) << b.what;
    EXPECT_TRUE(SameAlarm(GetAlarm(dev.h), good)) << "a refused alarm replaced the last one";
}

TEST_F(DriverTest, JournalHasOneExactLinePerRequestBeforeItCompletes)
{
    struct Step { DWORD code, value, inLen; const char *line; } steps[] = {
        { IOCTL_GET_CAPABILITIES, 0, 4, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55" },
        { IOCTL_SET_CPU_STATE, 1, 4, "IOCTL_SET_CPU_STATE 1 0x00000000" },
        { IOCTL_SET_FAN, 7, 4, "IOCTL_SET_FAN 7 0xC000000D" },
        { IOCTL_SET_DUTY_CYCLE, 50, 2, "IOCTL_SET_DUTY_CYCLE - 0xC000000D" },
        { 0x22015C, 1, 4, "0x0022015C - 0xC0000010" },
        { IOCTL_SET_SLEEP_STATE, 4, 4, "IOCTL_SET_SLEEP_STATE 4 0x00000000" },
        { IOCTL_SET_DUTY_CYCLE, 90, 4, "IOCTL_SET_DUTY_CYCLE 90 0x00000000" },
    };
    std::string expected;
    for (const Step &s : steps) {
        DWORD buf = s.value;
        Request(dev.h, s.code, &buf, s.inLen, &buf, 4);
        expected += std::string(s.line) + "\r\n";
        /* Already on disk when the request has returned. */
        EXPECT_EQ(Journal(), expected);
    }
    RTC_ALARM_TIME t = {2026, 12, 6, 15, 5, 9, 0, 0};
    SetAlarm(dev.h, t);
    g_alarmSet = true;
    GetAlarm(dev.h);
    expected += "IOCTL_SET_RTC_ALARM 2026,12,6,15,5,9,0,0 0x00000000\r\n"
                "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=2026,12,6,15,5,9,0,0\r\n";
    EXPECT_EQ(Journal(), expected);

    /* The journal appends across opens, and an empty JournalFile stops it. */
    dev.Reopen();
    Value(dev.h, IOCTL_SET_FAN, 1);
    expected += "IOCTL_SET_FAN 1 0x00000000\r\n";
    EXPECT_EQ(Journal(), expected);
    reg.String("JournalFile", "");
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 0), 0u);
    EXPECT_EQ(Journal(), expected);
}

TEST_F(DriverTest, InjectedFaultFailsOnlyThatCodeWithItsStatus)
{
    reg.Dword("FailCode", IOCTL_SET_FAN);
    reg.Dword("FailStatus", 0xC0000185); /* STATUS_IO_DEVICE_ERROR */
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 1), ERR_IO_DEVICE);
    EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 0), ERR_IO_DEVICE);
    EXPECT_EQ(Value(dev.h, IOCTL_SET_CPU_STATE, 2), 0u);
    DWORD wrong = 1;
    EXPECT_EQ(Request(dev.h, IOCTL_SET_FAN, &wrong, 2, &wrong, 2), ERR_INVALID_PARAMETER)
        << "a malformed request is refused as such";

    /* A GET code that fails gives no reply; the default status is
       STATUS_UNSUCCESSFUL, and a success status cannot fake a success. */
    reg.Dword("FailCode", IOCTL_GET_CAPABILITIES);
    reg.Remove("FailStatus");
    dev.Reopen();
    DWORD mask = 0;
    EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), ERR_GEN_FAILURE);
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 1), 0u);
    reg.Dword("FailStatus", 0);
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), ERR_GEN_FAILURE);

    reg.Dword("FailCode", IOCTL_GET_RTC_ALARM);
    reg.Dword("FailStatus", 0xC0000185);
    dev.Reopen();
    DWORD err;
    RTC_ALARM_TIME got = GetAlarm(dev.h, &err);
    EXPECT_EQ(err, ERR_IO_DEVICE);
    EXPECT_TRUE(SameAlarm(got, RTC_ALARM_TIME{0, 0, 0, 0, 0, 0, 0, 0}));

    EXPECT_EQ(Journal(),
              "IOCTL_SET_FAN 1 0xC0000185\r\n"
              "IOCTL_SET_FAN 0 0xC0000185\r\n"
              "IOCTL_SET_CPU_STATE 2 0x00000000\r\n"
              "IOCTL_SET_FAN - 0xC000000D\r\n"
              "IOCTL_GET_CAPABILITIES 0 0xC0000001\r\n"
              "IOCTL_SET_FAN 1 0x00000000\r\n"
              "IOCTL_GET_CAPABILITIES 0 0xC0000001\r\n"
              "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC0000185\r\n");

    reg.Remove("FailCode");
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 1), 0u);
}

TEST_F(DriverTest, CapabilityMaskComesFromTheRegistry)
{
    DWORD mask = 0;
    EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), 0u);
    EXPECT_EQ(mask, 0x37u) << "the default: S1, S2, S3, C2, C3";
    reg.Dword("CapabilityMask", ACPI_CAP_S1 | ACPI_CAP_S3 | ACPI_CAP_C2);
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), 0u);
    EXPECT_EQ(mask, 0x15u);
    reg.Dword("CapabilityMask", 0);
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), 0u);
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(Journal(),
              "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55\r\n"
              "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=21\r\n"
              "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=0\r\n");
}

TEST_F(DriverTest, BackendAndJournalSettingsAreHonouredOrRefused)
{
    /* The backend is chosen by name, without regard to case. */
    reg.String("Backend", "Simulated");
    dev.Reopen();
    ASSERT_NE(dev.h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 1), 0u);

    /* An unknown backend refuses the open; Wine hands out the handle all
       the same, so every request then fails, until the name is right. */
    reg.String("Backend", "linux-nonexistent");
    CloseHandle(dev.h);
    dev.h = CreateFileA("\\\\.\\ACPI", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        NULL, OPEN_EXISTING, 0, NULL);
    if (dev.h != INVALID_HANDLE_VALUE) {
        EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 0), ERR_NOT_SUPPORTED);
        DWORD mask = 0;
        EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), ERR_NOT_SUPPORTED);
        EXPECT_EQ(mask, 0u);
        EXPECT_EQ(Value(dev.h, IOCTL_SET_FAN, 9), ERR_NOT_SUPPORTED);
        EXPECT_EQ(Value(dev.h, 0x22015C, 0), ERR_INVALID_FUNCTION);
    }
    reg.Remove("Backend");
    dev.Reopen();
    ASSERT_NE(dev.h, INVALID_HANDLE_VALUE);

    /* A journal that cannot be written does not keep requests from their
       answers; one too long for a path turns the journal off. */
    reg.String("JournalFile", "C:\\no-such-directory\\journal.txt");
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_SET_CPU_STATE, 3), 0u);
    EXPECT_EQ(Value(dev.h, IOCTL_SET_CPU_STATE, 4), ERR_INVALID_PARAMETER);
    std::string longPath = "C:\\" + std::string(300, 'j');
    reg.String("JournalFile", longPath.c_str());
    dev.Reopen();
    EXPECT_EQ(Value(dev.h, IOCTL_SET_CPU_STATE, 2), 0u);
    EXPECT_EQ(Journal(), "IOCTL_SET_FAN 1 0x00000000\r\n"
                         "IOCTL_SET_FAN 0 0xC00000BB\r\n"
                         "IOCTL_GET_CAPABILITIES 0 0xC00000BB\r\n"
                         "IOCTL_SET_FAN 9 0xC00000BB\r\n"
                         "0x0022015C - 0xC0000010\r\n");
}

/* The answer a request of the seven codes deserves, judged independently. */
bool ValueOk(DWORD code, DWORD v, const RTC_ALARM_TIME &t)
{
    switch (code) {
    case IOCTL_SET_SLEEP_STATE: return v >= 2 && v <= 5;
    case IOCTL_SET_CPU_STATE: return v >= 1 && v <= 3;
    case IOCTL_SET_FAN: return v <= 1;
    case IOCTL_SET_DUTY_CYCLE: return v <= 100;
    case IOCTL_SET_RTC_ALARM:
        return t.Year >= 1980 && t.Year <= 2099 && t.Month >= 1 && t.Month <= 12 && t.Day >= 1 &&
               t.Day <= 31 && t.Hour <= 23 && t.Minute <= 59 && t.Second <= 59 &&
               t.Milliseconds <= 999 && t.Weekday <= 6;
    default: return true;
    }
}

TEST_F(DriverTest, SurvivesTenThousandRandomRequestsAndStillAnswersRightly)
{
    std::mt19937 rng(20261206);
    auto pick = [&](unsigned n) { return (unsigned)(rng() % n); };
    const DWORD extraCodes[] = { 0x22015C, 0x220141, 0, 0xFFFFFFFF };
    const DWORD oddSizes[] = { 0, 1, 3, 5, 8, 15, 17, 64 };
    RTC_ALARM_TIME alarm = { 2026, 12, 6, 15, 5, 9, 0, 0 };
    ASSERT_EQ(SetAlarm(dev.h, alarm), 0u);
    g_alarmSet = true;
    int failures = 0, requests = 1;

    for (int i = 0; i < 10000 && failures < 20; i++, requests++) {
        DWORD code = pick(8) ? ALL_CODES[pick(7)] : extraCodes[pick(4)];
        bool known = code >= IOCTL_SET_SLEEP_STATE && code <= IOCTL_GET_RTC_ALARM && !(code & 3);
        DWORD size = known ? SizeOf(code) : 4;
        DWORD inLen = pick(4) ? size : oddSizes[pick(8)];
        DWORD outLen = pick(4) ? size : oddSizes[pick(8)];
        union { BYTE b[64]; DWORD v; RTC_ALARM_TIME t; } buf;
        for (BYTE &b : buf.b)
            b = (BYTE)rng();
        if (pick(2))  /* a plausible alarm, mostly in range */
            buf.t = RTC_ALARM_TIME{(uint16_t)(1975 + pick(130)), (uint16_t)pick(14), (uint16_t)pick(33),
                                   (uint16_t)pick(25), (uint16_t)pick(61), (uint16_t)pick(61),
                                   (uint16_t)pick(1001), (uint16_t)pick(8)};
        if (pick(2))  /* a plausible 4-byte value */
            buf.v = pick(120);
        const RTC_ALARM_TIME sent = buf.t;
        const DWORD v = buf.v;

        DWORD expect = !known ? ERR_INVALID_FUNCTION
                     : inLen != size || outLen != size || !ValueOk(code, v, sent) ? ERR_INVALID_PARAMETER
                     : 0;
        DWORD err = Request(dev.h, code, buf.b, inLen, buf.b, outLen);
        std::string wrong;
        if (err != expect)
            wrong = "error " + std::to_string(err) + ", expected " + std::to_string(expect);
        else if (!err && code == IOCTL_SET_RTC_ALARM)
            alarm = sent;
        else if (!err && code == IOCTL_GET_RTC_ALARM && !SameAlarm(buf.t, alarm))
            wrong = "Get alarm replied another alarm";
        else if (!err && code == IOCTL_GET_CAPABILITIES && buf.v != 0x37)
            wrong = "capability reply " + std::to_string(buf.v);
        if (!wrong.empty()) {
            failures++;
            ADD_FAILURE() << "request " << i << ": code 0x" << std::hex << code << std::dec << " in "
                          << inLen << " out " << outLen << " value " << v << ": " << wrong;
        }
    }

    /* One journal line for each request, none torn. */
    std::string journal = Journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), '\n'), requests);
    size_t torn = 0;
    for (size_t at = 0, end; (end = journal.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string line = journal.substr(at, end - at);
        if (line.empty() || line.back() != '\r' || (line.compare(0, 6, "IOCTL_") && line.compare(0, 2, "0x")))
            torn++;
    }
    EXPECT_EQ(torn, 0u);

    /* Still sound afterwards. */
    DWORD mask = 0;
    EXPECT_EQ(Value(dev.h, IOCTL_GET_CAPABILITIES, 0, &mask), 0u);
    EXPECT_EQ(mask, 0x37u);
    EXPECT_EQ(Value(dev.h, IOCTL_SET_CPU_STATE, 2), 0u);
    EXPECT_EQ(Value(dev.h, IOCTL_SET_CPU_STATE, 9), ERR_INVALID_PARAMETER);
    EXPECT_TRUE(SameAlarm(GetAlarm(dev.h), alarm));
}

}  // namespace
