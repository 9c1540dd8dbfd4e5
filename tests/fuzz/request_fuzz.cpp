/* The stand-in driver's request rules with the backend table and the
   simulated machine: what any request completes with, what it does to the
   caller's buffer, and its journal line.
   Input: the Backend name (up to a NUL), the configured capability mask,
   FailCode, FailStatus and ShortReply (32 bits each), then requests until
   the input ends: 32-bit code, input and output lengths, a flag byte (bit 0:
   no buffer; bit 1: the code is one of the seven, by its value modulo 7;
   bit 2: both lengths are the code's size; bit 3: the bytes only choose,
   for each value, one past, at or one short of either end of its range)
   and 16 bytes of buffer. */
#include "standin-driver/acpisimrules.h"
#include "fuzz.h"
#include <sanitizer/asan_interface.h>
#include <memory>

struct Code {
    uint32_t code;
    const char *name;
    uint32_t size, minimum, maximum;   /* the accepted 4-byte values */
};
static const Code kCodes[] = {
    {0x220140, "IOCTL_SET_SLEEP_STATE", 4, 2, 5},
    {0x220144, "IOCTL_SET_CPU_STATE", 4, 1, 3},
    {0x220148, "IOCTL_SET_FAN", 4, 0, 1},
    {0x22014C, "IOCTL_GET_CAPABILITIES", 4, 0, 0xFFFFFFFF},
    {0x220150, "IOCTL_SET_DUTY_CYCLE", 4, 0, 100},
    {0x220154, "IOCTL_SET_RTC_ALARM", 16, 0, 0},
    {0x220158, "IOCTL_GET_RTC_ALARM", 16, 0, 0},
};

/* The accepted alarm fields, in record order. */
static const struct { uint16_t minimum, maximum; } kAlarmRange[8] = {
    {1980, 2099}, {1, 12}, {1, 31}, {0, 23}, {0, 59}, {0, 59}, {0, 999}, {0, 6}};

static bool AlarmInRange(const RTC_ALARM_TIME &t)
{
    uint16_t f[8];
    memcpy(f, &t, sizeof f);
    for (int i = 0; i < 8; i++)
        if (f[i] < kAlarmRange[i].minimum || f[i] > kAlarmRange[i].maximum)
            return false;
    return true;
}

/* min - 1, min, min + 1, max - 1, max or max + 1, as a byte chooses. */
static uint32_t NearLimit(uint8_t choice, uint32_t minimum, uint32_t maximum)
{
    static const int kStep[6] = {-1, 0, 1, -1, 0, 1};
    return (choice % 6 < 3 ? minimum : maximum) + (uint32_t)kStep[choice % 6];
}

static std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

