/* Writing the log pane to a file, apart from the Save As dialog. */
#ifndef VMT_SAVELOG_H
#define VMT_SAVELOG_H

#include <windows.h>

/* Creates fileName and streams the whole pane into it in the format
   (1 text, 2 RTF), under the wait cursor.  A file that cannot be created or
   written is reported in one "Error [%ld] saving %s" box owned by hwndOwner.
   Returns TRUE when every byte reached the file. */
BOOL WriteLogFile(HWND hwndOwner, const char *fileName, int format);

#endif
