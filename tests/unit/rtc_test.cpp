#include "pages/rtcrules.h"
#include "res/resource.h"
#include <gtest/gtest.h>
#include <stddef.h>
#include <string.h>
#include <string>

static const RtcDate kToday = {2026, 12, 6, 0};   /* a Sunday */

TEST(RtcEditor, ShowsTheTwelveHourClockAndSendsTheSameHourBack)
{
    RtcEditorFields f = RtcFieldsFromTime(15, 5, 9);
    EXPECT_EQ(f.hour, 3u);
    EXPECT_EQ(f.minute, 5u);
    EXPECT_EQ(f.second, 9u);
    EXPECT_TRUE(f.pm);

    f = RtcFieldsFromTime(12, 30, 0);          /* noon shows 0 with PM */
    EXPECT_EQ(f.hour, 0u);
    EXPECT_TRUE(f.pm);
    f = RtcFieldsFromTime(0, 15, 0);           /* midnight shows 0 with AM */
    EXPECT_EQ(f.hour, 0u);
    EXPECT_FALSE(f.pm);
    f = RtcFieldsFromTime(11, 59, 59);
    EXPECT_EQ(f.hour, 11u);
    EXPECT_FALSE(f.pm);

    /* Whatever the editor shows of a time, Set sends that time again. */
    for (unsigned hour = 0; hour < 24; hour++) {
        f = RtcFieldsFromTime(hour, 7, 8);
        RTC_ALARM_TIME a = RtcMakeAlarm(&kToday, f.hour, f.minute, f.second, f.pm);
        EXPECT_EQ(a.Hour, hour);
        EXPECT_EQ(a.Minute, 7u);
        EXPECT_EQ(a.Second, 8u);
    }
}

TEST(RtcAlarmRecord, CarriesTodayAndKeepsTheHourOnTheClock)
{
    RtcDate today = {2027, 2, 28, 3};
    RTC_ALARM_TIME a = RtcMakeAlarm(&today, 3, 5, 9, true);
    EXPECT_EQ(a.Year, 2027u);
    EXPECT_EQ(a.Month, 2u);
    EXPECT_EQ(a.Day, 28u);
    EXPECT_EQ(a.Hour, 15u);
    EXPECT_EQ(a.Minute, 5u);
    EXPECT_EQ(a.Second, 9u);
    EXPECT_EQ(a.Milliseconds, 0u);
    EXPECT_EQ(a.Weekday, 3u);

    EXPECT_EQ(RtcMakeAlarm(&today, 12, 0, 0, false).Hour, 0u);   /* 12 AM */
    EXPECT_EQ(RtcMakeAlarm(&today, 12, 0, 0, true).Hour, 12u);   /* 12 PM */
    EXPECT_EQ(RtcMakeAlarm(&today, 11, 0, 0, true).Hour, 23u);
    EXPECT_EQ(RtcMakeAlarm(&today, 1, 0, 0, false).Hour, 1u);

    for (unsigned field : {0u, 12u, 13u, 24u, 99u, 65535u, 65536u + 12u, 0xFFFFFFFFu})
        for (bool pm : {false, true})
            EXPECT_LE(RtcMakeAlarm(&today, field, 0, 0, pm).Hour, 23u) << field << " pm=" << pm;

    /* Minute and second are kept as 16 bits, letters (read as 0) send 0. */
    a = RtcMakeAlarm(&today, 1, 0x10005u, 0, false);
    EXPECT_EQ(a.Minute, 5u);
    EXPECT_EQ(a.Second, 0u);
}

TEST(RtcAlarmRecord, IsSixteenLittleEndianBytesInTimeFieldsOrder)
{
    RTC_ALARM_TIME a = {0x07EA, 0x000C, 0x0006, 0x000F, 0x0005, 0x0009, 0x0000, 0x0102};
    unsigned char bytes[16];
    ASSERT_EQ(sizeof a, sizeof bytes);
    memcpy(bytes, &a, sizeof bytes);
    const unsigned char expected[16] = {
        0xEA, 0x07, 0x0C, 0x00, 0x06, 0x00, 0x0F, 0x00,   /* year month day hour */
        0x05, 0x00, 0x09, 0x00, 0x00, 0x00, 0x02, 0x01,   /* minute second ms weekday */
    };
    EXPECT_EQ(memcmp(bytes, expected, sizeof bytes), 0);
    EXPECT_EQ(offsetof(RTC_ALARM_TIME, Hour), 6u);
    EXPECT_EQ(offsetof(RTC_ALARM_TIME, Weekday), 14u);
}

