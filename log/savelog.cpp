/* Saving the log pane to a text or RTF file. */
#include "app/veruvez.h"

void SaveLogFile(HWND hwndOwner)
{
    (void)hwndOwner;
}
