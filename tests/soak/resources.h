/* What a process holds, as Wine 8 reports it (its GetGuiResources and
   GetProcessHandleCount always answer 0): for the soak and the leak bench. */
#ifndef VMT_RESOURCES_H
#define VMT_RESOURCES_H

#include <windows.h>
#include <cstddef>

struct Resources {
    size_t handles = 0;        /* kernel handles: the system handle list */
    size_t wineKeys = 0;       /* of them ...\ComDlg32\LastVisitedMRU: Wine's Save As leaves one open a save */
    size_t windows = 0;        /* top-level windows and all their descendants */
    size_t privateBytes = 0;   /* PagefileUsage: Wine leaves PrivateUsage 0 for another process */
};
Resources CountResources(DWORD pid, HANDLE process);

#endif
