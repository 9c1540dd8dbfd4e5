/* The stand-in driver's request rules: sizes, values, injected faults,
   backends and the journal line of every request. */
#include "standin-driver/acpisimrules.h"
#include "standin-driver/hostrules.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

const uint32_t OK = 0, UNSUCCESSFUL = 0xC0000001, BAD_PARAM = 0xC000000D, BAD_REQUEST = 0xC0000010,
               NOT_SUPPORTED = 0xC00000BB;

/* A backend that counts its calls and answers with `answer`. */
uint32_t g_calls, g_answer;
uint32_t Count(uint32_t) { g_calls++; return g_answer; }
uint32_t CountCaps(uint32_t, uint32_t *mask) { g_calls++; *mask = 0xABCD; return g_answer; }
uint32_t CountSet(const RTC_ALARM_TIME *) { g_calls++; return g_answer; }
uint32_t CountGet(RTC_ALARM_TIME *t) { g_calls++; t->Year = 1999; return g_answer; }
const ACPISIM_BACKEND kCounting = {"counting", Count, Count, Count, Count, CountCaps, CountSet, CountGet,
                                   nullptr, nullptr, nullptr};

struct Outcome {
    uint32_t status, information;
    std::string journal;
};

class RequestRules : public ::testing::Test {
protected:
    ACPISIM_CONFIG cfg;
    void SetUp() override
    {
        AcpiSimDefaultConfig(&cfg);
        AcpiSimSimulatedReset();
        g_calls = 0;
        g_answer = OK;
    }
    Outcome Send(uint32_t code, void *buf, uint32_t in, uint32_t out,
                 const ACPISIM_BACKEND *be = &AcpiSimSimulated)
    {
        ACPISIM_REQUEST rq;
        memset(&rq, 0x5A, sizeof rq);
        rq.Code = code;
        rq.Buffer = buf;
        rq.InputLength = in;
        rq.OutputLength = out;
        uint32_t status = AcpiSimRequest(be, &cfg, &rq);
        EXPECT_EQ(rq.JournalLength, strlen(rq.Journal)) << "the line ends at its length";
        return {status, rq.Information, rq.Journal};
    }
    Outcome Value(uint32_t code, uint32_t &v, const ACPISIM_BACKEND *be = &AcpiSimSimulated)
    {
        return Send(code, &v, 4, 4, be);
    }
    Outcome Alarm(uint32_t code, RTC_ALARM_TIME &t) { return Send(code, &t, 16, 16); }
};

const RTC_ALARM_TIME LO = {1980, 1, 1, 0, 0, 0, 0, 0}, HI = {2099, 12, 31, 23, 59, 59, 999, 6};

}  // namespace

TEST_F(RequestRules, EachValueCodeTakesItsRangeAndRepliesItsInput)
{
    const struct { uint32_t code, value, status; const char *journal; } rows[] = {
        {0x220140, 2, OK, "IOCTL_SET_SLEEP_STATE 2 0x00000000\r\n"},
        {0x220140, 5, OK, "IOCTL_SET_SLEEP_STATE 5 0x00000000\r\n"},
        {0x220140, 1, BAD_PARAM, "IOCTL_SET_SLEEP_STATE 1 0xC000000D\r\n"},
        {0x220140, 6, BAD_PARAM, "IOCTL_SET_SLEEP_STATE 6 0xC000000D\r\n"},
        {0x220144, 1, OK, "IOCTL_SET_CPU_STATE 1 0x00000000\r\n"},
        {0x220144, 3, OK, "IOCTL_SET_CPU_STATE 3 0x00000000\r\n"},
        {0x220144, 0, BAD_PARAM, "IOCTL_SET_CPU_STATE 0 0xC000000D\r\n"},
        {0x220144, 4, BAD_PARAM, "IOCTL_SET_CPU_STATE 4 0xC000000D\r\n"},
        {0x220148, 0, OK, "IOCTL_SET_FAN 0 0x00000000\r\n"},
        {0x220148, 1, OK, "IOCTL_SET_FAN 1 0x00000000\r\n"},
        {0x220148, 2, BAD_PARAM, "IOCTL_SET_FAN 2 0xC000000D\r\n"},
        {0x220150, 0, OK, "IOCTL_SET_DUTY_CYCLE 0 0x00000000\r\n"},
        {0x220150, 100, OK, "IOCTL_SET_DUTY_CYCLE 100 0x00000000\r\n"},
        {0x220150, 101, BAD_PARAM, "IOCTL_SET_DUTY_CYCLE 101 0xC000000D\r\n"},
        {0x220150, 0xFFFFFFFF, BAD_PARAM, "IOCTL_SET_DUTY_CYCLE 4294967295 0xC000000D\r\n"},
    };
    for (const auto &row : rows) {
        uint32_t v = row.value;
        Outcome o = Value(row.code, v);
        EXPECT_EQ(o.status, row.status) << row.journal;
        EXPECT_EQ(o.information, row.status == OK ? 4u : 0u) << row.journal;
        EXPECT_EQ(v, row.value) << row.journal;
        EXPECT_EQ(o.journal, row.journal);
    }
}

