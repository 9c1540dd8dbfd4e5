#include "pages/rtcrules.h"
#include "res/resource.h"
#include <gtest/gtest.h>
#include <string.h>

static const RtcDate kToday = {2026, 12, 6, 3};

TEST(RtcRules, EditorFieldsAndTheHourSetSends)
{
    struct Row { unsigned hour, minute, second, shown; bool pm; } rows[] = {
        {15, 5, 9, 3, true}, {12, 30, 0, 0, true}, {0, 15, 0, 0, false}, {11, 59, 59, 11, false}};
    for (const Row &r : rows) {
        RtcEditorFields f = RtcFieldsFromTime(r.hour, r.minute, r.second);
        EXPECT_EQ(f.hour, r.shown) << r.hour;
        EXPECT_EQ(f.minute, r.minute) << r.hour;
        EXPECT_EQ(f.second, r.second) << r.hour;
        EXPECT_EQ(f.pm, r.pm) << r.hour;
        EXPECT_EQ(RtcMakeAlarm(&kToday, f.hour, f.minute, f.second, f.pm).Hour, r.hour);
    }
    EXPECT_EQ(RtcMakeAlarm(&kToday, 12, 0, 0, false).Hour, 0u);   /* 12 AM */
    EXPECT_EQ(RtcMakeAlarm(&kToday, 12, 0, 0, true).Hour, 12u);   /* 12 PM */
    /* Any field contents, as GetDlgItemInt read them: kept as 16 bits, then
       counted on the 12-hour clock of the half of the day shown. */
    struct Odd { unsigned field; bool pm; unsigned hour; } odd[] = {
        {13, true, 13}, {24, true, 12}, {65536 + 12, false, 0}, {65536 + 5, true, 17},
        {0x05000003, true, 15}, {0xFFFFFFFF, true, 15}};
    for (const Odd &o : odd)
        EXPECT_EQ(RtcMakeAlarm(&kToday, o.field, 0, 0, o.pm).Hour, o.hour) << o.field;

    /* The record: 16 little-endian bytes in the kernel's TIME_FIELDS order. */
    RTC_ALARM_TIME a = RtcMakeAlarm(&kToday, 3, 5, 9, true);
    const unsigned char bytes[16] = {0xEA, 0x07, 12, 0, 6, 0, 15, 0, 5, 0, 9, 0, 0, 0, 3, 0};
    ASSERT_EQ(sizeof a, sizeof bytes);
    EXPECT_EQ(memcmp(&a, bytes, sizeof bytes), 0);
}

TEST(RtcRules, TypedValuesAreHeldToTheNearerLimit)
{
    /* The typed value as GetDlgItemInt reads it: 0 for empty or letters. */
    struct Row { int control; unsigned typed; bool changed; unsigned corrected; } rows[] = {
        {IDC_RTC_MINUTE, 75, true, 59}, {IDC_RTC_HOUR, 0, true, 1}, {IDC_RTC_HOUR, 13, true, 12},
        {IDC_RTC_SECOND, 0, false, 0}, {IDC_RTC_HOUR, 12, false, 0}, {IDC_RTC_HOUR, 1, false, 0},
        {IDC_RTC_MINUTE, 0x80000000u, true, 0}, {IDC_RTC_HOUR, 0xFFFFFFFFu, true, 1}};
    for (const Row &r : rows) {
        unsigned v = 0;
        EXPECT_EQ(RtcClampTyped(RtcLimitsFor(r.control), r.typed, &v), r.changed) << r.typed;
        EXPECT_EQ(v, r.corrected) << r.typed;
    }
}

TEST(RtcRules, LogLineAndMessageTexts)
{
    char buf[RTC_MESSAGE_SIZE];
    RTC_ALARM_TIME zero = {0, 0, 0, 0, 0, 0, 0, 0}, wide = {65535, 65535, 65535, 65535, 65535, 65535, 65535, 65535};
    RtcFormatSetLine(buf, sizeof buf, &zero);
    EXPECT_STREQ(buf, "Setting RTC Alarm to 0/0/0 00:00:00\r\n");
    RtcFormatAlarmMessage(buf, sizeof buf, &zero);
    EXPECT_STREQ(buf, "The RTC Wake Alarm is currently set for 0/0/0 at 0:0:00");
    EXPECT_EQ(RtcFormatSetLine(buf, 12, &wide), 11);              /* a short buffer is cut */
    EXPECT_STREQ(buf, "Setting RTC");
}
