/* Bounded text for VMTCYCLE.EXE's rules. */
#include "cycle/textrules.h"
#include <stdarg.h>
#include <stdio.h>

/* Stops one short of the end, where the NUL goes; size 0 gets nothing. */
void CycleAppend(char *buf, size_t size, size_t *n, const char *format, ...)
{
    if (*n + 1 >= size)
        return;
    va_list args;
    va_start(args, format);
    int k = vsnprintf(buf + *n, size - *n, format, args);
    va_end(args);
    if (k > 0)
        *n += (size_t)k < size - *n ? (size_t)k : size - *n - 1;
}
