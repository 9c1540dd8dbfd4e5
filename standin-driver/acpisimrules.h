/* The stand-in power-control driver's rules: request checks, journal lines
   and the seam to the backend that carries the requests out.  Plain C
   without kernel headers: built into the driver and natively for the unit
   tests (library acpisimrules). */
#ifndef VMT_ACPISIMRULES_H
#define VMT_ACPISIMRULES_H

#include <stddef.h>
#include <stdint.h>
#include "driver/acpiioctl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The NTSTATUS values the driver completes requests with. */
#define ACPISIM_STATUS_SUCCESS                0x00000000u
#define ACPISIM_STATUS_UNSUCCESSFUL           0xC0000001u
#define ACPISIM_STATUS_INVALID_PARAMETER      0xC000000Du
#define ACPISIM_STATUS_INVALID_DEVICE_REQUEST 0xC0000010u
#define ACPISIM_STATUS_NOT_SUPPORTED          0xC00000BBu

/* The service's Parameters key under HKEY_LOCAL_MACHINE, as programs reach
   it; the driver reads it at every open of the device. */
#define ACPISIM_PARAMETERS_KEY "System\\CurrentControlSet\\Services\\AcpiSim\\Parameters"

/* The journal, unless the JournalFile value names another file. */
#define ACPISIM_DEFAULT_JOURNAL "C:\\acpisim-journal.txt"

/* Defaults of the values under the service's Parameters key. */
#define ACPISIM_DEFAULT_CAPABILITIES  ACPI_CAP_ALL
#define ACPISIM_DEFAULT_FAIL_STATUS   ACPISIM_STATUS_UNSUCCESSFUL
#define ACPISIM_DEFAULT_IDLE_MS       2000u
#define ACPISIM_DEFAULT_LATE_SECONDS  120u

/* How the simulated machine's sleep-state request returns (SleepWake). */
#define ACPISIM_WAKE_AT_ONCE 0u   /* at once: it never sleeps */
#define ACPISIM_WAKE_ALARM   1u   /* when the alarm set through the driver comes due */
#define ACPISIM_WAKE_LATE    2u   /* SleepLateSeconds after that */

/* The alarm years a PC's CMOS clock keeps (century byte 19 or 20, and no
   BIOS date before 1980). */
#define ACPISIM_YEAR_MIN 1980u
#define ACPISIM_YEAR_MAX 2099u

/* What carries the requests out.  Every value handed to a backend has been
   checked already; a backend answers with an NTSTATUS.  "simulated" keeps
   the last values in memory; another backend (the host machine's own power,
   thermal and clock interfaces) plugs in here, chosen by the Backend value. */
struct ACPISIM_CONFIG;
typedef struct ACPISIM_BACKEND {
    const char *Name;
    uint32_t (*SetSleepState)(uint32_t sleepState);   /* ACPI_SLEEP_STATE(1 ... 4) */
    uint32_t (*SetCpuState)(uint32_t cpuState);       /* 1 = C1 ... 3 = C3 */
    uint32_t (*SetFan)(uint32_t on);                  /* 0 or 1 */
    uint32_t (*SetDutyCycle)(uint32_t percent);       /* 0 to 100 */
    uint32_t (*GetCapabilities)(uint32_t configured, uint32_t *mask);
    uint32_t (*SetAlarm)(const RTC_ALARM_TIME *alarm);
    uint32_t (*GetAlarm)(RTC_ALARM_TIME *alarm);
    /* Optional (0 for none): told the settings at every open of the
       device; told when its last handle closes; and the journal text of
       the request just carried out, added after the line's fields ("" for
       none; taking it empties it, so a request that never reached the
       backend adds nothing).  Open and Release answer for putting back
       what the backend changed on the machine (an open that names another
       place puts back too): 0, or the first failure's status, the rest
       being kept for the next try and TakeNote telling what is kept. */
    uint32_t (*Open)(const struct ACPISIM_CONFIG *cfg);
    uint32_t (*Release)(void);
    const char *(*TakeNote)(void);
} ACPISIM_BACKEND;

/* The backend of that name ("" means the default), or 0 for none. */
extern const ACPISIM_BACKEND AcpiSimSimulated;
const ACPISIM_BACKEND *AcpiSimFindBackend(const char *name);
/* Tells every backend that the device's last handle has closed; a backend
   that could not put back all it changed is handed to failed with the
   status. */
void AcpiSimReleaseBackends(void (*failed)(const ACPISIM_BACKEND *be, uint32_t status));

/* Puts the simulated machine back to its state at start: all zero. */
void AcpiSimSimulatedReset(void);

/* The settings read from the registry at every open of the device. */
#define ACPISIM_ROOT_CHARS 200
typedef struct ACPISIM_CONFIG {
    uint32_t CapabilityMask;
    uint32_t FailCode;      /* 0 = no fault */
    uint32_t FailStatus;    /* an error or warning NTSTATUS */
    /* Host backend: the DOS or NT path under which sys\ and proc\ are
       looked up, UTF-16, NUL-terminated (empty: none, every request fails),
       and how long a processor-state request idles. */
    uint16_t SysfsRoot[ACPISIM_ROOT_CHARS];
    uint32_t HostIdleMilliseconds;
    uint32_t ShortReply;    /* a code whose successful replies hand back one
                               byte less than the code's size; 0 = none */
    uint32_t SleepWake;     /* simulated: ACPISIM_WAKE_* */
    uint32_t SleepLateSeconds;
} ACPISIM_CONFIG;

void AcpiSimDefaultConfig(ACPISIM_CONFIG *cfg);
/* The status an injected fault completes with: an error or warning status
   as configured; anything that would read as success is made
   STATUS_UNSUCCESSFUL, so a failed request never looks done. */
uint32_t AcpiSimFaultStatus(uint32_t configured);

/* A journal line: "NAME VALUE STATUS[ reply=REPLY][ NOTE]\r\n" stays well below. */
#define ACPISIM_JOURNAL_LINE 320

typedef struct ACPISIM_REQUEST {
    uint32_t Code;
    void    *Buffer;        /* the system buffer: input in, reply out */
    uint32_t InputLength;
    uint32_t OutputLength;
    uint32_t Information;   /* out: bytes of the buffer to hand back */
    char     Journal[ACPISIM_JOURNAL_LINE]; /* out: the line, CRLF, NUL */
    size_t   JournalLength;
} ACPISIM_REQUEST;

/* The size both buffers of a code must have, or 0 for an unknown code. */
uint32_t AcpiSimRequestSize(uint32_t code);

/* Checks and carries out one request; returns the status to complete it
   with and fills Information and the journal line.  The buffer is read only
   after its lengths proved right, and written only on success.  Without a
   backend (an unknown one was asked for) a well-formed request fails with
   STATUS_NOT_SUPPORTED. */
uint32_t AcpiSimRequest(const ACPISIM_BACKEND *backend, const ACPISIM_CONFIG *cfg,
                        ACPISIM_REQUEST *rq);

/* The journal line of a backend that could not put back all it changed
   ("PUT_BACK host 0xC0000022 kept=1\r\n") into line[size]: returns its
   length. */
size_t AcpiSimPutBackLine(const ACPISIM_BACKEND *be, uint32_t status, char *line, size_t size);

#ifdef __cplusplus
}
#endif

#endif
