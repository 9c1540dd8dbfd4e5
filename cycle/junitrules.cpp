/* The JUnit XML report's parts. */
#include "cycle/junitrules.h"
#include <stdio.h>
#include <string.h>

int XmlEscape(char *out, size_t size, const char *text)
{
    size_t n = 0;
    for (; *text; text++) {
        unsigned char c = (unsigned char)*text;
        const char *put = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;"
                        : c == '"' ? "&quot;" : c == '\'' ? "&apos;" : c < 0x20 || c > 0x7E ? "?" : 0;
        size_t k = put ? strlen(put) : 1;
        if (n + k >= size) {
            if (size)
                out[0] = '\0';
            return -1;
        }
        memcpy(out + n, put ? put : text, k);
        n += k;
    }
    if (n >= size)
        return -1;
    out[n] = '\0';
    return (int)n;
}

namespace {

/* Whole output or -1. */
int Fits(int n, size_t size)
{
    return n >= 0 && (size_t)n < size ? n : -1;
}

}  // namespace

int JUnitStart(char *out, size_t size, const char *suite, unsigned tests, unsigned failures,
               unsigned long ms)
{
    char name[256];
    if (XmlEscape(name, sizeof name, suite) < 0)
        return -1;
    return Fits(snprintf(out, size,
                         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<testsuite name=\"%s\" tests=\"%u\" failures=\"%u\" errors=\"0\" time=\"%lu.%03lu\">\n",
                         name, tests, failures, ms / 1000, ms % 1000), size);
}

int JUnitCase(char *out, size_t size, const char *suite, const char *name, unsigned long ms,
              const char *failure, const char *detail)
{
    char cls[256], test[256], message[JUNIT_PART_SIZE / 2], text[JUNIT_PART_SIZE / 2];
    if (XmlEscape(cls, sizeof cls, suite) < 0 || XmlEscape(test, sizeof test, name) < 0)
        return -1;
    if (!failure)
        return Fits(snprintf(out, size, "  <testcase classname=\"%s\" name=\"%s\" time=\"%lu.%03lu\"/>\n",
                             cls, test, ms / 1000, ms % 1000), size);
    if (XmlEscape(message, sizeof message, failure) < 0 || XmlEscape(text, sizeof text, detail) < 0)
        return -1;
    return Fits(snprintf(out, size,
                         "  <testcase classname=\"%s\" name=\"%s\" time=\"%lu.%03lu\">\n"
                         "    <failure message=\"%s\">%s</failure>\n"
                         "  </testcase>\n",
                         cls, test, ms / 1000, ms % 1000, message, text), size);
}
