/* The calendar in days from 1601-01-01.  The conversions count in eras of
   400 years (146,097 days), which begin on 1 March so that the leap day
   ends a year. */
#include "driver/calendar.h"

#define DAYS_1601_TO_1970 134774
#define DAYS_0000_03_01_TO_1970 719468

int32_t CalendarDays(int32_t y, uint32_t m, uint32_t d)
{
    y -= m <= 2;
    int32_t era = (y >= 0 ? y : y - 399) / 400;
    uint32_t yoe = (uint32_t)(y - era * 400);
    uint32_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    uint32_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (int32_t)doe - DAYS_0000_03_01_TO_1970 + DAYS_1601_TO_1970;
}

void CalendarDate(int32_t z, int32_t *y, uint32_t *m, uint32_t *d)
{
    z += DAYS_0000_03_01_TO_1970 - DAYS_1601_TO_1970;
    int32_t era = (z >= 0 ? z : z - 146096) / 146097;
    uint32_t doe = (uint32_t)(z - era * 146097);
    uint32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    uint32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    uint32_t mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = (int32_t)yoe + era * 400 + (*m <= 2);
}

uint32_t CalendarWeekday(int32_t days)
{
    return (uint32_t)(days + 1) % 7;   /* day 0 was a Monday */
}

uint32_t CalendarMonthDays(int32_t year, uint32_t month)
{
    static const uint8_t length[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    int leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return length[(month - 1) % 12] + (month == 2 && leap);
}

int64_t CalendarSeconds(const RTC_ALARM_TIME *t)
{
    return (int64_t)CalendarDays(t->Year, t->Month, t->Day) * 86400 + t->Hour * 3600 + t->Minute * 60 + t->Second;
}
