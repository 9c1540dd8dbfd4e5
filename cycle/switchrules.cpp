/* VMTCYCLE.EXE's switches: one table gives their names, ranges, defaults
   and the usage. */
#include "cycle/switchrules.h"
#include "res/textrules.h"
#include <stdio.h>
#include <string.h>
#include "vmt_version.h"

namespace {

const unsigned REQUIRED = ~0u;

struct Switch {
    const char *name;                 /* between the / and the colon */
    const char *value;                /* how the usage names the value */
    unsigned CycleOptions::*number;   /* a number's field, or 0 */
    const char *CycleOptions::*file;  /* a file name's field, or 0 */
    unsigned minimum, maximum, preset;   /* preset: the default, or REQUIRED */
    const char *help;
};

const Switch kSwitches[] = {
    {"sleep", "S1|S2|S3|S4", &CycleOptions::sleep, 0, 1, 4, REQUIRED, "the sleep state of every cycle"},
    {"count", "N", &CycleOptions::count, 0, 1, 10000, REQUIRED, "the number of cycles"},
    {"wake", "SECONDS", &CycleOptions::wake, 0, 1, 86399, REQUIRED, "from the alarm request to the alarm"},
    {"delay", "SECONDS", &CycleOptions::delay, 0, 0, 3600, 5, "the pause after each wake"},
    {"tolerance", "SECONDS", &CycleOptions::tolerance, 0, 1, 3600, 60,
     "how long after the alarm a wake still passes"},
    {"log", "FILE", 0, &CycleOptions::log, 0, 0, 0, "the console lines, written to FILE as well"},
    {"junit", "FILE", 0, &CycleOptions::junit, 0, 0, 0, "a JUnit XML report, one testcase per cycle"},
};
const size_t kCount = sizeof kSwitches / sizeof kSwitches[0];

bool SameName(const char *a, size_t length, const char *name)
{
    for (size_t i = 0; i < length; i++) {
        char c = a[i] >= 'A' && a[i] <= 'Z' ? (char)(a[i] - 'A' + 'a') : a[i];
        if (c != name[i])
            return false;
    }
    return name[length] == '\0';
}

/* Decimal digits only, no more than nine of them. */
bool ReadNumber(const char *text, unsigned *value)
{
    size_t n = strspn(text, "0123456789");
    if (n == 0 || n > 9 || text[n])
        return false;
    *value = 0;
    for (size_t i = 0; i < n; i++)
        *value = *value * 10 + (unsigned)(text[i] - '0');
    return true;
}

bool ReadValue(const Switch &s, const char *text, CycleOptions *o)
{
    unsigned v;
    if (s.file) {
        o->*s.file = text;
        return *text != '\0';
    }
    if (s.number == &CycleOptions::sleep) {
        if ((text[0] != 'S' && text[0] != 's') || text[1] < '1' || text[1] > '4' || text[2])
            return false;
        v = (unsigned)(text[1] - '0');
    } else if (!ReadNumber(text, &v) || v < s.minimum || v > s.maximum) {
        return false;
    }
    o->*s.number = v;
    return true;
}

/* What a switch's value must be, for its reason line and the usage. */
void Range(const Switch &s, char *buf, size_t size)
{
    if (s.file)
        snprintf(buf, size, "a file name");
    else if (s.number == &CycleOptions::sleep)
        snprintf(buf, size, "S%u to S%u", s.minimum, s.maximum);
    else
        snprintf(buf, size, "%u to %u", s.minimum, s.maximum);
}

}  // namespace

CycleParse CycleParseSwitches(int argc, const char *const argv[], CycleOptions *o,
                              char *reason, size_t size)
{
    bool seen[kCount] = {};
    char range[32];
    *o = CycleOptions();
    for (const Switch &s : kSwitches)
        if (s.number && s.preset != REQUIRED)
            o->*s.number = s.preset;
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if ((arg[0] == '/' || arg[0] == '-') && strcmp(arg + 1, "?") == 0)
            return CYCLE_HELP;
        const char *colon = strchr(arg, ':');
        size_t length = colon ? (size_t)(colon - arg) - 1 : strlen(arg) - 1;
        size_t k = 0;
        while (k < kCount && !((arg[0] == '/' || arg[0] == '-') && SameName(arg + 1, length, kSwitches[k].name)))
            k++;
        if (k == kCount) {
            snprintf(reason, size, "unknown switch \"%s\"", arg);
            return CYCLE_BAD_SWITCH;
        }
        if (seen[k]) {
            snprintf(reason, size, "/%s given twice", kSwitches[k].name);
            return CYCLE_BAD_SWITCH;
        }
        seen[k] = true;
        if (!colon || !ReadValue(kSwitches[k], colon + 1, o)) {
            Range(kSwitches[k], range, sizeof range);
            snprintf(reason, size, "bad value in \"%s\": /%s takes %s", arg, kSwitches[k].name, range);
            return CYCLE_BAD_SWITCH;
        }
    }
    for (size_t k = 0; k < kCount; k++)
        if (!seen[k] && kSwitches[k].preset == REQUIRED) {
            snprintf(reason, size, "/%s is missing", kSwitches[k].name);
            return CYCLE_BAD_SWITCH;
        }
    return CYCLE_RUN;
}

int CycleUsage(char *buf, size_t size)
{
    char range[32];
    size_t n = 0;
    if (size)
        buf[0] = '\0';
    TextAppend(buf, size, &n, "VMTCYCLE %s: sleep and wake cycles, the RTC alarm waking the machine\r\n", VMT_VERSION_TEXT);
    TextAppend(buf, size, &n, "usage: VMTCYCLE");
    for (const Switch &s : kSwitches)
        TextAppend(buf, size, &n, s.preset == REQUIRED ? " /%s:%s" : " [/%s:%s]", s.name, s.value);
    TextAppend(buf, size, &n, "\r\n");
    for (const Switch &s : kSwitches) {
        Range(s, range, sizeof range);
        TextAppend(buf, size, &n, "  /%-10s %s (%s", s.name, s.help, range);
        TextAppend(buf, size, &n, s.number && s.preset != REQUIRED ? ", default %u)\r\n" : ")\r\n", s.preset);
    }
    TextAppend(buf, size, &n, "Switches may begin with - as well as /, in any case.\r\n"
                               "Exit code: 0 every cycle passed, 1 a cycle failed or the run was stopped (Ctrl+C),\r\n"
                               "2 a bad switch or a sleep state the machine does not have, 3 no driver.\r\n");
    return (int)n;
}
