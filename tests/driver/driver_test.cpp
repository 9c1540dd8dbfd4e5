/* acpisim.sys seen from a user program, as VERUVEZ.EXE reaches it. */
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include "driver/acpiioctl.h"

namespace {

const char JOURNAL[] = "C:\\vmt-driver-test-journal.txt";
const DWORD ERR_PARAM = 87, ERR_FUNCTION = 1; /* STATUS_INVALID_PARAMETER, _INVALID_DEVICE_REQUEST */
/* The seven codes, their size and the 4-byte values each does; the alarm's fields go from LO to HI. */
const struct Rule { DWORD code, size, lo, hi; } RULES[] = {
    { IOCTL_SET_SLEEP_STATE, 4, 2, 5 }, { IOCTL_SET_CPU_STATE, 4, 1, 3 }, { IOCTL_SET_FAN, 4, 0, 1 },
    { IOCTL_GET_CAPABILITIES, 4, 0, ~0u }, { IOCTL_SET_DUTY_CYCLE, 4, 0, 100 },
    { IOCTL_SET_RTC_ALARM, 16, 0, ~0u }, { IOCTL_GET_RTC_ALARM, 16, 0, ~0u },
};
const RTC_ALARM_TIME LO = { 1980, 1, 1, 0, 0, 0, 0, 0 }, HI = { 2099, 12, 31, 23, 59, 59, 999, 6 };

bool Same(const RTC_ALARM_TIME &a, const RTC_ALARM_TIME &b) { return !std::memcmp(&a, &b, 16); }
/* One request: 0 when it succeeded, else the system error code. */
DWORD Request(HANDLE h, DWORD code, void *in, DWORD inLen, void *out, DWORD outLen)
{
    DWORD got;
    return DeviceIoControl(h, code, in, inLen, out, outLen, &got, NULL) ? 0 : GetLastError();
}
/* A 4-byte request the program's way: one buffer for the value and the reply. */
DWORD Value(HANDLE h, DWORD code, DWORD &v) { return Request(h, code, &v, 4, &v, 4); }
DWORD Alarm(HANDLE h, DWORD code, RTC_ALARM_TIME *t) { return Request(h, code, t, 16, t, 16); }
std::string Journal() { std::ifstream f(JOURNAL, std::ios::binary); return { std::istreambuf_iterator<char>(f), {} }; }

/* Each test: default settings, its own empty journal; the Parameters key left empty, as the prefix has it. */
class Driver : public ::testing::Test {
protected:
    HKEY key = NULL;
    HANDLE h = INVALID_HANDLE_VALUE;
    void SetUp() override
    {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\AcpiSim\\Parameters",
                                  0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL), 0);
        TearDown();
        RegSetValueExA(key, "JournalFile", 0, REG_SZ, (const BYTE *)JOURNAL, sizeof JOURNAL);
        DeleteFileA(JOURNAL);
        Reopen();
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << "\\\\.\\ACPI does not open: is acpisim.sys installed?";
    }
    void TearDown() override
    {
        for (const char *name : { "CapabilityMask", "FailCode", "FailStatus", "JournalFile", "Backend", "SysfsRoot" })
            RegDeleteValueA(key, name);
    }
    ~Driver() override { CloseHandle(h), RegCloseKey(key); }
    /* The driver reads its settings at every open; its services may still be starting. */
    void Reopen(std::initializer_list<std::pair<const char *, DWORD>> settings = {})
    {
        for (const auto &s : settings)
            RegSetValueExA(key, s.first, 0, REG_DWORD, (const BYTE *)&s.second, 4);
        CloseHandle(h);
        for (int i = 0; i < 100 && (h = CreateFileA("\\\\.\\ACPI", GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                                     OPEN_EXISTING, 0, NULL)) == INVALID_HANDLE_VALUE; i++)
            Sleep(100);
    }
};

