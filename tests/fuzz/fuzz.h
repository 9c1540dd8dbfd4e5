/* What the fuzz targets share: the input read field by field (little-endian integers, then texts up to
   a NUL; past the end every field is zero bytes), and a loud stop when a rule breaks a promise. */
#ifndef VMT_FUZZ_H
#define VMT_FUZZ_H

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#define FUZZ_CHECK(cond) ((cond) ? (void)0 : (fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond), abort()))

struct FuzzInput {
    const uint8_t *data;
    size_t left;
    template <class T> T Take()
    {
        T value = 0;
        size_t n = left < sizeof value ? left : sizeof value;
        memcpy(&value, data, n);
        return data += n, left -= n, value;
    }
    std::string Text()
    {
        const uint8_t *nul = left ? (const uint8_t *)memchr(data, 0, left) : NULL;
        std::string text((const char *)data, nul ? (size_t)(nul - data) : left);
        return data += text.size() + (nul != NULL), left -= text.size() + (nul != NULL), text;
    }
};

/* A text written into size bytes: ended inside them, and as long as the writer said. */
inline void CheckText(const char *buf, size_t size, size_t length) { FUZZ_CHECK(size ? memchr(buf, 0, size) && strlen(buf) == length : length == 0); }

#endif