TEST(RtcFieldLimits, TypedValuesAreHeldToTheNearerLimit)
{
    const RtcFieldLimits *hour = RtcLimitsFor(IDC_RTC_HOUR);
    const RtcFieldLimits *minute = RtcLimitsFor(IDC_RTC_MINUTE);
    ASSERT_TRUE(hour && minute);
    EXPECT_EQ(RtcLimitsFor(IDC_RTC_FRAME), nullptr);
    unsigned v = 777;

    EXPECT_TRUE(RtcClampTyped(minute, 75, &v));  EXPECT_EQ(v, 59u);
    EXPECT_TRUE(RtcClampTyped(hour, 0, &v));     EXPECT_EQ(v, 1u);   /* 0, empty or letters */
    EXPECT_TRUE(RtcClampTyped(hour, 13, &v));    EXPECT_EQ(v, 12u);

    v = 777;
    EXPECT_FALSE(RtcClampTyped(minute, 0, &v));  /* letters stay in the minute field */
    EXPECT_FALSE(RtcClampTyped(minute, 59, &v));
    EXPECT_FALSE(RtcClampTyped(hour, 1, &v));
    EXPECT_FALSE(RtcClampTyped(hour, 12, &v));
    EXPECT_EQ(v, 777u);

    /* Readings of 2^31 and more compare as negative numbers. */
    EXPECT_TRUE(RtcClampTyped(minute, 0x80000000u, &v)); EXPECT_EQ(v, 0u);
    EXPECT_TRUE(RtcClampTyped(hour, 0xFFFFFFFFu, &v));   EXPECT_EQ(v, 1u);
    EXPECT_TRUE(RtcClampTyped(minute, 0x7FFFFFFFu, &v)); EXPECT_EQ(v, 59u);
}

TEST(RtcTexts, LogLineMessageAndFailureText)
{
    char buf[RTC_MESSAGE_SIZE];
    RTC_ALARM_TIME a = {2026, 12, 6, 15, 5, 9, 0, 0};
    EXPECT_EQ(RtcFormatSetLine(buf, sizeof buf, &a), 41);
    EXPECT_STREQ(buf, "Setting RTC Alarm to 12/6/2026 15:05:09\r\n");
    RtcFormatAlarmMessage(buf, sizeof buf, &a);
    EXPECT_STREQ(buf, "The RTC Wake Alarm is currently set for 12/6/2026 at 15:5:09");

    RTC_ALARM_TIME zero = {0, 0, 0, 0, 0, 0, 0, 0};
    RtcFormatSetLine(buf, sizeof buf, &zero);
    EXPECT_STREQ(buf, "Setting RTC Alarm to 0/0/0 00:00:00\r\n");
    RtcFormatAlarmMessage(buf, sizeof buf, &zero);
    EXPECT_STREQ(buf, "The RTC Wake Alarm is currently set for 0/0/0 at 0:0:00");

    RtcFormatReadFailure(buf, sizeof buf, 6);
    EXPECT_STREQ(buf, "The RTC Wake Alarm could not be read: the driver request failed with system error 6.");

    /* The widest values still fit the message buffer, a short buffer is cut. */
    RTC_ALARM_TIME wide = {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535};
    int n = RtcFormatAlarmMessage(buf, sizeof buf, &wide);
    EXPECT_EQ((size_t)n, strlen(buf));
    EXPECT_EQ(std::string(buf), "The RTC Wake Alarm is currently set for 65535/65535/65535 at 65535:65535:65535");
    RtcFormatReadFailure(buf, sizeof buf, 0xFFFFFFFFul);
    EXPECT_LT(strlen(buf), sizeof buf);

    char small[12];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(RtcFormatSetLine(small, sizeof small, &a), 11);
    EXPECT_STREQ(small, "Setting RTC");
    char untouched = 'x';
    EXPECT_EQ(RtcFormatAlarmMessage(&untouched, 0, &a), 0);
    EXPECT_EQ(untouched, 'x');
}
