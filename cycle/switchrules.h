/* VMTCYCLE.EXE's command line: its switches, their values and the usage.
   Plain C++ without Windows headers. */
#ifndef VMT_SWITCHRULES_H
#define VMT_SWITCHRULES_H

#include <stddef.h>

struct CycleOptions {
    unsigned sleep;                   /* n of Sn, 1 to 4 */
    unsigned count;                   /* cycles */
    unsigned wake, delay, tolerance;  /* seconds */
    const char *log, *junit;          /* file names, or NULL for none */
};

/* The exit codes. */
enum {
    CYCLE_EXIT_PASSED = 0,
    CYCLE_EXIT_FAILED = 1,     /* a cycle failed, the run was stopped, or a file could not be written */
    CYCLE_EXIT_USAGE = 2,      /* a bad switch, or a sleep state the machine does not have */
    CYCLE_EXIT_NO_DRIVER = 3,  /* the driver cannot be opened or does not answer */
};

enum CycleParse { CYCLE_RUN, CYCLE_HELP, CYCLE_BAD_SWITCH };

/* Reads argv[1] to argv[argc - 1] into *o.  A switch begins with / or -,
   its name in any case, its value after a colon.  CYCLE_BAD_SWITCH puts
   one line (no line end) saying why into reason[size]. */
CycleParse CycleParseSwitches(int argc, const char *const argv[], CycleOptions *o,
                              char *reason, size_t size);

/* The usage, lines ended by "\r\n", into buf[size] (cut when short);
   returns its length. */
enum { CYCLE_USAGE_SIZE = 1536 };
int CycleUsage(char *buf, size_t size);

#endif
