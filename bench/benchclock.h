/* The benchmarks' clock: the performance counter in milliseconds. */
#ifndef VMT_BENCHCLOCK_H
#define VMT_BENCHCLOCK_H

#include <windows.h>

static inline double Now()
{
    static LARGE_INTEGER freq;
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

#endif
