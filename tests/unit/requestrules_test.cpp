/* The stand-in driver's request rules, a row a request: the backend and settings, the code, the
   buffer's input and lengths; then the status, the bytes handed back, the journal line and the buffer. */
#include "standin-driver/acpisimrules.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

namespace {

/* A backend that answers g_answer and tells the journal it was called. */
uint32_t g_answer;
const char *g_note = "";
uint32_t Called() { return g_note = "called", g_answer; }
const ACPISIM_BACKEND kProbe = {
    "probe", [](uint32_t) { return Called(); }, [](uint32_t) { return Called(); }, [](uint32_t) { return Called(); },
    [](uint32_t) { return Called(); }, [](uint32_t, uint32_t *mask) { return *mask = 0xABCD, Called(); },
    [](const RTC_ALARM_TIME *) { return Called(); }, [](RTC_ALARM_TIME *t) { return t->Year = 1999, Called(); }, nullptr, nullptr,
    [] { const char *note = g_note; return g_note = "", note; },
};

/* A value, or "Y,M,D,h,m,s,ms,wd", as the buffer's bytes. */
std::string Bytes(const char *text)
{
    uint16_t f[8] = {};
    uint32_t value = (uint32_t)std::strtoul(text, nullptr, 10);
    bool alarm = std::sscanf(text, "%hu,%hu,%hu,%hu,%hu,%hu,%hu,%hu", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7]) == 8;
    return alarm ? std::string((char *)f, 16) : std::string((char *)&value, 4);
}

}  // namespace

