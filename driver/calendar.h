/* The calendar: dates as whole days counted from 1601-01-01 (day 0, a
   Monday), the start of the system's time, on the Gregorian calendar.
   Plain C on 32-bit numbers, so the kernel-mode driver needs no 64-bit
   division helpers; shared by the programs and the stand-in driver. */
#ifndef VMT_CALENDAR_H
#define VMT_CALENDAR_H

#include <stdint.h>
#include "driver/acpiioctl.h"

#ifdef __cplusplus
extern "C" {
#endif

int32_t  CalendarDays(int32_t year, uint32_t month, uint32_t day);
void     CalendarDate(int32_t days, int32_t *year, uint32_t *month, uint32_t *day);
/* 0 = Sunday; days from 0 on. */
uint32_t CalendarWeekday(int32_t days);
/* 28 to 31 for a month of 1 to 12. */
uint32_t CalendarMonthDays(int32_t year, uint32_t month);
/* An alarm record's date and time of day in seconds from 1601-01-01
   00:00; its milliseconds and weekday are not read. */
int64_t  CalendarSeconds(const RTC_ALARM_TIME *t);

#ifdef __cplusplus
}
#endif

#endif