static std::string AlarmText(const RTC_ALARM_TIME &t)
{
    char text[64];
    snprintf(text, sizeof text, "%u,%u,%u,%u,%u,%u,%u,%u", t.Year, t.Month, t.Day, t.Hour,
             t.Minute, t.Second, t.Milliseconds, t.Weekday);
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    std::string backendName = in.Text();
    /* The host backend reaches files through its platform; its rules have
       their own tests.  Here the simulated machine, or none. */
    if (backendName == "host")
        return 0;
    const ACPISIM_BACKEND *backend = AcpiSimFindBackend(backendName.c_str());
    FUZZ_CHECK(backend == (backendName.empty() || backendName == "simulated" ? &AcpiSimSimulated : NULL));

    ACPISIM_CONFIG cfg;
    AcpiSimDefaultConfig(&cfg);
    FUZZ_CHECK(cfg.CapabilityMask == 0x37 && cfg.FailCode == 0 && cfg.FailStatus == 0xC0000001u);
    FUZZ_CHECK(cfg.ShortReply == 0);
    cfg.CapabilityMask = in.Take<uint32_t>();
    cfg.FailCode = in.Take<uint32_t>();
    cfg.FailStatus = in.Take<uint32_t>();
    cfg.ShortReply = in.Take<uint32_t>();
    /* An injected fault never reads as success. */
    uint32_t injected = cfg.FailStatus & 0x80000000u ? cfg.FailStatus : 0xC0000001u;
    FUZZ_CHECK(AcpiSimFaultStatus(cfg.FailStatus) == injected);

    AcpiSimSimulatedReset();
    RTC_ALARM_TIME alarmSet = {0, 0, 0, 0, 0, 0, 0, 0};
    for (int count = 0; in.More() && count < 64; count++) {
        ACPISIM_REQUEST rq;
        rq.Code = in.Take<uint32_t>();
        rq.InputLength = in.Take<uint32_t>();
        rq.OutputLength = in.Take<uint32_t>();
        uint8_t flags = in.Take<uint8_t>();
        unsigned char bytes[16];
        for (unsigned char &b : bytes)
            b = in.Take<uint8_t>();

        if (flags & 2)
            rq.Code = kCodes[rq.Code % 7].code;
        const Code *known = NULL;
        for (const Code &c : kCodes)
            if (c.code == rq.Code)
                known = &c;
        FUZZ_CHECK(AcpiSimRequestSize(rq.Code) == (known ? known->size : 0));
        if (known && (flags & 4))
            rq.InputLength = rq.OutputLength = known->size;
        if (known && (flags & 8)) {
            uint16_t f[8];
            for (int i = 0; i < 8; i++)
                f[i] = (uint16_t)NearLimit(bytes[i], kAlarmRange[i].minimum, kAlarmRange[i].maximum);
            uint32_t v = NearLimit(bytes[0], known->minimum, known->maximum);
            if (known->size == 16)
                memcpy(bytes, f, sizeof f);
            else
                memcpy(bytes, &v, sizeof v);
        }

        /* The system buffer: as long as the longer length (within reason). */
        size_t bufSize = rq.InputLength > rq.OutputLength ? rq.InputLength : rq.OutputLength;
        bufSize = bufSize < 64 ? bufSize : 64;
        std::unique_ptr<unsigned char[]> buf(new unsigned char[bufSize]);
        memcpy(buf.get(), bytes, bufSize < 16 ? bufSize : 16);
        if (bufSize > 16)
            memset(buf.get() + 16, 0x5A, bufSize - 16);
        std::string sent((const char *)buf.get(), bufSize);
        rq.Buffer = (flags & 1) ? NULL : buf.get();
        rq.Information = 0xDEADBEEF;
        memset(rq.Journal, 'J', sizeof rq.Journal);
        rq.JournalLength = 12345;

        /* What the request must complete with, in the order of the checks. */
        bool sized = known && rq.Buffer && rq.InputLength == known->size && rq.OutputLength == known->size;
        uint32_t value = 0;
        RTC_ALARM_TIME alarm = {0, 0, 0, 0, 0, 0, 0, 0};
        memcpy(&value, bytes, sizeof value);
        memcpy(&alarm, bytes, sizeof alarm);
        uint32_t expect;
        if (!known)
            expect = ACPISIM_STATUS_INVALID_DEVICE_REQUEST;
        else if (!sized)
            expect = ACPISIM_STATUS_INVALID_PARAMETER;
        else if (rq.Code == cfg.FailCode)
            expect = injected;
        else if (!backend)
            expect = ACPISIM_STATUS_NOT_SUPPORTED;
        else if (known->size == 16 ? rq.Code == 0x220154 && !AlarmInRange(alarm)
                                   : value < known->minimum || value > known->maximum)
            expect = ACPISIM_STATUS_INVALID_PARAMETER;
        else
            expect = ACPISIM_STATUS_SUCCESS;

        /* A request refused for its code or sizes must not touch its buffer. */
        if (!sized)
            ASAN_POISON_MEMORY_REGION(buf.get(), bufSize);
        uint32_t status = AcpiSimRequest(backend, &cfg, &rq);
        ASAN_UNPOISON_MEMORY_REGION(buf.get(), bufSize);
        FUZZ_CHECK(status == expect);

        std::string reply;
        std::string after((const char *)buf.get(), bufSize);
        if (status == ACPISIM_STATUS_SUCCESS) {
            /* The configured short reply hands back one byte less. */
            FUZZ_CHECK(rq.Information == (rq.Code == cfg.ShortReply ? known->size - 1 : known->size));
            std::string expectBuf = sent;
            if (rq.Code == 0x22014C) {
                expectBuf.replace(0, 4, (const char *)&cfg.CapabilityMask, 4);
                reply = " reply=" + std::to_string(cfg.CapabilityMask);
            } else if (rq.Code == 0x220158) {
                expectBuf.replace(0, 16, (const char *)&alarmSet, 16);
                reply = " reply=" + AlarmText(alarmSet);
            } else if (rq.Code == 0x220154) {
                alarmSet = alarm;
            }
            FUZZ_CHECK(after == expectBuf);
        } else {
            FUZZ_CHECK(rq.Information == 0 && after == sent);
        }

        /* "NAME VALUE STATUS[ reply=REPLY]\r\n", whole, inside the line. */
        std::string line = (known ? std::string(known->name) : Hex(rq.Code)) + " "
                         + (!sized ? "-" : known->size == 16 ? AlarmText(alarm) : std::to_string(value))
                         + " " + Hex(status) + reply + "\r\n";
        FUZZ_CHECK(rq.JournalLength < sizeof rq.Journal && rq.Journal[rq.JournalLength] == '\0');
        FUZZ_CHECK(std::string(rq.Journal, rq.JournalLength) == line);
    }
    return 0;
}
