/* VMTCYCLE.EXE's JUnit XML report, one testcase per cycle, as lab CI
   dashboards read it.  Plain C++ without Windows headers. */
#ifndef VMT_JUNITRULES_H
#define VMT_JUNITRULES_H

#include <stddef.h>

/* text into out[size] with &, <, >, " and ' written as entities and every
   byte that is not printable ASCII as '?' (the report is UTF-8, the
   system's texts are in the ANSI code page); returns its length, or -1
   and an empty out when it does not fit. */
int XmlEscape(char *out, size_t size, const char *text);

/* The report's parts, each into out[size]: its length, or -1 when it does
   not fit (no part is ever cut).  Times are in milliseconds. */
enum { JUNIT_PART_SIZE = 8192 };
int JUnitStart(char *out, size_t size, const char *suite, unsigned tests, unsigned failures,
               unsigned long ms);
/* failure: NULL for a passed case; else its message, and detail the
   failure's text. */
int JUnitCase(char *out, size_t size, const char *suite, const char *name, unsigned long ms,
              const char *failure, const char *detail);
#define JUNIT_END "</testsuite>\n"

#endif
