/* Bounded text for the rules of both programs. */
#include "res/textrules.h"
#include <stdarg.h>
#include <stdio.h>

/* Writes at most size - *n bytes, the NUL included; nothing when even the
   NUL has no room. */
void TextAppend(char *buf, size_t size, size_t *n, const char *format, ...)
{
    if (*n >= size)
        return;
    va_list args;
    va_start(args, format);
    int k = vsnprintf(buf + *n, size - *n, format, args);
    va_end(args);
    if (k > 0)
        *n += (size_t)k < size - *n ? (size_t)k : size - *n - 1;
}