/* Runs first, so the driver is as fresh as CTest starts it (wine-run.sh --fresh). */
TEST_F(Driver, JournalAlarmRoundTripAndRegistrySettings)
{
    struct Step { DWORD code, value, inLen; const char *line; } steps[] = {
        { IOCTL_GET_CAPABILITIES, 0, 4, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55" },
        { IOCTL_SET_CPU_STATE, 1, 4, "IOCTL_SET_CPU_STATE 1 0x00000000" },
        { IOCTL_SET_FAN, 7, 4, "IOCTL_SET_FAN 7 0xC000000D" },
        { IOCTL_SET_DUTY_CYCLE, 50, 2, "IOCTL_SET_DUTY_CYCLE - 0xC000000D" },
        { 0x22015C, 1, 4, "0x0022015C - 0xC0000010" },
    };
    std::string expected;
    for (Step &s : steps) {
        Request(h, s.code, &s.value, s.inLen, &s.value, 4);
        EXPECT_EQ(Journal(), expected += std::string(s.line) + "\r\n") << "on disk once the request returned";
    }
    /* Get returns the alarm last set, all zero before any, whatever its input. */
    RTC_ALARM_TIME t = { 2026, 12, 6, 15, 5, 9, 0, 0 }, get = {}, junk = { 65535, 99, 99, 99, 99, 99, 9999, 99 };
    Alarm(h, IOCTL_GET_RTC_ALARM, &get);
    Alarm(h, IOCTL_SET_RTC_ALARM, &t);
    Reopen(); /* the machine and the journal go on across opens */
    EXPECT_EQ(Alarm(h, IOCTL_GET_RTC_ALARM, &junk), 0u);
    EXPECT_TRUE(Same(junk, t));
    expected += "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=0,0,0,0,0,0,0,0\r\n"
                "IOCTL_SET_RTC_ALARM 2026,12,6,15,5,9,0,0 0x00000000\r\n"
                "IOCTL_GET_RTC_ALARM 65535,99,99,99,99,99,9999,99 0x00000000 reply=2026,12,6,15,5,9,0,0\r\n";

    /* The registry sets the capability mask and injects faults; the size check comes first. */
    DWORD mask = 0, fan = 1;
    Reopen({ { "CapabilityMask", ACPI_CAP_S1 | ACPI_CAP_S3 | ACPI_CAP_C2 }, { "FailCode", IOCTL_SET_FAN },
             { "FailStatus", 0xC0000185 } }); /* STATUS_IO_DEVICE_ERROR: error 1117 */
    EXPECT_EQ(Value(h, IOCTL_GET_CAPABILITIES, mask), 0u);
    EXPECT_EQ(Value(h, IOCTL_SET_FAN, fan), 1117u);
    EXPECT_EQ(Request(h, IOCTL_SET_FAN, &fan, 2, &fan, 2), ERR_PARAM);
    /* A failing Get writes no reply, and a success status cannot fake a success. */
    Reopen({ { "FailCode", IOCTL_GET_CAPABILITIES }, { "FailStatus", 0 } });
    EXPECT_EQ(Value(h, IOCTL_GET_CAPABILITIES, mask = 0), 31u) << "STATUS_UNSUCCESSFUL";
    EXPECT_EQ(mask, 0u);
    EXPECT_EQ(Value(h, IOCTL_SET_FAN, fan), 0u);
    EXPECT_EQ(Journal(), expected + "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=21\r\n"
                                    "IOCTL_SET_FAN 1 0xC0000185\r\n"
                                    "IOCTL_SET_FAN - 0xC000000D\r\n"
                                    "IOCTL_GET_CAPABILITIES 0 0xC0000001\r\n"
                                    "IOCTL_SET_FAN 1 0x00000000\r\n");
}

TEST_F(Driver, EveryWrongSizeBufferCodeAndValueIsRefused)
{
    static BYTE in[4096], out[4096];
    std::memset(out, 0xA5, sizeof out);
    for (const Rule &r : RULES) {
        SCOPED_TRACE(AcpiIoctlName(r.code));
        std::memcpy(in, r.size == 16 ? (const void *)&HI : &r.lo, r.size); /* only the size is wrong */
        for (DWORD wrong : { 0, 1, 3, 4, 5, 8, 15, 16, 17, 4096 })
            for (int side = 0; side < 2 && wrong != r.size; side++)
                EXPECT_EQ(Request(h, r.code, in, side ? r.size : wrong, out, side ? wrong : r.size), ERR_PARAM)
                    << wrong;
        EXPECT_EQ(Request(h, r.code, NULL, 0, NULL, 0), ERR_PARAM);
        EXPECT_EQ(Request(h, r.code, in, r.size, NULL, 0), ERR_PARAM);
        EXPECT_EQ(std::count(out, out + sizeof out, 0xA5), 4096) << "a refused request wrote a reply";
        /* Both ends are done (a Set replies its input); one past either end (0 - 1 wraps) is refused. */
        const DWORD values[4] = { r.lo, r.hi, r.lo - 1, r.hi + 1 };
        for (int i = 0; i < 4 && r.size == 4; i++) {
            DWORD reply = values[i], caps = r.code == IOCTL_GET_CAPABILITIES;
            EXPECT_EQ(Value(h, r.code, reply), i < 2 || caps ? 0 : ERR_PARAM) << values[i];
            EXPECT_EQ(reply, caps ? 0x37 : values[i]);
        }
    }
    /* Every alarm field one past either end; none replaces the last alarm. */
    for (const RTC_ALARM_TIME *end : { &LO, &HI }) {
        RTC_ALARM_TIME t = *end;
        ASSERT_EQ(Alarm(h, IOCTL_SET_RTC_ALARM, &t), 0u);
        for (int f = 0; f < 8; f++, t = *end) {
            (&t.Year)[f] = (uint16_t)((&t.Year)[f] + (end == &LO ? -1 : 1));
            EXPECT_EQ(Alarm(h, IOCTL_SET_RTC_ALARM, &t), ERR_PARAM) << "field " << f << " = " << (&t.Year)[f];
        }
        EXPECT_EQ(Alarm(h, IOCTL_GET_RTC_ALARM, &t), 0u);
        EXPECT_TRUE(Same(t, *end));
    }
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
        const Rule *r = pick(8) ? &RULES[pick(7)] : NULL;
        DWORD code = r ? r->code : unknown[pick(8)], size = r ? r->size : 4;
        DWORD inLen = pick(4) ? size : oddSizes[pick(8)], outLen = pick(4) ? size : oddSizes[pick(8)];
        union { BYTE b[64]; DWORD v; RTC_ALARM_TIME t; } buf, sent;
        std::generate(std::begin(buf.b), std::end(buf.b), [&] { return (BYTE)rng(); });
        bool plausible = pick(2); /* else random bytes, never an alarm in range */
        for (int f = 0; f < 8 && plausible; f++)
            (&buf.t.Year)[f] = (uint16_t)((&LO.Year)[f] + pick((&HI.Year)[f] - (&LO.Year)[f] + 1));
        buf.v = plausible && size == 4 ? pick(120) : buf.v;
        sent = buf;
        DWORD expect = !r ? ERR_FUNCTION : inLen != size || outLen != size ? ERR_PARAM
                     : size == 4 ? (buf.v - r->lo > r->hi - r->lo ? ERR_PARAM : 0)
                     : code == IOCTL_SET_RTC_ALARM && !plausible ? ERR_PARAM : 0;
        DWORD err = Request(h, code, buf.b, inLen, buf.b, outLen);
        alarm = !err && code == IOCTL_SET_RTC_ALARM ? sent.t : alarm;
        if ((err != expect || (!err && code == IOCTL_GET_RTC_ALARM && !Same(buf.t, alarm)) ||
             (!err && code == IOCTL_GET_CAPABILITIES && buf.v != 0x37)) && ++failures)
            ADD_FAILURE() << "request " << i << ": code 0x" << std::hex << code << std::dec << " in " << inLen
                          << " out " << outLen << " value " << sent.v << ": error " << err << " not " << expect;
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
