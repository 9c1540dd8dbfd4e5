/* What the host backend's files share: the files they reach, the state of
   the backend, file access, the journal note, the settings kept to put
   back and the survey of the machine. */
#ifndef VMT_HOSTRULES_COMMON_H
#define VMT_HOSTRULES_COMMON_H

#include "standin-driver/hostrules.h"
#include "standin-driver/textrules.h"

#define HOST_TEXT_CHARS  256   /* one line of a sysfs file */
#define HOST_VALUE_CHARS 24    /* a value written, or kept to put back */

/* The files, below the root. */
#define HOST_CPU_DIR         "sys/devices/system/cpu/"
#define HOST_CPUS_ONLINE     HOST_CPU_DIR "online"
#define HOST_IDLE_DRIVER     HOST_CPU_DIR "cpuidle/current_driver"
#define HOST_PSTATE_MAX      HOST_CPU_DIR "intel_pstate/max_perf_pct"
#define HOST_POWER_STATE     "sys/power/state"
#define HOST_MEM_SLEEP       "sys/power/mem_sleep"
#define HOST_DISK_MODE       "sys/power/disk"
#define HOST_SUSPEND_SUCCESS "sys/power/suspend_stats/success"
#define HOST_SUSPEND_FAIL    "sys/power/suspend_stats/fail"
#define HOST_WAKEALARM       "sys/class/rtc/rtc0/wakealarm"
#define HOST_SINCE_EPOCH     "sys/class/rtc/rtc0/since_epoch"

/* ---- sleep.c: S1 to S4 (index n - 1) ---- */
/* The word written to power/state (0: none, as for S2); for S3 and S4
   the mode file that must hold the platform's own sleep first; the
   capability bit. */
typedef struct HOST_SLEEP_KIND {
    const char *State, *ModeFile, *Mode;
    uint32_t Bit;
} HOST_SLEEP_KIND;
#define HOST_SLEEP_KINDS (ACPI_SLEEP_STATE_MAX - ACPI_SLEEP_STATE_MIN + 1)
extern const HOST_SLEEP_KIND g_HostSleepKinds[HOST_SLEEP_KINDS];

/* ---- The requests, one file each (sleep.c, idle.c, thermal.c, rtc.c,
   capabilities.c), and the backend's table (backend.c) ---- */
uint32_t HostSetSleepState(uint32_t sleepState);
uint32_t HostSetCpuState(uint32_t cpuState);
uint32_t HostSetFan(uint32_t on);
uint32_t HostSetDutyCycle(uint32_t percent);
uint32_t HostGetCapabilities(uint32_t configured, uint32_t *mask);
uint32_t HostSetAlarm(const RTC_ALARM_TIME *alarm);
uint32_t HostGetAlarm(RTC_ALARM_TIME *alarm);

/* ---- backend.c: the state every open sets ---- */
extern const HOST_PLATFORM *g_HostPlatform;
extern uint16_t g_HostRoot[ACPISIM_ROOT_CHARS];
extern uint32_t g_HostIdleMs;

/* ---- files.c: one line read or written whole, at offset 0 ---- */
/* Whether there are a platform and a root to reach files through. */
int      HostReady(void);
/* The file's first line; a short read or one that may have missed part
   of the file is a device error, an empty file an empty line. */
uint32_t HostReadLine(const char *path, char *line, size_t size);
uint32_t HostReadNumber(const char *path, uint64_t *value);
/* Writes value and a line end, as `echo value > file` does, under the
   present root or under root. */
uint32_t HostWriteLine(const char *path, const char *value);
uint32_t HostWriteUnder(const uint16_t *root, const char *path, const char *value);
uint32_t HostWriteNumber(const char *path, uint64_t value);
/* The status of opening the file for writing (nothing is written). */
uint32_t HostCanWrite(const char *path);
int      HostExists(const char *path);
/* Whether a status says the file or folder is not there. */
int      HostAbsent(uint32_t status);

/* ---- note.c: the journal text of the request in progress ---- */
/* Adds one or more blank-separated fields. */
void HostNote(const char *format, ...);
/* Whether the note of the request in progress already holds word. */
int  HostNoted(const char *word);
/* The note as it stands, for adding to it in place. */
ACPISIM_TEXT *HostNoteText(void);
const char *HostTakeNote(void);

/* ---- putback.c: settings to put back when the last handle closes ---- */
/* Reads the file's present value and keeps it, before a first change. */
uint32_t HostRemember(const char *path);
/* Keeps value as the one to put back into path, unless path is kept
   already.  A full table, or one still holding another root's settings,
   is noted and refused. */
uint32_t HostKeep(const char *path, const char *value);
/* Writes every kept value back under the root it was read under, the
   last kept first.  What cannot be written stays kept for the next try,
   noted as "kept=N"; returns the first failure's status (as HostStatus
   gives it), or 0. */
uint32_t HostPutBack(void);
/* Whether settings read under another root than the present one are kept. */
int      HostKeepsOtherRoot(void);
void     HostForgetKept(void);

/* ---- survey.c: what the machine has ---- */
/* The online CPUs (without the list, CPU 0 alone); Online and FirstOnline
   read what the last survey found, FirstOnline giving HOST_MAX_CPUS when
   none is online. */
uint32_t HostSurveyCpus(void);
int      HostOnline(uint32_t cpu);
uint32_t HostFirstOnline(void);

/* The cpuidle driver and the idle states of the first online CPU. */
typedef struct HOST_IDLE {
    char Driver[HOST_IDLE_NAME_CHARS];
    uint32_t FirstCpu, Count;
    char Names[HOST_MAX_IDLE_STATES][HOST_IDLE_NAME_CHARS];
} HOST_IDLE;
extern HOST_IDLE g_HostIdle;
/* STATUS_NOT_SUPPORTED when there is no cpuidle driver. */
uint32_t HostSurveyIdle(void);
/* The idle state that stands for Cn by the survey, or -1. */
int      HostIdleStateOf(uint32_t n);

/* Cooling devices of type Fan (the first) and Processor. */
#define HOST_MAX_COOLING 256u
typedef struct HOST_COOLING {
    int Fan;
    uint32_t FanDevice;
    uint32_t Processors;
    uint16_t Processor[HOST_MAX_COOLING];
} HOST_COOLING;
extern HOST_COOLING g_HostCooling;
void HostSurveyCooling(void);

/* The first writable hwmon pwmN: success with its device and number; when
   none takes writing, the status (as HostStatus gives it) and the number
   of the first that refused; STATUS_NOT_SUPPORTED when there is none. */
uint32_t HostFindPwm(uint32_t *device, uint32_t *pwm);

/* How the clock is throttled: the first of Processor cooling devices,
   intel_pstate and cpufreq, after HostSurveyCooling.  file gets the file
   whose writability stands for the mechanism. */
enum { HOST_THROTTLE_NONE, HOST_THROTTLE_PROCESSOR, HOST_THROTTLE_PSTATE, HOST_THROTTLE_CPUFREQ };
extern const char *const g_HostThrottleNames[];
int HostSurveyThrottle(char file[HOST_PATH_CHARS]);

/* The paths of numbered devices' files, into path[HOST_PATH_CHARS]. */
void HostCoolingFile(char *path, uint32_t device, const char *file);   /* "type", "cur_state" */
void HostHwmonFile(char *path, uint32_t device, const char *file, uint32_t pwm); /* "name", "pwm%u" */
void HostCpufreqFile(char *path, uint32_t cpu, const char *file);     /* "scaling_max_freq" */
void HostIdleStateFile(char *path, uint32_t cpu, uint32_t state, const char *file); /* "disable" */

#endif
