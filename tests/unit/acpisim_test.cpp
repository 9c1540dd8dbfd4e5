// The seam between the stand-in driver's request rules and its backend,
// natively: what reaches a backend, and what an injected fault or a failing
// backend leaves behind.
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include "acpisim/acpisim.h"

namespace {

// A backend that records every call and answers with a chosen status.
struct Calls {
    std::vector<std::string> log;
    uint32_t status = ACPISIM_STATUS_SUCCESS;
} g_calls;

uint32_t Note(const char *what, uint32_t v)
{
    g_calls.log.push_back(std::string(what) + " " + std::to_string(v));
    return g_calls.status;
}
uint32_t FakeSleep(uint32_t v) { return Note("sleep", v); }
uint32_t FakeCpu(uint32_t v) { return Note("cpu", v); }
uint32_t FakeFan(uint32_t v) { return Note("fan", v); }
uint32_t FakeDuty(uint32_t v) { return Note("duty", v); }
uint32_t FakeCaps(uint32_t configured, uint32_t *mask)
{
    *mask = configured | 0x100;
    return Note("caps", configured);
}
uint32_t FakeSetAlarm(const RTC_ALARM_TIME *t) { return Note("setalarm", t->Year); }
uint32_t FakeGetAlarm(RTC_ALARM_TIME *t)
{
    *t = RTC_ALARM_TIME{ 2001, 2, 3, 4, 5, 6, 7, 1 };
    return Note("getalarm", 0);
}
const ACPISIM_BACKEND g_fake = { "fake", FakeSleep, FakeCpu, FakeFan, FakeDuty,
                                 FakeCaps, FakeSetAlarm, FakeGetAlarm };

struct Result {
    uint32_t status, information;
    std::string line;
};

// One request through the rules, its buffer a heap block of exactly
// bufSize bytes, so that ASan sees any access past it.
Result Send(const ACPISIM_CONFIG &cfg, uint32_t code, const void *data, uint32_t bufSize,
           uint32_t inLen, uint32_t outLen, void *reply = nullptr)
{
    std::unique_ptr<unsigned char[]> buf(bufSize ? new unsigned char[bufSize] : nullptr);
    if (bufSize)
        std::memcpy(buf.get(), data, bufSize);
    ACPISIM_REQUEST rq{};
    rq.Code = code;
    rq.Buffer = buf.get();
    rq.InputLength = inLen;
    rq.OutputLength = outLen;
    Result r;
    r.status = AcpiSimRequest(&g_fake, &cfg, &rq);
    r.information = rq.Information;
    r.line.assign(rq.Journal, rq.JournalLength);
    EXPECT_EQ(std::strlen(rq.Journal), rq.JournalLength);
    if (reply && bufSize)
        std::memcpy(reply, buf.get(), bufSize);
    return r;
}

ACPISIM_CONFIG Defaults()
{
    ACPISIM_CONFIG c;
    AcpiSimDefaultConfig(&c);
    return c;
}

}  // namespace

TEST(AcpiSimRules, OnlyCheckedValuesReachTheBackend)
{
    g_calls = Calls();
    ACPISIM_CONFIG cfg = Defaults();
    const uint32_t values[] = { 0, 1, 2, 3, 4, 5, 6, 100, 101, 0xFFFFFFFF };
    const uint32_t codes[] = { IOCTL_SET_SLEEP_STATE, IOCTL_SET_CPU_STATE, IOCTL_SET_FAN,
                               IOCTL_SET_DUTY_CYCLE };
    for (uint32_t code : codes)
        for (uint32_t v : values)
            Send(cfg, code, &v, 4, 4, 4);
    const std::vector<std::string> expected = {
        "sleep 2", "sleep 3", "sleep 4", "sleep 5", "cpu 1", "cpu 2", "cpu 3",
        "fan 0", "fan 1", "duty 0", "duty 1", "duty 2", "duty 3", "duty 4", "duty 5",
        "duty 6", "duty 100",
    };
    EXPECT_EQ(g_calls.log, expected);

    // A wrong size, a missing buffer or an unknown code never reaches it.
    g_calls.log.clear();
    uint32_t two = 2;
    EXPECT_EQ(Send(cfg, IOCTL_SET_CPU_STATE, &two, 4, 4, 0).status, ACPISIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(Send(cfg, IOCTL_SET_CPU_STATE, nullptr, 0, 4, 4).status, ACPISIM_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(Send(cfg, 0x220141, &two, 4, 4, 4).status, ACPISIM_STATUS_INVALID_DEVICE_REQUEST);
    EXPECT_TRUE(g_calls.log.empty());
}

TEST(AcpiSimRules, FaultsAndBackendFailuresGiveNoReply)
{
    g_calls = Calls();
    ACPISIM_CONFIG cfg = Defaults();
    cfg.FailCode = IOCTL_GET_RTC_ALARM;
    cfg.FailStatus = 0xC0000185;
    RTC_ALARM_TIME t{}, got{};
    Result r = Send(cfg, IOCTL_GET_RTC_ALARM, &t, 16, 16, 16, &got);
    EXPECT_EQ(r.status, 0xC0000185u);
    EXPECT_EQ(r.information, 0u);
    EXPECT_EQ(got.Year, 0u) << "a failed Get wrote a reply";
    EXPECT_TRUE(g_calls.log.empty()) << "an injected fault reached the backend";
    EXPECT_EQ(r.line, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC0000185\r\n");

    // Whatever FailStatus says, a faulted request never reads as done:
    // success codes and STATUS_PENDING become STATUS_UNSUCCESSFUL.
    EXPECT_EQ(AcpiSimFaultStatus(0), ACPISIM_STATUS_UNSUCCESSFUL);
    EXPECT_EQ(AcpiSimFaultStatus(0x103), ACPISIM_STATUS_UNSUCCESSFUL);
    EXPECT_EQ(AcpiSimFaultStatus(0x40000000), ACPISIM_STATUS_UNSUCCESSFUL);
    EXPECT_EQ(AcpiSimFaultStatus(0x80000005), 0x80000005u);

    // A backend that fails: its status, no reply, no reply= in the journal.
    cfg = Defaults();
    g_calls.status = ACPISIM_STATUS_NOT_SUPPORTED;
    uint32_t v = 0;
    r = Send(cfg, IOCTL_GET_CAPABILITIES, &v, 4, 4, 4, &v);
    EXPECT_EQ(r.status, ACPISIM_STATUS_NOT_SUPPORTED);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(r.line, "IOCTL_GET_CAPABILITIES 0 0xC00000BB\r\n");

    g_calls.status = ACPISIM_STATUS_SUCCESS;
    r = Send(cfg, IOCTL_GET_CAPABILITIES, &v, 4, 4, 4, &v);
    EXPECT_EQ(v, 0x137u);
    EXPECT_EQ(r.information, 4u);
    EXPECT_EQ(r.line, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=311\r\n");

    // The longest line there is fits whole.
    RTC_ALARM_TIME big = { 65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535 };
    EXPECT_EQ(Send(cfg, IOCTL_GET_RTC_ALARM, &big, 16, 16, 16).line,
              "IOCTL_GET_RTC_ALARM 65535,65535,65535,65535,65535,65535,65535,65535 "
              "0x00000000 reply=2001,2,3,4,5,6,7,1\r\n");
}