TEST_F(RequestRules, CapabilitiesReplyTheConfiguredMaskWhateverTheInput)
{
    uint32_t v = 7;
    EXPECT_EQ(Value(0x22014C, v).journal, "IOCTL_GET_CAPABILITIES 7 0x00000000 reply=55\r\n");
    EXPECT_EQ(v, 0x37u);
    cfg.CapabilityMask = 0x05;
    EXPECT_EQ(Value(0x22014C, v = 0).journal, "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=5\r\n");
    EXPECT_EQ(v, 0x05u);
}

TEST_F(RequestRules, WrongSizesMissingBuffersAndUnknownCodesAreRefusedUnread)
{
    const struct { uint32_t code, size; const char *name; } codes[] = {
        {0x220140, 4, "IOCTL_SET_SLEEP_STATE"}, {0x220144, 4, "IOCTL_SET_CPU_STATE"}, {0x220148, 4, "IOCTL_SET_FAN"},
        {0x22014C, 4, "IOCTL_GET_CAPABILITIES"}, {0x220150, 4, "IOCTL_SET_DUTY_CYCLE"},
        {0x220154, 16, "IOCTL_SET_RTC_ALARM"}, {0x220158, 16, "IOCTL_GET_RTC_ALARM"},
    };
    unsigned char buf[64];
    for (const auto &c : codes) {
        const std::string refused = std::string(c.name) + " - 0xC000000D\r\n";
        for (uint32_t wrong : {0u, 1u, 3u, 4u, 5u, 15u, 16u, 17u, 64u}) {
            for (int side = 0; side < 2 && wrong != c.size; side++) {
                memset(buf, 0xA5, sizeof buf);
                Outcome o = Send(c.code, buf, side ? c.size : wrong, side ? wrong : c.size, &kCounting);
                EXPECT_EQ(o.status, BAD_PARAM) << c.name << " " << wrong;
                EXPECT_EQ(o.information, 0u) << c.name << " " << wrong;
                EXPECT_EQ(o.journal, refused);
                EXPECT_EQ(std::count(buf, buf + sizeof buf, 0xA5), 64) << c.name << " " << wrong;
            }
        }
        EXPECT_EQ(Send(c.code, nullptr, c.size, c.size, &kCounting).journal, refused);
    }
    for (uint32_t code : {0x22013Cu, 0x22015Cu, 0x220141u, 0x224140u, 0u}) {
        memset(buf, 0xA5, sizeof buf);
        Outcome o = Send(code, buf, 4, 4, &kCounting);
        EXPECT_EQ(o.status, BAD_REQUEST) << std::hex << code;
        EXPECT_EQ(std::count(buf, buf + sizeof buf, 0xA5), 64) << std::hex << code;
    }
    EXPECT_EQ(Send(0x22015C, buf, 4, 4).journal, "0x0022015C - 0xC0000010\r\n");
    EXPECT_EQ(g_calls, 0u) << "a refused request reached the backend";
}

