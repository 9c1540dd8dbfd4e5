/* Saving the log pane to a text or RTF file. */
#ifndef VMT_SAVELOG_H
#define VMT_SAVELOG_H

#include <windows.h>

/* The Save As command: the dialog, the name and format settled, the file
   written. */
void SaveLogFile(HWND hwndOwner);

/* Creates fileName and streams the whole pane into it in the format
   (1 text, 2 RTF), under the wait cursor.  A file that cannot be created or
   written is reported in one "Error [%ld] saving %s" box owned by hwndOwner;
   a file that cannot be created leaves the pane unread.
   Returns TRUE when every byte reached the file. */
BOOL WriteLogFile(HWND hwndOwner, const char *fileName, int format);

/* The pane's stream-out callback: dwCookie is the HFILE written to. */
DWORD CALLBACK LogStreamOutCallback(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG *pcb);

#endif
