/* The stand-in driver's request rules, a row a request: the backend and settings, the code, the
   buffer's input and lengths; then the status, the bytes handed back, the journal line and the buffer. */
#include "standin-driver/acpisimrules.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <sstream>

namespace {

const uint32_t OK = 0, BAD = 0xC000000D, SLEEP = 0x220140, CPU = 0x220144, FAN = 0x220148, CAPS = 0x22014C, DUTY = 0x220150,
               SET = 0x220154, GET = 0x220158;

/* A backend that answers g_answer and tells the journal it was called. */
uint32_t g_answer;
const char *g_note = "";
auto Called = [](auto...) { return g_note = "called", g_answer; };
const ACPISIM_BACKEND kProbe = { "probe", Called, Called, Called, Called, [](uint32_t, uint32_t *mask) { return *mask = 0xABCD, Called(); }, Called,
                                 [](RTC_ALARM_TIME *t) { return t->Year = 1999, Called(); }, nullptr, nullptr,
                                 [] { const char *note = g_note; return g_note = "", note; } };

/* A value, or "Y,M,D,h,m,s,ms,wd", as the buffer's bytes. */
std::string Bytes(const char *text)
{
    uint16_t f[8] = {};
    uint32_t value = (uint32_t)std::strtoul(text, nullptr, 10);
    bool alarm = std::sscanf(text, "%hu,%hu,%hu,%hu,%hu,%hu,%hu,%hu", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7]) == 8;
    return alarm ? std::string((char *)f, 16) : std::string((char *)&value, 4);
}

/* "STATUS INFORMATION JOURNAL" of a request on the simulated backend (""), "probe[=STATUS]" or "none", with "mask=N",
   "fail=CODE/STATUS", "short=CODE"; the buffer, exactly the lengths given (ASan sees more), then holds after or what it held. */
std::string Request(const char *s, uint32_t code, const char *input, uint32_t in, uint32_t out, const char *after = nullptr)
{
    ACPISIM_CONFIG cfg;
    AcpiSimDefaultConfig(&cfg);
    const char *mask = std::strstr(s, "mask="), *fail = std::strstr(s, "fail="), *shortReply = std::strstr(s, "short=");
    cfg.CapabilityMask = mask ? (uint32_t)std::atoi(mask + 5) : cfg.CapabilityMask;
    cfg.ShortReply = shortReply ? (uint32_t)std::strtoul(shortReply + 6, nullptr, 16) : 0;
    if (fail)
        std::sscanf(fail + 5, "%x/%x", &cfg.FailCode, &cfg.FailStatus);
    g_answer = std::strstr(s, "probe=") ? (uint32_t)std::strtoul(std::strstr(s, "probe=") + 6, nullptr, 16) : 0;
    size_t size = std::max(in, out);
    std::string before = ((input ? Bytes(input) : "") + std::string(size, '\xA5')).substr(0, size);
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memcpy(buffer.get(), before.data(), size);
    ACPISIM_REQUEST rq{ code, input ? buffer.get() : nullptr, in, out, 0x5A5A, {}, 0 };
    uint32_t status = AcpiSimRequest(std::strstr(s, "none") ? nullptr : std::strstr(s, "probe") ? &kProbe : &AcpiSimSimulated, &cfg, &rq);
    EXPECT_EQ(std::string(buffer.get(), size), after ? Bytes(after) : before) << input;
    return std::to_string(status) + " " + std::to_string(rq.Information) + " " + std::string(rq.Journal, rq.JournalLength);
}

}  // namespace

