/* The host backend's clock arithmetic: calendar dates as seconds since
   1601, time zones with their daylight-saving rules, and when an alarm
   fires. */
#include "standin-driver/hostrules/common.h"
#include "driver/calendar.h"

#define DAY 86400

static int32_t DaysOf(int64_t seconds, uint32_t *secondOfDay)
{
    if (seconds < 0)
        seconds = 0;    /* before 1601: not a time this backend meets */
    return (int32_t)AcpiSimDivide((uint64_t)seconds, DAY, secondOfDay);
}

static int64_t At(int32_t days, uint32_t hour, uint32_t minute, uint32_t second)
{
    return (int64_t)days * DAY + hour * 3600 + minute * 60 + second;
}

int64_t HostRecordToSeconds(const RTC_ALARM_TIME *t)
{
    return CalendarSeconds(t);
}

void HostSecondsToRecord(int64_t seconds, RTC_ALARM_TIME *t)
{
    uint32_t sec, m, d;
    int32_t y, days = DaysOf(seconds, &sec);
    CalendarDate(days, &y, &m, &d);
    t->Year = (uint16_t)y;
    t->Month = (uint16_t)m;
    t->Day = (uint16_t)d;
    t->Hour = (uint16_t)(sec / 3600);
    t->Minute = (uint16_t)(sec / 60 % 60);
    t->Second = (uint16_t)(sec % 60);
    t->Milliseconds = 0;
    t->Weekday = (uint16_t)CalendarWeekday(days);
}

/* The local time of a zone date's change in that year, or -1. */
static int64_t ChangeIn(const HOST_ZONE_DATE *r, int32_t year)
{
    uint32_t day;
    if (r->Month < 1 || r->Month > 12)
        return -1;
    if (r->Year) {
        if (r->Year != year)
            return -1;
        day = r->Day;
    } else {
        uint32_t length = CalendarMonthDays(year, r->Month);
        uint32_t firstWeekday = CalendarWeekday(CalendarDays(year, r->Month, 1));
        day = 1 + (r->DayOfWeek % 7 + 7 - firstWeekday) % 7 + 7 * (r->Day ? r->Day - 1u : 0u);
        while (day > length)
            day -= 7;
    }
    return At(CalendarDays(year, r->Month, day), r->Hour, r->Minute, r->Second);
}

static int Daylight(const HOST_ZONE *z, int64_t utc)
{
    uint32_t m, d, sec;
    int32_t year;
    if (!z->DaylightDate.Month || !z->StandardDate.Month)
        return 0;
    CalendarDate(DaysOf(utc - (int64_t)(z->Bias + z->StandardBias) * 60, &sec), &year, &m, &d);
    int64_t start = ChangeIn(&z->DaylightDate, year), end = ChangeIn(&z->StandardDate, year);
    if (start < 0 || end < 0)
        return 0;
    start += (int64_t)(z->Bias + z->StandardBias) * 60;   /* given in standard time */
    end += (int64_t)(z->Bias + z->DaylightBias) * 60;     /* given in daylight time */
    return start < end ? utc >= start && utc < end : utc >= start || utc < end;
}

int64_t HostUtcToLocal(const HOST_ZONE *z, int64_t utc)
{
    int32_t bias = z->Bias + (Daylight(z, utc) ? z->DaylightBias : z->StandardBias);
    return utc - (int64_t)bias * 60;
}

int64_t HostLocalToUtc(const HOST_ZONE *z, int64_t local)
{
    int64_t standard = local + (int64_t)(z->Bias + z->StandardBias) * 60;
    int64_t daylight = local + (int64_t)(z->Bias + z->DaylightBias) * 60;
    int okStandard = HostUtcToLocal(z, standard) == local;
    int okDaylight = HostUtcToLocal(z, daylight) == local;
    if (okStandard && okDaylight)
        return standard < daylight ? standard : daylight;
    return okDaylight ? daylight : standard;
}

int64_t HostAlarmDelay(const HOST_CLOCK *now, const RTC_ALARM_TIME *alarm, int *passed, int64_t *fires)
{
    int64_t target = HostLocalToUtc(&now->Zone, HostRecordToSeconds(alarm));
    *passed = target <= now->Utc;
    if (*passed) {
        /* As the CMOS alarm itself fires: the next time that time of day
           comes round, today or tomorrow (the day after when a change of
           the clocks skipped it). */
        uint32_t sec;
        int32_t today = DaysOf(HostUtcToLocal(&now->Zone, now->Utc), &sec);
        for (int32_t day = today; day <= today + 2; day++) {
            target = HostLocalToUtc(&now->Zone, At(day, alarm->Hour, alarm->Minute, alarm->Second));
            if (target > now->Utc)
                break;
        }
    }
    *fires = HostUtcToLocal(&now->Zone, target);
    return target - now->Utc;
}