TEST(RequestRules, EveryRequestOneRow)
{
    const uint32_t OK = 0, BAD = 0xC000000D, SET = 0x220154, GET = 0x220158;
    /* setup: "" the simulated backend, "probe[=STATUS]", "none"; "mask=N", "fail=CODE/STATUS", "short=CODE".  journal: null, not
       looked at; after: null, the buffer unchanged. */
    const struct { const char *setup; uint32_t code; const char *input; uint32_t in, out, status, info; const char *journal, *after; } rows[] = {
        {"", 0x220140, "2", 4, 4, OK, 4, "IOCTL_SET_SLEEP_STATE 2 0x00000000", nullptr}, {"", 0x220140, "5", 4, 4, OK, 4, "IOCTL_SET_SLEEP_STATE 5 0x00000000", nullptr},
        {"", 0x220140, "6", 4, 4, BAD, 0, "IOCTL_SET_SLEEP_STATE 6 0xC000000D", nullptr}, {"", 0x220144, "1", 4, 4, OK, 4, "IOCTL_SET_CPU_STATE 1 0x00000000", nullptr},
        {"", 0x220144, "3", 4, 4, OK, 4, "IOCTL_SET_CPU_STATE 3 0x00000000", nullptr}, {"", 0x220144, "4", 4, 4, BAD, 0, "IOCTL_SET_CPU_STATE 4 0xC000000D", nullptr},
        {"", 0x220148, "0", 4, 4, OK, 4, "IOCTL_SET_FAN 0 0x00000000", nullptr}, {"", 0x220148, "1", 4, 4, OK, 4, "IOCTL_SET_FAN 1 0x00000000", nullptr},
        {"", 0x220148, "2", 4, 4, BAD, 0, "IOCTL_SET_FAN 2 0xC000000D", nullptr}, {"", 0x220150, "100", 4, 4, OK, 4, "IOCTL_SET_DUTY_CYCLE 100 0x00000000", nullptr},
        {"", 0x220150, "101", 4, 4, BAD, 0, "IOCTL_SET_DUTY_CYCLE 101 0xC000000D", nullptr},
        {"", 0x22014C, "7", 4, 4, OK, 4, "IOCTL_GET_CAPABILITIES 7 0x00000000 reply=55", "55"},
        {"mask=5", 0x22014C, "0", 4, 4, OK, 4, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=5", "5"},
        {"", SET, "1980,1,1,0,0,0,0,0", 16, 16, OK, 16, "IOCTL_SET_RTC_ALARM 1980,1,1,0,0,0,0,0 0x00000000", nullptr},
        {"", SET, "2099,12,31,23,59,59,999,6", 16, 16, OK, 16, "IOCTL_SET_RTC_ALARM 2099,12,31,23,59,59,999,6 0x00000000", nullptr},
        {"", GET, "65535,99,99,99,99,99,9999,99", 16, 16, OK, 16,
         "IOCTL_GET_RTC_ALARM 65535,99,99,99,99,99,9999,99 0x00000000 reply=2099,12,31,23,59,59,999,6", "2099,12,31,23,59,59,999,6"},
        {"", SET, "1979,1,1,0,0,0,0,0", 16, 16, BAD, 0, nullptr, nullptr}, {"", SET, "2100,1,1,0,0,0,0,0", 16, 16, BAD, 0, nullptr, nullptr},
        {"", SET, "2026,0,1,0,0,0,0,0", 16, 16, BAD, 0, nullptr, nullptr}, {"", SET, "2026,13,1,0,0,0,0,0", 16, 16, BAD, 0, nullptr, nullptr},
        {"", SET, "2026,1,0,0,0,0,0,0", 16, 16, BAD, 0, nullptr, nullptr}, {"", SET, "2026,1,32,0,0,0,0,0", 16, 16, BAD, 0, nullptr, nullptr},
        {"", SET, "2026,1,1,24,0,0,0,0", 16, 16, BAD, 0, nullptr, nullptr}, {"", SET, "2026,1,1,0,60,0,0,0", 16, 16, BAD, 0, nullptr, nullptr},
        {"", SET, "2026,1,1,0,0,60,0,0", 16, 16, BAD, 0, nullptr, nullptr}, {"", SET, "2026,1,1,0,0,0,1000,0", 16, 16, BAD, 0, nullptr, nullptr},
        {"", SET, "2026,1,1,0,0,0,0,7", 16, 16, BAD, 0, "IOCTL_SET_RTC_ALARM 2026,1,1,0,0,0,0,7 0xC000000D", nullptr},
        /* Wrong lengths, no buffer, unknown codes: refused unread.  Faults come after the lengths, before the backend. */
        {"probe", 0x220148, "1", 3, 4, BAD, 0, "IOCTL_SET_FAN - 0xC000000D", nullptr}, {"probe", 0x220148, "1", 4, 5, BAD, 0, "IOCTL_SET_FAN - 0xC000000D", nullptr},
        {"probe", SET, "2026,1,1,0,0,0,0,0", 16, 15, BAD, 0, "IOCTL_SET_RTC_ALARM - 0xC000000D", nullptr},
        {"probe", GET, "0", 4, 4, BAD, 0, "IOCTL_GET_RTC_ALARM - 0xC000000D", nullptr},
        {"probe", 0x22014C, nullptr, 4, 4, BAD, 0, "IOCTL_GET_CAPABILITIES - 0xC000000D", nullptr},
        {"probe", 0x22015C, "1", 4, 4, 0xC0000010, 0, "0x0022015C - 0xC0000010", nullptr},
        {"probe fail=220148/C0000185", 0x220148, "1", 4, 4, 0xC0000185, 0, "IOCTL_SET_FAN 1 0xC0000185", nullptr},
        {"probe fail=220148/80000005", 0x220148, "1", 4, 4, 0x80000005, 0, "IOCTL_SET_FAN 1 0x80000005", nullptr},
        {"probe fail=220148/40000000", 0x220148, "1", 4, 4, 0xC0000001, 0, "IOCTL_SET_FAN 1 0xC0000001", nullptr},
        {"probe fail=220148/C0000185", 0x220148, "1", 2, 4, BAD, 0, "IOCTL_SET_FAN - 0xC000000D", nullptr},
        {"probe fail=220148/C0000185", 0x220144, "1", 4, 4, OK, 4, "IOCTL_SET_CPU_STATE 1 0x00000000 called", nullptr},
        /* A backend's failure is completed as it is, without a reply; a short reply is one byte short, of its own code only. */
        {"probe=C0000185", 0x22014C, "0", 4, 4, 0xC0000185, 0, "IOCTL_GET_CAPABILITIES 0 0xC0000185 called", nullptr},
        {"probe=C0000185", GET, "0,0,0,0,0,0,0,0", 16, 16, 0xC0000185, 0, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC0000185 called", nullptr},
        {"none", 0x220148, "1", 4, 4, 0xC00000BB, 0, "IOCTL_SET_FAN 1 0xC00000BB", nullptr},
        {"none fail=220148/0", 0x220148, "1", 4, 4, 0xC0000001, 0, "IOCTL_SET_FAN 1 0xC0000001", nullptr},
        {"short=22014C", 0x22014C, "0", 4, 4, OK, 3, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55", "55"},
        {"short=22014C", 0x220148, "1", 4, 4, OK, 4, "IOCTL_SET_FAN 1 0x00000000", nullptr},
        {"short=220158", GET, "0,0,0,0,0,0,0,0", 16, 16, OK, 15, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=2099,12,31,23,59,59,999,6",
         "2099,12,31,23,59,59,999,6"},
        {"short=220158 fail=220158/C0000185", GET, "0,0,0,0,0,0,0,0", 16, 16, 0xC0000185, 0, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC0000185", nullptr},
    };
    AcpiSimSimulatedReset();
    for (const auto &row : rows) {
        ACPISIM_CONFIG cfg;
        AcpiSimDefaultConfig(&cfg);
        const char *s = row.setup, *mask = std::strstr(s, "mask="), *fail = std::strstr(s, "fail="), *shortReply = std::strstr(s, "short=");
        cfg.CapabilityMask = mask ? (uint32_t)std::atoi(mask + 5) : cfg.CapabilityMask;
        cfg.ShortReply = shortReply ? (uint32_t)std::strtoul(shortReply + 6, nullptr, 16) : 0;
        if (fail)
            std::sscanf(fail + 5, "%x/%x", &cfg.FailCode, &cfg.FailStatus);
        g_answer = std::strstr(s, "probe=") ? (uint32_t)std::strtoul(std::strstr(s, "probe=") + 6, nullptr, 16) : 0;
        size_t size = std::max(row.in, row.out);
        std::string before = ((row.input ? Bytes(row.input) : "") + std::string(size, '\xA5')).substr(0, size);
        std::unique_ptr<char[]> buffer(new char[size]);   /* exactly the lengths given: ASan sees a read beyond */
        std::memcpy(buffer.get(), before.data(), size);
        ACPISIM_REQUEST rq{ row.code, row.input ? buffer.get() : nullptr, row.in, row.out, 0x5A5A, {}, 0 };
        uint32_t status = AcpiSimRequest(std::strstr(s, "none") ? nullptr : std::strstr(s, "probe") ? &kProbe : &AcpiSimSimulated, &cfg, &rq);
        std::string journal = row.journal ? rq.Journal + std::to_string(rq.JournalLength) : "";
        EXPECT_EQ(std::to_string(status) + " " + std::to_string(rq.Information) + " " + journal, std::to_string(row.status) + " " +
                  std::to_string(row.info) + " " + (row.journal ? row.journal + std::string("\r\n") + std::to_string(std::strlen(row.journal) + 2) : ""));
        EXPECT_EQ(std::string(buffer.get(), size), row.after ? Bytes(row.after) : before) << row.input;
    }
}

TEST(RequestRules, DefaultsAndBackendsByName)
{
    ACPISIM_CONFIG c;
    AcpiSimDefaultConfig(&c);
    EXPECT_EQ(std::vector<uint32_t>({ c.CapabilityMask, c.FailCode, c.FailStatus, c.SysfsRoot[0], c.SysfsRoot[1], c.SysfsRoot[2], c.SysfsRoot[3],
                                      c.HostIdleMilliseconds, c.ShortReply }), std::vector<uint32_t>({ 0x37, 0, 0xC0000001, 'Z', ':', '\\', 0, 2000, 0 }));
    for (auto row : std::vector<std::pair<const char *, const char *>>{ {"", "simulated"}, {nullptr, "simulated"}, {"host", "host"}, {"hosts", nullptr} })
        EXPECT_STREQ(AcpiSimFindBackend(row.first) ? AcpiSimFindBackend(row.first)->Name : nullptr, row.second);
}
