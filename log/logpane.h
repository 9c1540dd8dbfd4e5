/* The log pane: how the main window creates it, and the lines written into
   it and to the debugger. */
#ifndef VMT_LOGPANE_H
#define VMT_LOGPANE_H

#include <windows.h>
#include "log/logrules.h"

/* A child, visible, read-only multi-line RichEdit 1.0 whose text limit is
   raised so that a long session keeps every line.  Loading the DLL
   registers the class. */
#define LOG_PANE_DLL    "RICHED32.DLL"
#define LOG_PANE_CLASS  "RICHEDIT"
#define LOG_PANE_STYLE  0x5230C8C4
#define LOG_TEXT_LIMIT  0x7FFFFFFE

/* Private message: the log pane may paint again (posted by LogPrintf to the
   pane's parent, which passes it to LogResumePainting). */
#define WM_APP_LOGPAINT (WM_APP + 1)

/* Appends the formatted line in the look of its level; returns its length. */
int  LogPrintf(int level, const char *format, ...);
/* Sends TRACE_PREFIX, then the formatted text, to the debugger. */
void DebugPrintf(const char *format, ...);
void LogResumePainting(void);

#endif
