/* Bounded text for the rules of both programs (log lines, console lines,
   reports).  Plain C++ without Windows headers. */
#ifndef VMT_TEXTRULES_H
#define VMT_TEXTRULES_H

#include <stddef.h>

/* Appends the formatted text to buf[size] at *n and moves *n to its new
   end: never past the buffer, always NUL-terminated, cut when short. */
#ifdef __GNUC__
__attribute__((format(printf, 4, 5)))
#endif
void TextAppend(char *buf, size_t size, size_t *n, const char *format, ...);

#endif
