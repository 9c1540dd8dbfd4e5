/* acpisim.sys inside: what its kernel-side files share. */
#ifndef VMT_ACPISIM_DRIVER_H
#define VMT_ACPISIM_DRIVER_H

#include <ntddk.h>
#include "standin-driver/acpisimrules.h"

#define MAX_PATH 260
#define PATH_CHARS (MAX_PATH + 4)

/* Everything the Parameters key decides. */
typedef struct DRIVER_SETTINGS {
    ACPISIM_CONFIG Config;
    const ACPISIM_BACKEND *Backend;   /* 0: an unknown Backend was named */
    WCHAR JournalPath[PATH_CHARS];    /* NT path; empty: no journal */
} DRIVER_SETTINGS;

/* settings.c: remembers the service key's Parameters subkey (FALSE when
   the path does not fit), then reads it into s.  A missing key or value
   takes its default; an unknown backend gives STATUS_NOT_SUPPORTED. */
BOOLEAN  SettingsKeyFrom(PCUNICODE_STRING serviceKey);
NTSTATUS LoadSettings(DRIVER_SETTINGS *s);
/* The NT path of a DOS path ("C:\x.txt" -> "\??\C:\x.txt"; one starting
   with '\' is taken as it is) into path, which has room for 4 characters
   more than dos.  Returns its length. */
ULONG    NtPathOf(WCHAR *path, const WCHAR *dos);

/* journal.c: appends the line to the journal file and closes the file
   again, so a reader sees it as soon as the request completes. */
void JournalAppend(const WCHAR *path, const char *line, ULONG length);

#endif