TEST_F(RequestRules, AlarmFieldsOnePastEitherEndAreRefusedAndGetGivesTheLastSet)
{
    RTC_ALARM_TIME t = {};
    EXPECT_EQ(Alarm(0x220158, t).journal, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=0,0,0,0,0,0,0,0\r\n");
    for (const RTC_ALARM_TIME *end : {&LO, &HI}) {
        t = *end;
        ASSERT_EQ(Alarm(0x220154, t).status, OK);
        for (int f = 0; f < 8; f++, t = *end) {
            (&t.Year)[f] = (uint16_t)((&t.Year)[f] + (end == &LO ? -1 : 1));
            EXPECT_EQ(Alarm(0x220154, t).status, BAD_PARAM) << "field " << f << " = " << (&t.Year)[f];
        }
    }
    RTC_ALARM_TIME junk = {65535, 99, 99, 99, 99, 99, 9999, 99};
    EXPECT_EQ(Alarm(0x220158, junk).journal,
              "IOCTL_GET_RTC_ALARM 65535,99,99,99,99,99,9999,99 0x00000000 reply=2099,12,31,23,59,59,999,6\r\n");
    EXPECT_EQ(memcmp(&junk, &HI, sizeof HI), 0);
    t = {2026, 12, 6, 15, 5, 9, 0, 0};
    EXPECT_EQ(Alarm(0x220154, t).journal, "IOCTL_SET_RTC_ALARM 2026,12,6,15,5,9,0,0 0x00000000\r\n");
}

TEST_F(RequestRules, InjectedFaultsFollowTheSizeCheckAndNeverReachTheBackend)
{
    cfg.FailCode = 0x220148;
    const struct { uint32_t configured, status; } rows[] = {
        {0xC0000185, 0xC0000185}, {0x80000005, 0x80000005}, {0, UNSUCCESSFUL}, {0x103, UNSUCCESSFUL},
        {0x40000000, UNSUCCESSFUL},
    };
    for (const auto &row : rows) {
        cfg.FailStatus = row.configured;
        uint32_t v = 1;
        Outcome o = Value(0x220148, v, &kCounting);
        EXPECT_EQ(o.status, row.status) << std::hex << row.configured;
        EXPECT_EQ(o.information, 0u);
    }
    cfg.FailStatus = 0xC0000185;
    uint32_t v = 1;
    EXPECT_EQ(Value(0x220148, v, &kCounting).journal, "IOCTL_SET_FAN 1 0xC0000185\r\n");
    EXPECT_EQ(Send(0x220148, &v, 2, 4, &kCounting).status, BAD_PARAM);
    EXPECT_EQ(g_calls, 0u);
    EXPECT_EQ(Value(0x220144, v, &kCounting).status, OK) << "another code is carried out";
    EXPECT_EQ(g_calls, 1u);

    cfg.FailCode = 0x22014C;   /* a failing Get writes no reply */
    EXPECT_EQ(Value(0x22014C, v = 0).journal, "IOCTL_GET_CAPABILITIES 0 0xC0000185\r\n");
    EXPECT_EQ(v, 0u);
}

TEST_F(RequestRules, ABackendsFailureIsCompletedAsItIsWithoutAReply)
{
    g_answer = 0xC0000185;
    RTC_ALARM_TIME t = {};
    Outcome o = Send(0x220158, &t, 16, 16, &kCounting);
    EXPECT_EQ(o.status, 0xC0000185u);
    EXPECT_EQ(o.information, 0u);
    EXPECT_EQ(t.Year, 0u);
    EXPECT_EQ(o.journal, "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0xC0000185\r\n");
}

TEST_F(RequestRules, WithoutABackendWellFormedRequestsAreNotSupported)
{
    uint32_t v = 1;
    Outcome o = Value(0x220148, v, nullptr);
    EXPECT_EQ(o.status, NOT_SUPPORTED);
    EXPECT_EQ(o.journal, "IOCTL_SET_FAN 1 0xC00000BB\r\n");
    EXPECT_EQ(Send(0x220148, &v, 2, 4, nullptr).status, BAD_PARAM);
    EXPECT_EQ(Send(0x22015C, &v, 4, 4, nullptr).status, BAD_REQUEST);
    cfg.FailCode = 0x220148;
    EXPECT_EQ(Value(0x220148, v, nullptr).status, UNSUCCESSFUL) << "the fault comes first";
}

TEST_F(RequestRules, AShortReplyHandsBackOneByteLessOfItsCodeOnly)
{
    cfg.ShortReply = 0x22014C;
    uint32_t v = 0;
    EXPECT_EQ(Value(0x22014C, v).information, 3u);
    EXPECT_EQ(Value(0x220148, v = 1).information, 4u);
    cfg.ShortReply = 0x220158;
    RTC_ALARM_TIME t = {};
    EXPECT_EQ(Alarm(0x220158, t).information, 15u);
    cfg.FailCode = 0x220158;
    EXPECT_EQ(Alarm(0x220158, t).information, 0u) << "a failure hands back nothing";
}

TEST(Backends, FoundByTheirExactNameTheFirstByDefault)
{
    EXPECT_EQ(AcpiSimFindBackend(""), &AcpiSimSimulated);
    EXPECT_EQ(AcpiSimFindBackend(nullptr), &AcpiSimSimulated);
    EXPECT_EQ(AcpiSimFindBackend("simulated"), &AcpiSimSimulated);
    EXPECT_EQ(AcpiSimFindBackend("host"), &AcpiSimHost);
    for (const char *name : {"simulate", "simulatedx", "Simulated", "hosts", "Host", "other"})
        EXPECT_EQ(AcpiSimFindBackend(name), nullptr) << name;
}
