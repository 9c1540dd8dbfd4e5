/* The RTC Alarm page's rules that need no window. */
#include "pages/rtcrules.h"
#include "driver/calendar.h"
#include "res/resource.h"
#include "res/textrules.h"
#include "res/texts.h"
#include <stdint.h>
#include <stdio.h>

const RtcFieldLimits g_RtcFieldLimits[RTC_LIMIT_COUNT] = {
    /* control       min  max  acceleration (held seconds, step) */
    { IDC_RTC_HOUR,   1, 12, 2, {{0, 1}, {2, 1}} },
    { IDC_RTC_MINUTE, 0, 59, 2, {{0, 1}, {2, 5}} },
    { IDC_RTC_SECOND, 0, 59, 2, {{0, 1}, {2, 5}} },
    { IDC_RTC_AMPM,   0,  1, 1, {{0, 1}, {0, 0}} },
};

const RtcFieldLimits *RtcLimitsFor(int control)
{
    for (const RtcFieldLimits &limits : g_RtcFieldLimits)
        if (limits.control == control)
            return &limits;
    return NULL;
}

bool RtcClampTyped(const RtcFieldLimits *limits, unsigned typed, unsigned *corrected)
{
    int32_t value = (int32_t)typed;
    bool changed = false;
    if (value < limits->minimum) {
        *corrected = (unsigned)limits->minimum;
        changed = true;
    }
    if (value > limits->maximum) {
        *corrected = (unsigned)limits->maximum;
        changed = true;
    }
    return changed;
}

RtcEditorFields RtcFieldsFromTime(unsigned hour, unsigned minute, unsigned second)
{
    RtcEditorFields fields;
    fields.hour = hour % 12;
    fields.minute = minute;
    fields.second = second;
    fields.pm = hour >= 12;
    return fields;
}

RTC_ALARM_TIME RtcMakeAlarm(const RtcDate *today, unsigned hourField,
                            unsigned minuteField, unsigned secondField, bool pm)
{
    RTC_ALARM_TIME alarm;
    alarm.Year = (uint16_t)today->year;
    alarm.Month = (uint16_t)today->month;
    alarm.Day = (uint16_t)today->day;
    alarm.Hour = (uint16_t)((uint16_t)hourField % 12 + (pm ? 12 : 0));
    alarm.Minute = (uint16_t)minuteField;
    alarm.Second = (uint16_t)secondField;
    alarm.Milliseconds = 0;
    alarm.Weekday = (uint16_t)today->dayOfWeek;
    return alarm;
}

RTC_ALARM_TIME RtcAlarmAfter(const RtcLocalTime *now, unsigned long seconds,
                             unsigned long *delayMs)
{
    const unsigned long DAY = 86400;
    unsigned long rounding = now->milliseconds ? 1 : 0;
    unsigned long at = now->hour * 3600ul + now->minute * 60ul + now->second + seconds + rounding;
    int32_t days = CalendarDays((int32_t)now->date.year, now->date.month, now->date.day) + (int32_t)(at / DAY);
    int32_t year;
    uint32_t month, day;
    CalendarDate(days, &year, &month, &day);
    *delayMs = (seconds + rounding) * 1000 - (rounding ? now->milliseconds : 0);
    at %= DAY;
    RTC_ALARM_TIME alarm;
    alarm.Year = (uint16_t)year;
    alarm.Month = (uint16_t)month;
    alarm.Day = (uint16_t)day;
    alarm.Hour = (uint16_t)(at / 3600);
    alarm.Minute = (uint16_t)(at / 60 % 60);
    alarm.Second = (uint16_t)(at % 60);
    alarm.Milliseconds = 0;
    alarm.Weekday = (uint16_t)CalendarWeekday(days);
    return alarm;
}

int RtcFormatSetLine(char *buf, size_t size, const RTC_ALARM_TIME *alarm)
{
    size_t n = 0;
    TextAppend(buf, size, &n, RTC_SET_FORMAT "\r\n", alarm->Month, alarm->Day, alarm->Year,
               alarm->Hour, alarm->Minute, alarm->Second);
    return (int)n;
}

int RtcFormatAlarmMessage(char *buf, size_t size, const RTC_ALARM_TIME *alarm)
{
    size_t n = 0;
    TextAppend(buf, size, &n, RTC_ALARM_FORMAT, alarm->Month, alarm->Day, alarm->Year,
               alarm->Hour, alarm->Minute, alarm->Second);
    return (int)n;
}

int RtcFormatReadFailure(char *buf, size_t size, unsigned long systemError)
{
    size_t n = 0;
    TextAppend(buf, size, &n, RTC_READ_FAILED_FORMAT, systemError);
    return (int)n;
}
