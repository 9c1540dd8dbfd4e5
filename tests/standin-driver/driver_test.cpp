/* acpisim.sys seen from a user program, as VERUVEZ.EXE reaches it: what the
   kernel side adds to the request rules (tests/unit/requestrules_test.cpp):
   the device, its buffers, the journal file and the registry settings. */
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include "driver/acpiioctl.h"
#include "standin-driver/acpisimrules.h"

namespace {

const char JOURNAL[] = "C:\\vmt-driver-test-journal.txt";
const DWORD ERR_PARAM = 87, ERR_FUNCTION = 1; /* STATUS_INVALID_PARAMETER, _INVALID_DEVICE_REQUEST */
const struct Code { DWORD code, size; } CODES[] = {
    { IOCTL_SET_SLEEP_STATE, 4 }, { IOCTL_SET_CPU_STATE, 4 }, { IOCTL_SET_FAN, 4 }, { IOCTL_GET_CAPABILITIES, 4 },
    { IOCTL_SET_DUTY_CYCLE, 4 }, { IOCTL_SET_RTC_ALARM, 16 }, { IOCTL_GET_RTC_ALARM, 16 },
};
const RTC_ALARM_TIME LO = { 1980, 1, 1, 0, 0, 0, 0, 0 }, HI = { 2099, 12, 31, 23, 59, 59, 999, 6 };

bool Same(const RTC_ALARM_TIME &a, const RTC_ALARM_TIME &b) { return !std::memcmp(&a, &b, 16); }
/* One request: 0 when it succeeded, else the system error code; *got the bytes handed back. */
DWORD Request(HANDLE h, DWORD code, void *in, DWORD inLen, void *out, DWORD outLen, DWORD *got = nullptr)
{
    DWORD n = 0;
    DWORD err = DeviceIoControl(h, code, in, inLen, out, outLen, &n, NULL) ? 0 : GetLastError();
    if (got)
        *got = n;
    return err;
}
/* A request the program's way: one buffer for the input and the reply. */
DWORD Value(HANDLE h, DWORD code, DWORD &v) { return Request(h, code, &v, 4, &v, 4); }
DWORD Alarm(HANDLE h, DWORD code, RTC_ALARM_TIME *t) { return Request(h, code, t, 16, t, 16); }
std::string Contents(const std::string &path) { std::ifstream f(path, std::ios::binary); return { std::istreambuf_iterator<char>(f), {} }; }
std::string Journal() { return Contents(JOURNAL); }

/* Each test: default settings, its own empty journal; the Parameters key left empty, as the prefix has it. */
class Driver : public ::testing::Test {
protected:
    HKEY key = NULL;
    HANDLE h = INVALID_HANDLE_VALUE;
    void SetUp() override
    {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, 0, NULL, 0, KEY_ALL_ACCESS,
                                  NULL, &key, NULL), 0);
        TearDown();
        RegSetValueExA(key, "JournalFile", 0, REG_SZ, (const BYTE *)JOURNAL, sizeof JOURNAL);
        DeleteFileA(JOURNAL);
        Reopen();
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << ACPI_DEVICE_PATH " does not open: is acpisim.sys installed?";
    }
    void TearDown() override
    {
        for (const char *name :
             { "CapabilityMask", "FailCode", "FailStatus", "ShortReply", "JournalFile", "Backend", "SysfsRoot" })
            RegDeleteValueA(key, name);
    }
    ~Driver() override { CloseHandle(h), RegCloseKey(key); }
    /* The driver reads its settings at every open; its services may still be starting. */
    void Reopen(std::initializer_list<std::pair<const char *, DWORD>> settings = {})
    {
        for (const auto &s : settings)
            RegSetValueExA(key, s.first, 0, REG_DWORD, (const BYTE *)&s.second, 4);
        CloseHandle(h);
        for (int i = 0; i < 100 && (h = CreateFileA(ACPI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                                     OPEN_EXISTING, 0, NULL)) == INVALID_HANDLE_VALUE; i++)
            Sleep(100);
    }
};

