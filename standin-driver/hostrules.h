/* The host backend: the seven requests carried out on the Linux machine the
   driver runs on, through its power-management files under /sys.  Plain C
   without kernel headers, in standin-driver/hostrules/, a file a concern
   (sleep.c for S1 to S4, idle.c, thermal.c, rtc.c, capabilities.c, ...).
   Every file access, the idle wait and the clock go through a HOST_PLATFORM
   table: the driver installs the kernel one (standin-driver/host.c), the
   native tests a fake that can fail any access. */
#ifndef ACPISIM_HOSTRULES_H
#define ACPISIM_HOSTRULES_H

#include "standin-driver/acpisimrules.h"

#ifdef __cplusplus
extern "C" {
#endif

/* NTSTATUS values a file access can give under Wine (errno turned into a
   status), and the ones the backend answers with. */
#define HOST_STATUS_NOT_IMPLEMENTED        0xC0000002u  /* ENOSYS */
#define HOST_STATUS_NO_SUCH_DEVICE         0xC000000Eu  /* ENXIO */
#define HOST_STATUS_END_OF_FILE            0xC0000011u
#define HOST_STATUS_ACCESS_DENIED          0xC0000022u  /* EACCES, EPERM, EROFS */
#define HOST_STATUS_OBJECT_NAME_NOT_FOUND  0xC0000034u  /* ENOENT */
#define HOST_STATUS_OBJECT_PATH_NOT_FOUND  0xC000003Au  /* ENOTDIR, a missing folder */
#define HOST_STATUS_SHARING_VIOLATION      0xC0000043u  /* EAGAIN */
#define HOST_STATUS_DEVICE_NOT_READY       0xC00000A3u  /* EIO */
#define HOST_STATUS_FILE_IS_A_DIRECTORY    0xC00000BAu
#define HOST_STATUS_IO_DEVICE_ERROR        0xC0000185u
#define HOST_STATUS_DEVICE_BUSY            0x80000011u  /* EBUSY */

/* Capability bits of the host backend beyond the five the program reads
   (ACPI_CAP_S1 ... ACPI_CAP_C3). */
#define HOST_CAP_S4    0x008u
#define HOST_CAP_C1    0x040u
#define HOST_CAP_FAN   0x080u
#define HOST_CAP_DUTY  0x100u
#define HOST_CAP_RTC   0x200u

/* Limits of what the backend keeps track of. */
#define HOST_MAX_CPUS        1024u
#define HOST_MAX_IDLE_STATES 16u
#define HOST_MAX_SAVED       1024u   /* settings to put back at the last close */
#define HOST_NOTE_CHARS      160u    /* journal text of one request */
#define HOST_IDLE_NAME_CHARS 24u     /* a cpuidle driver's or idle state's name */
#define HOST_PATH_CHARS      96u     /* a path below the root, its NUL included */

/* A time-zone rule as the system keeps it (the SYSTEMTIME field order of
   TIME_ZONE_INFORMATION).  A date with Year 0 is yearly: the Day-th
   DayOfWeek (0 = Sunday) of Month, 5 meaning the last, at Hour:Minute local
   time.  DaylightDate.Month 0: no daylight saving time. */
typedef struct HOST_ZONE_DATE {
    uint16_t Year, Month, DayOfWeek, Day, Hour, Minute, Second, Milliseconds;
} HOST_ZONE_DATE;

typedef struct HOST_ZONE {
    int32_t Bias;            /* minutes: UTC = local standard time + Bias + StandardBias */
    int32_t StandardBias, DaylightBias;
    HOST_ZONE_DATE StandardDate, DaylightDate;
} HOST_ZONE;

/* The system clock: whole seconds since 1601-01-01 00:00 UTC, and the zone. */
typedef struct HOST_CLOCK {
    int64_t Utc;
    HOST_ZONE Zone;
} HOST_CLOCK;

/* What the backend reaches the machine through.  Paths are relative to the
   root ("sys/power/state"); root is the SysfsRoot setting, NUL-terminated
   UTF-16.  Read and Write open the file (never creating it), read or write
   once at offset 0 and close it, and return the status of the access. */
typedef struct HOST_PLATFORM {
    void *Context;
    uint32_t (*Read)(void *ctx, const uint16_t *root, const char *path,
                     char *buf, uint32_t size, uint32_t *got);
    uint32_t (*Write)(void *ctx, const uint16_t *root, const char *path,
                      const char *text, uint32_t length, uint32_t *written);
    /* Opens the file for writing and closes it again, writing nothing. */
    uint32_t (*CanWrite)(void *ctx, const uint16_t *root, const char *path);
    void (*Idle)(void *ctx, uint32_t milliseconds);
    /* The clock and its zone: success, or the failure of reading them. */
    uint32_t (*Now)(void *ctx, HOST_CLOCK *clock);
} HOST_PLATFORM;

/* The backend's table ("host") and the platform it uses; without one every
   request fails with STATUS_NOT_SUPPORTED. */
extern const ACPISIM_BACKEND AcpiSimHost;
void AcpiSimHostSetPlatform(const HOST_PLATFORM *platform);
/* The simulated machine's sleeps wait on the same kind of platform (its
   clock and its idle wait); without one they return at once. */
void AcpiSimSimulatedSetPlatform(const HOST_PLATFORM *platform);
/* Installs the kernel's platform for both (standin-driver/host.c). */
void AcpiSimKernelStart(void);
/* Forgets every saved setting without writing it back (tests only). */
void AcpiSimHostReset(void);

/* ---- The decisions, exposed for the tests ---- */

/* The status the program gets for the status of a file access: success,
   STATUS_NOT_SUPPORTED (the file or feature is missing),
   STATUS_ACCESS_DENIED, STATUS_DEVICE_BUSY, STATUS_INVALID_PARAMETER, or
   STATUS_IO_DEVICE_ERROR for anything else. */
uint32_t HostStatus(uint32_t accessStatus);

/* The first line of a sysfs text, without its line end, into line: 1, or 0
   when the text is not whole (it has characters but no line end, the mark
   of a short read).  An empty text is whole: an empty line. */
int HostFirstLine(const char *text, char *line, size_t size);
/* Whether word is one of the blank-separated words of text; a word in
   square brackets ("[deep]") counts as itself. */
int HostHasWord(const char *text, const char *word);
/* The word in square brackets (the current choice) into out: 1, or 0. */
int HostSelected(const char *text, char *out, size_t size);
/* One unsigned decimal number on the first line, nothing else: 1, or 0. */
int HostParseNumber(const char *text, uint64_t *value);
/* A CPU list ("0-3,5\n") into a bit set of HOST_MAX_CPUS bits: 1, or 0 when
   it is malformed or names a CPU beyond the limit. */
int HostParseCpuList(const char *text, uint8_t set[HOST_MAX_CPUS / 8]);

/* The idle state (index into names) that stands for Cn (1 to 3), or -1.
   Under acpi_idle the state named "Cn"; where the states carry the
   firmware's names ("Cn_ACPI") that one; otherwise, leaving out POLL, C1 is
   the shallowest state, C3 the deepest and C2 the middle one between them
   (C3 needs two such states, C2 three). */
int HostMapIdleState(const char *driver, const char (*names)[HOST_IDLE_NAME_CHARS], uint32_t count, uint32_t n);

/* Calendar arithmetic in seconds since 1601-01-01 00:00, of local or
   universal time alike.  The record's fields are taken as they are
   (milliseconds and weekday ignored); the reverse fills the weekday and
   sets milliseconds to 0. */
int64_t HostRecordToSeconds(const RTC_ALARM_TIME *t);
void    HostSecondsToRecord(int64_t seconds, RTC_ALARM_TIME *t);
int64_t HostUtcToLocal(const HOST_ZONE *zone, int64_t utc);
/* A local time that occurs twice (the hour the clocks go back) is its
   first occurrence; one that does not occur (the hour they go forward) is
   read as standard time. */
int64_t HostLocalToUtc(const HOST_ZONE *zone, int64_t local);
/* Seconds from the clock's now until the alarm record, taken as local
   time; an alarm not in the future is moved to the next time its time of
   day comes round (*passed set).  *fires gets the local time it fires. */
int64_t HostAlarmDelay(const HOST_CLOCK *now, const RTC_ALARM_TIME *alarm,
                       int *passed, int64_t *fires);

#ifdef __cplusplus
}
#endif

#endif
