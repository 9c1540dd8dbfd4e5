/* Log levels and the look each one gives a line.  No Windows headers. */
#ifndef VMT_LOGRULES_H
#define VMT_LOGRULES_H

#include <stdint.h>

#define LOG_NORMAL   1
#define LOG_ERROR    2
#define LOG_SKIPPED  3
#define LOG_BANNER   4

/* RichEdit character effects used by the log (same values as CFE_*). */
#define LOOK_BOLD       0x00000001u
#define LOOK_AUTOCOLOR  0x40000000u

/* A formatted log line, its terminator included: wvsprintfA writes at most
   1024 bytes and cuts longer text. */
#define LOG_LINE_SIZE   1024

#define LOG_FACE_NAME   "Courier New"
#define LOG_HEIGHT_TWIPS 180   /* 9 points */

struct LogLook {
    uint32_t effects;   /* replaces the line's effects whole */
    bool     setsColor; /* false: the colour read from the pane is kept */
    uint32_t color;     /* COLORREF 0x00BBGGRR when setsColor */
};

LogLook LogLookForLevel(int level);

#endif
