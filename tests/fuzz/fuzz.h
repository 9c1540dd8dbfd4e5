/* What the fuzz targets share: an input read front to back, field by field,
   and a loud stop when a rule breaks one of its promises. */
#ifndef VMT_FUZZ_H
#define VMT_FUZZ_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

/* A broken invariant: names it and aborts, so libFuzzer keeps the input. */
#define FUZZ_CHECK(cond) ((cond) ? (void)0 : FuzzFail(#cond, __FILE__, __LINE__))

[[noreturn]] inline void FuzzFail(const char *what, const char *file, int line)
{
    fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    abort();
}

/* The input as fields: little-endian integers and NUL-ended texts.  Past
   the end every field reads as zero bytes, so any input is whole. */
class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_left(size) {}

    template <class T> T Take()
    {
        unsigned char bytes[sizeof(T)] = {};
        size_t n = m_left < sizeof bytes ? m_left : sizeof bytes;
        if (n)
            memcpy(bytes, m_data, n);
        m_data += n;
        m_left -= n;
        T value;
        memcpy(&value, bytes, sizeof value);
        return value;
    }

    /* The bytes up to the next NUL (which is dropped) or to the end. */
    std::string Text()
    {
        const void *nul = m_left ? memchr(m_data, 0, m_left) : NULL;
        size_t n = nul ? (size_t)((const uint8_t *)nul - m_data) : m_left;
        std::string text((const char *)m_data, n);
        m_data += nul ? n + 1 : n;
        m_left -= nul ? n + 1 : n;
        return text;
    }

    bool More() const { return m_left != 0; }

private:
    const uint8_t *m_data;
    size_t m_left;
};

/* A text a formatter wrote into a buffer of size bytes: ended with a NUL
   inside it, and as long as the formatter said. */
inline void CheckText(const char *buf, size_t size, size_t returned)
{
    if (size == 0) {
        FUZZ_CHECK(returned == 0);
        return;
    }
    FUZZ_CHECK(memchr(buf, 0, size) != NULL);
    FUZZ_CHECK(strlen(buf) == returned);
}

#endif
