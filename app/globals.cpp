/* The program's few shared handles and names. */
#include "app/veruvez.h"

HINSTANCE g_hInst;
HWND      g_hwndLog;
HANDLE    g_hDevice = INVALID_HANDLE_VALUE;
char      g_szClassName[260];
char      g_szTitle[260];
char      g_szErrorCaption[260];
