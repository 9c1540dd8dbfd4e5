/* A cycle's verdict, its line and the summary of the run. */
#include "cycle/judgerules.h"
#include "res/textrules.h"
#include "driver/calendar.h"

namespace {

/* Seconds with one decimal, rounded. */
void PutSeconds(char *buf, size_t size, size_t *n, unsigned long ms)
{
    unsigned long tenths = (ms + 50) / 100;
    TextAppend(buf, size, n, "%lu.%lu s", tenths / 10, tenths % 10);
}

void PutAlarm(char *buf, size_t size, size_t *n, const RTC_ALARM_TIME *a)
{
    TextAppend(buf, size, n, "%04u-%02u-%02u %02u:%02u:%02u", a->Year, a->Month, a->Day, a->Hour, a->Minute, a->Second);
}

}  // namespace

bool CycleAlarmMatches(const RTC_ALARM_TIME *set, const RTC_ALARM_TIME *read, unsigned long bytes)
{
    long long apart = CalendarSeconds(read) - CalendarSeconds(set);
    return bytes == sizeof *read && apart >= -1 && apart <= 1;
}

CycleVerdict CycleJudge(const CycleResult *r, unsigned toleranceSeconds)
{
    if (r->failedRequest)
        return CYCLE_REQUEST_FAILED;
    if (!CycleAlarmMatches(&r->set, &r->read, r->readBytes))
        return CYCLE_ALARM_DIFFERS;
    if (r->sleptMs + CYCLE_EARLY_MARGIN_MS < r->alarmMs)
        return CYCLE_WOKE_EARLY;
    if (r->sleptMs > r->alarmMs + toleranceSeconds * 1000ul)
        return CYCLE_WOKE_LATE;
    return CYCLE_PASS;
}

bool CycleStateSupported(unsigned sleep, uint32_t mask)
{
    static const uint32_t bit[] = {ACPI_CAP_S1, ACPI_CAP_S2, ACPI_CAP_S3};
    return sleep > 3 || (mask & bit[sleep - 1]) != 0;
}

int CycleReason(char *buf, size_t size, const CycleOptions *o, const CycleResult *r, CycleVerdict v)
{
    size_t n = 0;
    if (size)
        buf[0] = '\0';
    switch (v) {
    case CYCLE_PASS:
        break;
    case CYCLE_REQUEST_FAILED:
        TextAppend(buf, size, &n, "%s failed with system error %lu: %s", r->failedRequest, r->error, r->errorText);
        break;
    case CYCLE_ALARM_DIFFERS:
        if (r->readBytes != sizeof r->read) {
            TextAppend(buf, size, &n, "the alarm read back is %lu of %u bytes", r->readBytes, (unsigned)sizeof r->read);
            break;
        }
        TextAppend(buf, size, &n, "the alarm read back, ");
        PutAlarm(buf, size, &n, &r->read);
        TextAppend(buf, size, &n, ", is not the one set, ");
        PutAlarm(buf, size, &n, &r->set);
        break;
    case CYCLE_WOKE_EARLY:
        TextAppend(buf, size, &n, "woke early: it never slept, or something else woke it");
        break;
    case CYCLE_WOKE_LATE:
        TextAppend(buf, size, &n, "woke late: more than %u s after the alarm, which did not wake it", o->tolerance);
        break;
    }
    return (int)n;
}

int CycleLine(char *buf, size_t size, const CycleOptions *o, const CycleResult *r, CycleVerdict v)
{
    size_t n = 0;
    if (size)
        buf[0] = '\0';
    TextAppend(buf, size, &n, "cycle %u of %u: S%u, ", r->number, o->count, o->sleep);
    if (!r->slept) {
        TextAppend(buf, size, &n, "not slept");
    } else {
        TextAppend(buf, size, &n, v == CYCLE_REQUEST_FAILED ? "returned after " : "woke after ");
        PutSeconds(buf, size, &n, r->sleptMs);
        if (v != CYCLE_REQUEST_FAILED)
            TextAppend(buf, size, &n, " (alarm %u s)", o->wake);
    }
    TextAppend(buf, size, &n, v == CYCLE_PASS ? ": pass" : ": fail: ");
    return (int)n + CycleReason(buf + n, size - n, o, r, v);
}

void CycleCount(CycleTally *t, const CycleResult *r, CycleVerdict v)
{
    t->run++;
    t->passed += v == CYCLE_PASS;
    if (r->slept && !r->failedRequest) {
        if (!t->woke || r->sleptMs > t->longestMs)
            t->longestMs = r->sleptMs;
        if (!t->woke || r->sleptMs < t->shortestMs)
            t->shortestMs = r->sleptMs;
        t->woke++;
    }
}

int CycleSummary(char *buf, size_t size, const CycleOptions *o, const CycleTally *t)
{
    size_t n = 0;
    if (size)
        buf[0] = '\0';
    TextAppend(buf, size, &n, "summary: %u of %u cycles run%s, %u passed, %u failed, ", t->run, o->count,
        t->stopped ? " (stopped by Ctrl+C)" : "", t->passed, t->run - t->passed);
    if (!t->woke) {
        TextAppend(buf, size, &n, "no wake");
        return (int)n;
    }
    TextAppend(buf, size, &n, "longest wake ");
    PutSeconds(buf, size, &n, t->longestMs);
    TextAppend(buf, size, &n, ", shortest wake ");
    PutSeconds(buf, size, &n, t->shortestMs);
    return (int)n;
}

int CycleExitCode(const CycleTally *t)
{
    return t->stopped || t->passed < t->run ? CYCLE_EXIT_FAILED : CYCLE_EXIT_PASSED;
}