TEST_F(Driver, EachRequestIsOnDiskWhenItReturnsAndTheMachineLastsAcrossOpens)
{
    struct Step { DWORD code, value, inLen, outLen; const char *line; } steps[] = {
        { IOCTL_GET_CAPABILITIES, 0, 4, 4, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55" },
        { IOCTL_SET_CPU_STATE, 1, 4, 4, "IOCTL_SET_CPU_STATE 1 0x00000000" },
        { IOCTL_SET_FAN, 7, 4, 4, "IOCTL_SET_FAN 7 0xC000000D" },
        { IOCTL_SET_DUTY_CYCLE, 50, 2, 4, "IOCTL_SET_DUTY_CYCLE - 0xC000000D" },   /* input short */
        { IOCTL_SET_DUTY_CYCLE, 50, 4, 2, "IOCTL_SET_DUTY_CYCLE - 0xC000000D" },   /* output short */
        { 0x22015C, 1, 4, 4, "0x0022015C - 0xC0000010" },
    };
    std::string expected;
    for (Step &s : steps) {
        Request(h, s.code, &s.value, s.inLen, &s.value, s.outLen);
        EXPECT_EQ(Journal(), expected += std::string(s.line) + "\r\n") << "on disk once the request returned";
    }
    RTC_ALARM_TIME t = { 2026, 12, 6, 15, 5, 9, 0, 0 }, junk = { 65535, 99, 99, 99, 99, 99, 9999, 99 };
    EXPECT_EQ(Alarm(h, IOCTL_SET_RTC_ALARM, &t), 0u);
    Reopen();
    EXPECT_EQ(Alarm(h, IOCTL_GET_RTC_ALARM, &junk), 0u);
    EXPECT_TRUE(Same(junk, t)) << "the alarm set before the open";
    EXPECT_EQ(Journal(), expected + "IOCTL_SET_RTC_ALARM 2026,12,6,15,5,9,0,0 0x00000000\r\n"
                                    "IOCTL_GET_RTC_ALARM 65535,99,99,99,99,99,9999,99 0x00000000 reply=2026,12,6,15,5,9,0,0\r\n");
}

TEST_F(Driver, RegistrySettingsApplyFromTheNextOpen)
{
    DWORD mask = 0, fan = 1, got = 0;
    Reopen({ { "CapabilityMask", ACPI_CAP_S1 | ACPI_CAP_S3 | ACPI_CAP_C2 }, { "FailCode", IOCTL_SET_FAN },
             { "FailStatus", 0xC0000185 } }); /* STATUS_IO_DEVICE_ERROR: error 1117 */
    EXPECT_EQ(Value(h, IOCTL_GET_CAPABILITIES, mask), 0u);
    EXPECT_EQ(mask, 0x15u);
    EXPECT_EQ(Value(h, IOCTL_SET_FAN, fan), 1117u);
    /* A failing Get writes no reply; a success status cannot fake a success. */
    Reopen({ { "FailCode", IOCTL_GET_CAPABILITIES }, { "FailStatus", 0 } });
    EXPECT_EQ(Value(h, IOCTL_GET_CAPABILITIES, mask = 0), 31u) << "STATUS_UNSUCCESSFUL";
    EXPECT_EQ(mask, 0u);
    Reopen({ { "FailCode", 0 }, { "ShortReply", IOCTL_GET_CAPABILITIES } });
    EXPECT_EQ(Request(h, IOCTL_GET_CAPABILITIES, &mask, 4, &mask, 4, &got), 0u);
    EXPECT_EQ(got, 3u) << "bytes handed back";
    EXPECT_EQ(Journal(), "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=21\r\n"
                         "IOCTL_SET_FAN 1 0xC0000185\r\n"
                         "IOCTL_GET_CAPABILITIES 0 0xC0000001\r\n"
                         "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=21\r\n");
    RegSetValueExA(key, "JournalFile", 0, REG_SZ, (const BYTE *)"", 1);
    Reopen();
    EXPECT_EQ(Value(h, IOCTL_SET_FAN, fan), 0u);
    std::string journal = Journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), '\n'), 4) << "an empty JournalFile writes none";
}

/* The host backend cannot put the fan back at the last close (a folder
   stands where its file was): the journal says so, and the next last close
   puts it back. */
