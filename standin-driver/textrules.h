/* The stand-in driver's text helpers: a bounded text builder with its
   printf, one string compare, one copy and 64-bit division without the
   compiler's helpers.  Plain C; the driver has no C runtime. */
#ifndef VMT_ACPISIM_TEXTRULES_H
#define VMT_ACPISIM_TEXTRULES_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include "driver/acpiioctl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A text in a buffer of Size bytes: never written past its end, always
   NUL-terminated; what does not fit is cut off. */
typedef struct ACPISIM_TEXT {
    char  *Text;
    size_t Size, Length;
} ACPISIM_TEXT;

/* Appends the formatted text.  Conversions: %s, %u, %d, %llu, %lld, %X
   (upper-case hex) and %%; a width with a leading 0 ("%08X") pads a
   number with zeros.  An unknown conversion ends the text. */
void AcpiSimPut(ACPISIM_TEXT *t, const char *format, ...);
void AcpiSimPutList(ACPISIM_TEXT *t, const char *format, va_list ap);
/* Appends the first `fields` fields of the alarm record (Year, Month,
   Day, Hour, Minute, Second, Milliseconds, Weekday) as "2026,12,6,...". */
#define ACPISIM_ALARM_FIELDS 8
void AcpiSimPutAlarm(ACPISIM_TEXT *t, const RTC_ALARM_TIME *alarm, unsigned fields);
/* Formats into out[size] from its start, as AcpiSimPut does; returns the
   length written. */
size_t AcpiSimFormat(char *out, size_t size, const char *format, ...);

/* Whether text a, read up to its NUL or its first `max` characters, is the
   whole of the NUL-terminated text b.  A character is `unit` bytes: 1, or
   2 for UTF-16. */
int AcpiSimSameText(const void *a, const void *b, size_t unit, size_t max);
#define ACPISIM_WHOLE ((size_t)-1)
#define AcpiSimSame(a, b) AcpiSimSameText((a), (b), 1, ACPISIM_WHOLE)

void AcpiSimCopy(void *to, const void *from, size_t bytes);

/* n / d and its remainder (when wanted) without the compiler's 64-bit
   helpers. */
uint64_t AcpiSimDivide(uint64_t n, uint32_t d, uint32_t *remainder);

#ifdef __cplusplus
}
#endif

#endif
