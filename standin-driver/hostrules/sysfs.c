/* The host backend: reading the text of sysfs files (a first line, words,
   the bracketed choice, numbers and CPU lists). */
#include "standin-driver/hostrules/common.h"

static int IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int HostFirstLine(const char *text, char *line, size_t size)
{
    const char *end = text;
    line[0] = 0;
    while (*end && *end != '\n')
        end++;
    if (end != text && !*end)
        return 0;           /* characters but no line end: cut short */
    if ((size_t)(end - text) >= size)
        return 0;
    AcpiSimCopy(line, text, (size_t)(end - text));
    line[end - text] = 0;
    return 1;
}

/* Walks the blank-separated words; returns the next word's start and
   length, brackets removed, and whether it was bracketed. */
static const char *NextWord(const char *p, size_t *length, int *bracketed)
{
    while (*p && IsBlank(*p))
        p++;
    if (!*p)
        return 0;
    const char *start = p;
    while (*p && !IsBlank(*p))
        p++;
    *length = (size_t)(p - start);
    *bracketed = *length >= 2 && start[0] == '[' && start[*length - 1] == ']';
    if (*bracketed) {
        *length -= 2;
        start++;
    }
    return start;
}

int HostHasWord(const char *text, const char *word)
{
    size_t length;
    int bracketed;
    for (const char *w = NextWord(text, &length, &bracketed); w;
         w = NextWord(w + length + bracketed, &length, &bracketed))
        if (AcpiSimSameText(w, word, 1, length))
            return 1;
    return 0;
}

int HostSelected(const char *text, char *out, size_t size)
{
    size_t length;
    int bracketed;
    for (const char *w = NextWord(text, &length, &bracketed); w;
         w = NextWord(w + length + bracketed, &length, &bracketed)) {
        if (!bracketed)
            continue;
        if (!length || length >= size)
            return 0;
        AcpiSimCopy(out, w, length);
        out[length] = 0;
        return 1;
    }
    return 0;
}

/* Reads digits into *value; returns the character after them, or 0 when
   there are none or the number does not fit 64 bits. */
static const char *Digits(const char *p, uint64_t *value)
{
    uint64_t v = 0;
    if (*p < '0' || *p > '9')
        return 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        uint32_t digit = (uint32_t)(*p - '0');
        if (v > 1844674407370955161u || (v == 1844674407370955161u && digit > 5))
            return 0;       /* would not fit 64 bits */
        v = v * 10 + digit;
    }
    *value = v;
    return p;
}

int HostParseNumber(const char *text, uint64_t *value)
{
    const char *p = Digits(text, value);
    return p && (*p == 0 || *p == '\n');
}

int HostParseCpuList(const char *text, uint8_t set[HOST_MAX_CPUS / 8])
{
    for (uint32_t i = 0; i < HOST_MAX_CPUS / 8; i++)
        set[i] = 0;
    const char *p = text;
    if (*p == '\n' || !*p)
        return 1;           /* no CPU: an empty list */
    for (;;) {
        uint64_t lo, hi;
        p = Digits(p, &lo);
        if (!p)
            return 0;
        hi = lo;
        if (*p == '-') {
            p = Digits(p + 1, &hi);
            if (!p)
                return 0;
        }
        if (hi < lo || hi >= HOST_MAX_CPUS)
            return 0;
        for (uint64_t c = lo; c <= hi; c++)
            set[c / 8] |= (uint8_t)(1u << (c % 8));
        if (*p == ',') {
            p++;
            continue;
        }
        return *p == 0 || *p == '\n';
    }
}
