/* The stand-in driver's text helpers: the bounded builder and its printf,
   the string compare, the copy and the division. */
#include "standin-driver/textrules.h"

uint64_t AcpiSimDivide(uint64_t n, uint32_t d, uint32_t *remainder)
{
    uint64_t q = 0, r = 0;
    for (int i = 63; i >= 0; i--) {
        r = (r << 1) | ((n >> i) & 1u);
        if (r >= d) {
            r -= d;
            q |= (uint64_t)1 << i;
        }
    }
    if (remainder)
        *remainder = (uint32_t)r;
    return q;
}

static void PutChar(ACPISIM_TEXT *t, char c)
{
    if (t->Length + 1 < t->Size)
        t->Text[t->Length++] = c;
    t->Text[t->Length] = 0;
}

/* v in base 10 or 16, at least `width` digits. */
static void PutNumber(ACPISIM_TEXT *t, uint64_t v, uint32_t base, uint32_t width, char pad)
{
    static const char digit[] = "0123456789ABCDEF";
    char digits[64];
    uint32_t n = 0;
    do {
        uint32_t r;
        v = AcpiSimDivide(v, base, &r);
        digits[n++] = digit[r];
    } while (v);
    if (width > sizeof digits)
        width = sizeof digits;
    for (; width > n; width--)
        PutChar(t, pad);
    while (n)
        PutChar(t, digits[--n]);
}

void AcpiSimPutList(ACPISIM_TEXT *t, const char *format, va_list ap)
{
    if (!t->Size)
        return;
    t->Text[t->Length] = 0;
    for (const char *p = format; *p; p++) {
        uint32_t width = 0;
        char pad = ' ';
        int longLong = 0;
        if (*p != '%') {
            PutChar(t, *p);
            continue;
        }
        if (p[1] == '0')
            pad = '0', p++;
        while (p[1] >= '0' && p[1] <= '9')
            width = width * 10 + (uint32_t)(*++p - '0');
        if (p[1] == 'l' && p[2] == 'l') {
            longLong = 1;
            p += 2;
        }
        switch (*++p) {
        case 's':
            for (const char *s = va_arg(ap, const char *); *s; s++)
                PutChar(t, *s);
            break;
        case 'u':
        case 'X':
            PutNumber(t, longLong ? va_arg(ap, unsigned long long) : va_arg(ap, unsigned),
                      *p == 'X' ? 16 : 10, width, pad);
            break;
        case 'd': {
            long long v = longLong ? va_arg(ap, long long) : va_arg(ap, int);
            if (v < 0)
                PutChar(t, '-');
            PutNumber(t, v < 0 ? (uint64_t)0 - (uint64_t)v : (uint64_t)v, 10, width, pad);
            break;
        }
        case '%':
            PutChar(t, '%');
            break;
        default:            /* an unknown or cut-off conversion ends the text */
            return;
        }
    }
}

void AcpiSimPut(ACPISIM_TEXT *t, const char *format, ...)
{
    va_list ap;
    va_start(ap, format);
    AcpiSimPutList(t, format, ap);
    va_end(ap);
}

void AcpiSimPutAlarm(ACPISIM_TEXT *t, const RTC_ALARM_TIME *a, unsigned fields)
{
    const uint16_t f[ACPISIM_ALARM_FIELDS] = { a->Year, a->Month, a->Day, a->Hour,
                                               a->Minute, a->Second, a->Milliseconds, a->Weekday };
    for (unsigned i = 0; i < fields && i < ACPISIM_ALARM_FIELDS; i++)
        AcpiSimPut(t, i ? ",%u" : "%u", f[i]);
}

size_t AcpiSimFormat(char *out, size_t size, const char *format, ...)
{
    ACPISIM_TEXT t = { out, size, 0 };
    va_list ap;
    va_start(ap, format);
    AcpiSimPutList(&t, format, ap);
    va_end(ap);
    return t.Length;
}

static uint32_t CharAt(const void *s, size_t i, size_t unit)
{
    return unit == 2 ? ((const uint16_t *)s)[i] : ((const unsigned char *)s)[i];
}

int AcpiSimSameText(const void *a, const void *b, size_t unit, size_t max)
{
    size_t i = 0;
    for (; i < max && CharAt(a, i, unit); i++)
        if (CharAt(a, i, unit) != CharAt(b, i, unit))
            return 0;
    return CharAt(b, i, unit) == 0;
}

void AcpiSimCopy(void *to, const void *from, size_t bytes)
{
    unsigned char *d = (unsigned char *)to;
    const unsigned char *s = (const unsigned char *)from;
    while (bytes--)
        *d++ = *s++;
}