TEST(RequestRules, EveryRequestOneRow)
{
    /* Each value and alarm field at its bounds: those within are carried out, those beyond refused unread. */
    const struct { uint32_t code; const char *within, *beyond; } bounds[] = {
        {SLEEP, "2 5", "1 6"}, {CPU, "1 3", "0 4"}, {FAN, "0 1", "2"}, {DUTY, "0 100", "101"},
        {SET, "1980,1,1,0,0,0,0,0 2099,12,31,23,59,59,999,6", "1979,1,1,0,0,0,0,0 2100,1,1,0,0,0,0,0 2026,0,1,0,0,0,0,0 2026,13,1,0,0,0,0,0 "
         "2026,1,0,0,0,0,0,0 2026,1,32,0,0,0,0,0 2026,1,1,24,0,0,0,0 2026,1,1,0,60,0,0,0 2026,1,1,0,0,60,0,0 2026,1,1,0,0,0,1000,0 2026,1,1,0,0,0,0,7"},
    };
    AcpiSimSimulatedReset();
    for (const auto &row : bounds)
        for (int beyond = 0; beyond < 2; beyond++) {
            uint32_t n = row.code == SET ? 16 : 4;
            std::istringstream in(beyond ? row.beyond : row.within);
            for (std::string v, want = beyond ? std::to_string(BAD) + " 0 " : "0 " + std::to_string(n) + " "; in >> v;)
                EXPECT_EQ(Request("", row.code, v.c_str(), n, n).substr(0, want.size()), want) << v;
        }
    /* after: null, the buffer unchanged; in, out: 0, the request's own length. */
    struct { const char *setup; uint32_t code; const char *input; uint32_t status, info; const char *journal, *after = nullptr; uint32_t in = 0, out = 0; } rows[] = {
        {"", CAPS, "7", OK, 4, "IOCTL_GET_CAPABILITIES 7 0x00000000 reply=55", "55"}, {"mask=5", CAPS, "0", OK, 4, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=5", "5"},
        {"", GET, "65535,99,99,99,99,99,9999,99", OK, 16, "IOCTL_GET_RTC_ALARM 65535,99,99,99,99,99,9999,99 0x00000000 reply=2099,12,31,23,59,59,999,6",
         "2099,12,31,23,59,59,999,6"},
        /* Wrong lengths, no buffer, unknown codes: refused unread.  Faults come after the lengths, before the backend. */
        {"probe", SET, "2026,1,1,0,0,0,0,0", BAD, 0, "IOCTL_SET_RTC_ALARM - 0xC000000D", nullptr, 16, 15},
        {"probe", CAPS, nullptr, BAD, 0, "IOCTL_GET_CAPABILITIES - 0xC000000D"}, {"probe", 0x22015C, "1", 0xC0000010, 0, "0x0022015C - 0xC0000010"},
        {"probe fail=220148/C0000185", FAN, "1", 0xC0000185, 0, "IOCTL_SET_FAN 1 0xC0000185"},
        {"probe fail=220148/80000005", FAN, "1", 0x80000005, 0, "IOCTL_SET_FAN 1 0x80000005"},
        {"probe fail=220148/40000000", FAN, "1", 0xC0000001, 0, "IOCTL_SET_FAN 1 0xC0000001"},
        {"probe fail=220148/C0000185", FAN, "1", BAD, 0, "IOCTL_SET_FAN - 0xC000000D", nullptr, 2, 4},
        {"probe fail=220148/C0000185", CPU, "1", OK, 4, "IOCTL_SET_CPU_STATE 1 0x00000000 called"},
        /* A backend's failure is completed as it is, without a reply; a short reply is one byte short, of its own code only. */
        {"probe=C0000185", CAPS, "0", 0xC0000185, 0, "IOCTL_GET_CAPABILITIES 0 0xC0000185 called"}, {"none", FAN, "1", 0xC00000BB, 0, "IOCTL_SET_FAN 1 0xC00000BB"},
        {"none fail=220148/0", FAN, "1", 0xC0000001, 0, "IOCTL_SET_FAN 1 0xC0000001"}, {"short=22014C", FAN, "1", OK, 4, "IOCTL_SET_FAN 1 0x00000000"},
        {"short=220158", GET, "0,0,0,0,0,0,0,0", OK, 15, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=2099,12,31,23,59,59,999,6", "2099,12,31,23,59,59,999,6"},
        {"short=220158 fail=220158/C0000185", GET, "0,0,0,0,0,0,0,0", 0xC0000185, 0, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC0000185"},
    };
    for (const auto &row : rows) {
        uint32_t n = row.code == SET || row.code == GET ? 16 : 4;
        EXPECT_EQ(Request(row.setup, row.code, row.input, row.in ? row.in : n, row.out ? row.out : n, row.after),
                  std::to_string(row.status) + " " + std::to_string(row.info) + " " + row.journal + "\r\n") << row.setup << " " << row.input;
    }
}
