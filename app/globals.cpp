/* The program's few shared handles and names. */
#include "app/globals.h"
#include "res/resource.h"

HINSTANCE g_hInst;
HWND      g_hwndLog;
HANDLE    g_hDevice = INVALID_HANDLE_VALUE;
char      g_szClassName[TEXT_SIZE];
char      g_szTitle[TEXT_SIZE];
char      g_szMsgCaption[TEXT_SIZE];
char      g_szErrorCaption[TEXT_SIZE];

static_assert(TEXT_SIZE == MAX_PATH, "a text buffer holds any file name");

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
        if (!LoadStringA(hInstance, n.id, n.buf, TEXT_SIZE))
            return FALSE;
    return TRUE;
}
