/* The RTC Alarm page's rules that need no window: what the time editor
   shows of a local time, the alarm record built from its fields (or from
   a time ahead, for VMTCYCLE.EXE), the limits of each editor element and
   the texts the page writes. */
#ifndef VMT_RTCRULES_H
#define VMT_RTCRULES_H

#include <stddef.h>
#include "driver/acpiioctl.h"

/* Today's date as GetLocalTime gives it. */
struct RtcDate {
    unsigned year, month, day;
    unsigned dayOfWeek;   /* 0 = Sunday */
};

/* What the time editor shows: the hour on the 12-hour clock, written as
   0 at midnight and at noon; pm selects the list's "PM" row. */
struct RtcEditorFields {
    unsigned hour, minute, second;
    bool     pm;
};

RtcEditorFields RtcFieldsFromTime(unsigned hour, unsigned minute, unsigned second);

/* The record Set alarm sends: today's date, the three fields (each kept
   as 16 bits) and the AM/PM state.  The hour field counts 12 as 0 of its
   half of the day, so 12 AM is hour 0 and 12 PM is hour 12; the record's
   hour stays within 0 to 23 whatever the field holds. */
RTC_ALARM_TIME RtcMakeAlarm(const RtcDate *today, unsigned hourField,
                            unsigned minuteField, unsigned secondField, bool pm);

/* A local time as GetLocalTime gives it. */
struct RtcLocalTime {
    RtcDate  date;
    unsigned hour, minute, second, milliseconds;
};

/* The record of the alarm `seconds` after now, on the first whole second
   at least that far ahead (the RTC keeps no fractions): the date rolled
   over at midnight, the end of a month and of a year, the weekday filled,
   milliseconds 0.  *delayMs gets how far ahead of now it is (32 bits:
   seconds up to 49 days). */
RTC_ALARM_TIME RtcAlarmAfter(const RtcLocalTime *now, unsigned long seconds,
                             unsigned long *delayMs);

/* One up-down acceleration step, laid out like the platform's UDACCEL. */
struct RtcAccel {
    unsigned seconds;   /* how long an arrow has been held */
    unsigned step;
};

/* Range and acceleration of one editor element. */
struct RtcFieldLimits {
    int      control;   /* control id of the field or the list */
    int      minimum;
    int      maximum;
    int      nAccel;
    RtcAccel accel[2];
};

enum { RTC_LIMIT_COUNT = 4 };
extern const RtcFieldLimits g_RtcFieldLimits[RTC_LIMIT_COUNT];

/* The limits of the element with this control id, or NULL. */
const RtcFieldLimits *RtcLimitsFor(int control);

/* A typed value as GetDlgItemInt read it (unsigned, 0 for unreadable
   text), held to the limits.  Returns true and the value to write back when
   the field must be corrected.  The comparisons are those of signed 32-bit
   numbers, so a reading of 2^31 or more counts as below the minimum. */
bool RtcClampTyped(const RtcFieldLimits *limits, unsigned typed, unsigned *corrected);

/* Texts, written into the caller's buffer of size bytes (always ended with
   a NUL, cut when the buffer is short).  Each returns the length written. */
enum { RTC_MESSAGE_SIZE = 256 };

/* "Setting RTC Alarm to m/d/y hh:mm:ss\r\n" */
int RtcFormatSetLine(char *buf, size_t size, const RTC_ALARM_TIME *alarm);
/* "The RTC Wake Alarm is currently set for m/d/y at h:m:ss" */
int RtcFormatAlarmMessage(char *buf, size_t size, const RTC_ALARM_TIME *alarm);
/* The text shown when the driver could not give the alarm. */
int RtcFormatReadFailure(char *buf, size_t size, unsigned long systemError);

#endif
