/* VMTCYCLE.EXE's output: its lines on the console and in the log file,
   the JUnit report, and the system's texts of error codes. */
#ifndef VMT_CYCLE_OUTPUT_H
#define VMT_CYCLE_OUTPUT_H

#include <windows.h>

/* Creates the files asked for (NULL: none), replacing any of the same
   name, before the first cycle: 0, or the system error of the first that
   cannot be created, its name in *failed.  suite names the report's
   testsuite and the class of its testcases. */
DWORD OutputOpen(const char *log, const char *junit, const char *suite, const char **failed);
/* A line, without its end, on the console and in the log, written at once. */
void  OutputLine(const char *line);
/* A text, lines ended, on the standard output (or error). */
void  OutputText(const char *text, bool error);
/* One testcase of the report: failure NULL for a passed one. */
void  OutputCase(const char *name, unsigned long ms, const char *failure, const char *line);
/* Writes the report and closes both files: 0, or the first system error
   met in writing them since OutputOpen. */
DWORD OutputClose(void);
/* The system's text of an error, one line without its end. */
void  SystemErrorText(DWORD err, char *buf, DWORD size);

#endif
