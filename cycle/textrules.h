/* Bounded text for VMTCYCLE.EXE's rules.  Plain C++ without Windows
   headers. */
#ifndef VMT_CYCLE_TEXTRULES_H
#define VMT_CYCLE_TEXTRULES_H

#include <stddef.h>

/* Appends the formatted text to buf[size] at *n and moves *n to its new
   end: never past the buffer, always NUL-terminated, cut when short. */
#ifdef __GNUC__
__attribute__((format(printf, 4, 5)))
#endif
void CycleAppend(char *buf, size_t size, size_t *n, const char *format, ...);

#endif
