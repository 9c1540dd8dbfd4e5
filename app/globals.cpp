/* The program's few shared handles and names. */
#include "app/veruvez.h"

HINSTANCE g_hInst;
HWND      g_hwndLog;
HANDLE    g_hDevice = INVALID_HANDLE_VALUE;
char      g_szClassName[260];
char      g_szTitle[260];
char      g_szMsgCaption[260];
char      g_szErrorCaption[260];

void *GetCommandProc(const char *dll, const char *name)
{
    HMODULE hmod = LoadLibraryA(dll);
    return hmod ? (void *)GetProcAddress(hmod, name) : NULL;
}

BOOL LoadProgramNames(HINSTANCE hInstance)
{
    static const struct { UINT id; char *buf; } names[] = {
        { IDS_CLASSNAME, g_szClassName },
        { IDS_TITLE, g_szTitle },
        { IDS_MSGCAPTION, g_szMsgCaption },
        { IDS_ERRORCAPTION, g_szErrorCaption },
    };
    for (const auto &n : names)
        if (!LoadStringA(hInstance, n.id, n.buf, 260))
            return FALSE;
    return TRUE;
}