TEST_F(Driver, ASettingThatCannotGoBackIsJournalledAtTheLastCloseAndTriedAgain)
{
    const std::string root = "C:\\vmt-driver-test-tree", fan = root + "\\sys\\class\\thermal\\cooling_device0";
    const std::string cur = fan + "\\cur_state";
    for (size_t at = 0; (at = fan.find('\\', at + 1)) != std::string::npos;)
        CreateDirectoryA(fan.substr(0, at).c_str(), NULL);
    CreateDirectoryA(fan.c_str(), NULL);
    auto write = [](const std::string &path, const char *text) { std::ofstream(path, std::ios::binary) << text; };
    auto closed = [&](const char *what, std::function<bool()> done) {
        CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
        for (int i = 0; i < 100 && !done(); i++)
            Sleep(50);   /* the close reaches the driver after CloseHandle returns */
        EXPECT_TRUE(done()) << what;
    };
    write(fan + "\\type", "Fan\n");
    write(fan + "\\max_state", "3\n");
    write(cur, "0\n");
    RegSetValueExA(key, "SysfsRoot", 0, REG_SZ, (const BYTE *)root.c_str(), (DWORD)root.size() + 1);
    RegSetValueExA(key, "Backend", 0, REG_SZ, (const BYTE *)"host", 5);
    Reopen();
    DWORD on = 1;
    EXPECT_EQ(Value(h, IOCTL_SET_FAN, on), 0u);
    DeleteFileA(cur.c_str());
    CreateDirectoryA(cur.c_str(), NULL);
    const std::string line = "PUT_BACK host 0xC00000BB kept=1\r\n";
    closed("the journal line", [&] { return Journal().find(line) != std::string::npos; });
    EXPECT_EQ(Journal(), "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device0 applied=3\r\n" + line);
    RemoveDirectoryA(cur.c_str());
    write(cur, "3\n");
    Reopen();
    closed("cur_state put back", [&] { return Contents(cur) == "0\n"; });
    for (const char *file : { "\\type", "\\max_state", "\\cur_state" })
        DeleteFileA((fan + file).c_str());
    for (std::string dir = fan; dir.size() > 2; dir = dir.substr(0, dir.rfind('\\')))
        RemoveDirectoryA(dir.c_str());
}

TEST_F(Driver, SurvivesTenThousandRandomRequestsAndStillAnswersRightly)
{
    std::mt19937 rng(20261206);
    auto pick = [&](unsigned n) { return (unsigned)(rng() % n); };
    const DWORD oddSizes[] = { 0, 1, 3, 5, 8, 15, 17, 64 }, unknown[] = { /* neighbours, other methods, */
        0x22013C, 0x22015C, 0x220141, 0x220143, 0x224140, 0x14014C, 0, ~0u }; /* access and device */
    RTC_ALARM_TIME alarm = LO;
    ASSERT_EQ(Alarm(h, IOCTL_SET_RTC_ALARM, &alarm), 0u);
    int failures = 0, requests = 1;
    for (int i = 0; i < 10000 && failures < 20; i++, requests++) {
        const Code *c = pick(8) ? &CODES[pick(7)] : NULL;
        DWORD code = c ? c->code : unknown[pick(8)], size = c ? c->size : 4;
        DWORD inLen = pick(4) ? size : oddSizes[pick(8)], outLen = pick(4) ? size : oddSizes[pick(8)];
        union { BYTE b[64]; DWORD v; RTC_ALARM_TIME t; } buf, sent;
        std::generate(std::begin(buf.b), std::end(buf.b), [&] { return (BYTE)rng(); });
        for (int f = 0; f < 8 && pick(2); f++)   /* half of them in range, where rules allow it */
            (&buf.t.Year)[f] = (uint16_t)((&LO.Year)[f] + pick((&HI.Year)[f] - (&LO.Year)[f] + 1));
        buf.v = pick(2) && size == 4 ? pick(120) : buf.v;
        sent = buf;
        DWORD err = Request(h, code, buf.b, inLen, buf.b, outLen);
        /* The answers the rules allow; which one is the unit tests' concern. */
        bool sound = c ? err == 0 || err == ERR_PARAM : err == ERR_FUNCTION;
        if (!err && code == IOCTL_SET_RTC_ALARM)
            alarm = sent.t;
        if (!err && code == IOCTL_GET_RTC_ALARM)
            sound = sound && Same(buf.t, alarm);
        if (!err && code == IOCTL_GET_CAPABILITIES)
            sound = sound && buf.v == 0x37;
        if (!sound && ++failures)
            ADD_FAILURE() << "request " << i << ": code 0x" << std::hex << code << std::dec << " in " << inLen
                          << " out " << outLen << " value " << sent.v << ": error " << err;
    }
    std::string journal = Journal(); /* one line for each request */
    EXPECT_EQ(std::count(journal.begin(), journal.end(), '\n'), requests);
    DWORD mask = 0; /* still sound afterwards */
    EXPECT_EQ(Value(h, IOCTL_GET_CAPABILITIES, mask), 0u);
    EXPECT_EQ(mask, 0x37u);
    RTC_ALARM_TIME got = {};
    EXPECT_EQ(Alarm(h, IOCTL_GET_RTC_ALARM, &got), 0u);
    EXPECT_TRUE(Same(got, alarm));
}

}  // namespace
