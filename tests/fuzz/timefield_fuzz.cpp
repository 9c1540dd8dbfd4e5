/* The RTC page's time-field rules: the limits of each element, a typed
   value held to them, the alarm record built from the fields, and the
   texts that show a record or a failure.
   Input: a 32-bit control id, the 32-bit typed value, the 32-bit hour,
   minute and second fields, a PM byte, today's year, month, day and day of
   week (32 bits each), a 16-byte record as the driver returned it, a
   32-bit system error and a 16-bit buffer size (up to 299). */
#include "pages/rtcrules.h"
#include "res/resource.h"
#include "fuzz.h"
#include <memory>

/* What a formatter wrote into size bytes is the start of the text it
   writes into a buffer with room to spare. */
template <class Format>
static void CheckCut(Format format, size_t size, const char *whole)
{
    std::unique_ptr<char[]> buf(new char[size]);
    int n = format(buf.get(), size);
    FUZZ_CHECK(n >= 0);
    CheckText(buf.get(), size, (size_t)n);
    if (size)
        FUZZ_CHECK(strncmp(buf.get(), whole, (size_t)n) == 0 && (n == (int)strlen(whole) || n + 1 == (int)size));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int control = in.Take<int32_t>();
    unsigned typed = in.Take<uint32_t>();
    unsigned hour = in.Take<uint32_t>(), minute = in.Take<uint32_t>(), second = in.Take<uint32_t>();
    bool pm = in.Take<uint8_t>() & 1;
    RtcDate today;
    today.year = in.Take<uint32_t>();
    today.month = in.Take<uint32_t>();
    today.day = in.Take<uint32_t>();
    today.dayOfWeek = in.Take<uint32_t>();
    RTC_ALARM_TIME read = in.Take<RTC_ALARM_TIME>();
    unsigned long error = in.Take<uint32_t>();
    size_t bufSize = in.Take<uint16_t>() % 300;

    /* Hour 1-12, minute and second 0-59, AM/PM 0-1; no other control. */
    static const struct { int control, minimum, maximum; } kLimits[] = {
        {IDC_RTC_HOUR, 1, 12}, {IDC_RTC_MINUTE, 0, 59}, {IDC_RTC_SECOND, 0, 59}, {IDC_RTC_AMPM, 0, 1}};
    const RtcFieldLimits *limits = RtcLimitsFor(control);
    bool known = false;
    for (const auto &k : kLimits)
        if (k.control == control) {
            known = true;
            FUZZ_CHECK(limits && limits->control == control);
            FUZZ_CHECK(limits->minimum == k.minimum && limits->maximum == k.maximum);
            FUZZ_CHECK(limits->nAccel >= 1 && limits->nAccel <= 2);
        }
    FUZZ_CHECK(known || !limits);

    /* A typed value outside the limits, compared as signed 32-bit numbers,
       becomes the nearer limit; one inside them stays. */
    limits = &g_RtcFieldLimits[(unsigned)control % RTC_LIMIT_COUNT];
    unsigned corrected = 0xA5A5A5A5u;
    bool changed = RtcClampTyped(limits, typed, &corrected);
    int32_t value = (int32_t)typed;
    if (value < limits->minimum)
        FUZZ_CHECK(changed && corrected == (unsigned)limits->minimum);
    else if (value > limits->maximum)
        FUZZ_CHECK(changed && corrected == (unsigned)limits->maximum);
    else
        FUZZ_CHECK(!changed && corrected == 0xA5A5A5A5u);

    /* The editor shows a local time as 0-11 with AM or PM; Set sends it back. */
    unsigned clockHour = hour % 24;
    RtcEditorFields shown = RtcFieldsFromTime(clockHour, minute % 60, second % 60);
    FUZZ_CHECK(shown.hour <= 11 && shown.pm == (clockHour >= 12));
    FUZZ_CHECK(shown.minute == minute % 60 && shown.second == second % 60);
    FUZZ_CHECK(RtcMakeAlarm(&today, shown.hour, shown.minute, shown.second, shown.pm).Hour == clockHour);

    /* Any field contents: each field kept as 16 bits, the hour within 0-23
       in the half of the day the list shows, 12 counted as 0. */
    RTC_ALARM_TIME a = RtcMakeAlarm(&today, hour, minute, second, pm);
    FUZZ_CHECK(a.Hour == (uint16_t)hour % 12 + (pm ? 12 : 0));
    FUZZ_CHECK(a.Minute == (uint16_t)minute && a.Second == (uint16_t)second && a.Milliseconds == 0);
    FUZZ_CHECK(a.Year == (uint16_t)today.year && a.Month == (uint16_t)today.month);
    FUZZ_CHECK(a.Day == (uint16_t)today.day && a.Weekday == (uint16_t)today.dayOfWeek);

    /* The texts fit the page's buffers whole (64 bytes for the log line),
       and a shorter buffer holds their beginning. */
    char whole[RTC_MESSAGE_SIZE];
    int n = RtcFormatSetLine(whole, 64, &a);
    FUZZ_CHECK(n > 2 && n < 63 && strcmp(whole + n - 2, "\r\n") == 0);
    CheckCut([&](char *buf, size_t n) { return RtcFormatSetLine(buf, n, &a); }, bufSize, whole);
    n = RtcFormatAlarmMessage(whole, sizeof whole, &read);
    FUZZ_CHECK(n > 0 && n + 1 < (int)sizeof whole && !strchr(whole, '\n'));
    CheckCut([&](char *buf, size_t n) { return RtcFormatAlarmMessage(buf, n, &read); }, bufSize, whole);
    n = RtcFormatReadFailure(whole, sizeof whole, error);
    FUZZ_CHECK(n > 0 && n + 1 < (int)sizeof whole);
    CheckCut([&](char *buf, size_t n) { return RtcFormatReadFailure(buf, n, error); }, bufSize, whole);
    return 0;
}
