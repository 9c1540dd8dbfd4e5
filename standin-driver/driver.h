/* acpisim.sys inside: what its kernel-side files share. */
#ifndef VMT_ACPISIM_DRIVER_H
#define VMT_ACPISIM_DRIVER_H

#include <ntddk.h>
#include "res/texts.h"
#include "standin-driver/acpisimrules.h"

/* The NT path of a DOS path of TEXT_SIZE characters (its NUL included):
   "\??\" in front. */
#define NT_PATH_CHARS (TEXT_SIZE + 4)

/* Everything the Parameters key decides. */
typedef struct DRIVER_SETTINGS {
    ACPISIM_CONFIG Config;
    const ACPISIM_BACKEND *Backend;   /* 0: an unknown Backend was named */
    WCHAR JournalPath[NT_PATH_CHARS]; /* NT path; empty: no journal */
} DRIVER_SETTINGS;

/* settings.c: remembers the service key's Parameters subkey (FALSE when
   the path does not fit), then reads it into s.  A missing key or value
   takes its default; an unknown backend gives STATUS_NOT_SUPPORTED. */
BOOLEAN  SettingsKeyFrom(PCUNICODE_STRING serviceKey);
NTSTATUS LoadSettings(DRIVER_SETTINGS *s);

/* ntfile.c: the NT path of a DOS path ("C:\x.txt" -> "\??\C:\x.txt"; one
   starting with '\' is taken as it is) into path[size]: its length, or 0
   and an empty path when it does not fit. */
ULONG    NtPathOf(WCHAR *path, ULONG size, const WCHAR *dos);
/* Opens the file of an NT path for synchronous access (never a folder),
   shared with every other opener: ZwCreateFile's status. */
NTSTATUS OpenNtFile(HANDLE *file, const WCHAR *path, ACCESS_MASK access, ULONG disposition,
                    ULONG options, ULONG attributes);

/* journal.c: appends the line to the journal file and closes the file
   again, so a reader sees it as soon as the request completes. */
void JournalAppend(const WCHAR *path, const char *line, ULONG length);

#endif
