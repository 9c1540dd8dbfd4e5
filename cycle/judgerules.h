/* One sleep and wake cycle judged, its console line, and the summary of a
   run.  Plain C++ without Windows headers. */
#ifndef VMT_JUDGERULES_H
#define VMT_JUDGERULES_H

#include <stddef.h>
#include <stdint.h>
#include "cycle/switchrules.h"
#include "driver/acpiioctl.h"

/* How much earlier than the alarm a wake may come: the alarm and the
   clocks that time the sleep keep whole seconds. */
#define CYCLE_EARLY_MARGIN_MS 1000ul

enum { CYCLE_LINE_SIZE = 512, CYCLE_ERROR_TEXT_SIZE = 256 };

/* What one cycle found.  The alarm is set and read back; only an alarm
   that reads back as set is slept on. */
struct CycleResult {
    unsigned number;                  /* 1, 2, ... */
    RTC_ALARM_TIME set, read;
    unsigned long readBytes;          /* of the alarm read back */
    bool slept;                       /* the sleep request was sent */
    unsigned long sleptMs;            /* how long it took to return */
    unsigned long alarmMs;            /* from its start to the alarm */
    const char *failedRequest;        /* the name of a request that failed, or NULL */
    unsigned long error;              /* its system error and the system's text */
    char errorText[CYCLE_ERROR_TEXT_SIZE];
};

enum CycleVerdict { CYCLE_PASS, CYCLE_REQUEST_FAILED, CYCLE_ALARM_DIFFERS, CYCLE_WOKE_EARLY, CYCLE_WOKE_LATE };

/* Whether the alarm read back (bytes of it) is the one set: the whole
   record, its time the same to within a second (the RTC counts its own
   seconds); the weekday and milliseconds are not compared. */
bool CycleAlarmMatches(const RTC_ALARM_TIME *set, const RTC_ALARM_TIME *read, unsigned long bytes);
CycleVerdict CycleJudge(const CycleResult *r, unsigned toleranceSeconds);

/* Whether the capability mask offers Sn; S4 has no bit and is left to
   the request. */
bool CycleStateSupported(unsigned sleep, uint32_t mask);

/* "cycle 3 of 10: S3, woke after 30.2 s (alarm 30 s): pass", or
   ": fail: " and the reason; CycleReason gives the reason alone ("" for a
   pass).  Into buf[size], cut when short; each returns its length. */
int CycleLine(char *buf, size_t size, const CycleOptions *o, const CycleResult *r, CycleVerdict v);
int CycleReason(char *buf, size_t size, const CycleOptions *o, const CycleResult *r, CycleVerdict v);

/* The run so far. */
struct CycleTally {
    unsigned run, passed;
    unsigned woke;                    /* cycles whose sleep returned */
    unsigned long longestMs, shortestMs;
    bool stopped;                     /* by Ctrl+C */
};
void CycleCount(CycleTally *t, const CycleResult *r, CycleVerdict v);
/* "summary: 3 of 3 cycles run, 2 passed, 1 failed, longest wake 30.4 s,
   shortest wake 0.0 s" */
int CycleSummary(char *buf, size_t size, const CycleOptions *o, const CycleTally *t);
int CycleExitCode(const CycleTally *t);

#endif
