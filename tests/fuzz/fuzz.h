/* What the fuzz targets share: an input read field by field, and a loud stop when a rule breaks one
   of its promises. */
#ifndef VMT_FUZZ_H
#define VMT_FUZZ_H

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

/* A broken promise: names it and aborts, so libFuzzer keeps the input. */
#define FUZZ_CHECK(cond) \
    ((cond) ? (void)0 : (fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond), abort()))

/* Little-endian integers and NUL-ended texts; past the end every field reads as zero bytes. */
class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_left(size) {}
    template <class T> T Take()
    {
        T value = 0;
        size_t n = m_left < sizeof value ? m_left : sizeof value;
        memcpy(&value, m_data, n);
        m_data += n, m_left -= n;
        return value;
    }
    std::string Text()   /* up to the next NUL (dropped) or the end */
    {
        const uint8_t *nul = m_left ? (const uint8_t *)memchr(m_data, 0, m_left) : NULL;
        std::string text((const char *)m_data, nul ? (size_t)(nul - m_data) : m_left);
        m_data += text.size() + (nul != NULL), m_left -= text.size() + (nul != NULL);
        return text;
    }

private:
    const uint8_t *m_data;
    size_t m_left;
};

/* A text written into size bytes: ended inside them, and as long as the writer said. */
inline void CheckText(const char *buf, size_t size, size_t length)
{
    FUZZ_CHECK(size ? memchr(buf, 0, size) != NULL && strlen(buf) == length : length == 0);
}

#endif
