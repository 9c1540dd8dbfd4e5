/* The program's few shared handles and names (app/globals.cpp).  Every
   folder of the program may use them; this header includes no other
   header of the program but its texts. */
#ifndef VMT_GLOBALS_H
#define VMT_GLOBALS_H

#include <windows.h>
#include "res/texts.h"

extern HINSTANCE g_hInst;
extern HWND      g_hwndLog;
extern HANDLE    g_hDevice;
extern char      g_szClassName[TEXT_SIZE];
extern char      g_szTitle[TEXT_SIZE];
extern char      g_szMsgCaption[TEXT_SIZE];   /* the operator's Yes/No and OK boxes */
extern char      g_szErrorCaption[TEXT_SIZE];

/* Loads the program's names and captions from the string table into the
   globals above; FALSE when one is missing. */
BOOL  LoadProgramNames(HINSTANCE hInstance);
/* The address of a procedure of a system DLL that only a menu command needs,
   loaded on first use (the DLL then stays); NULL if it cannot be found.
   Start-up thereby loads no DLL that it does not use itself. */
void *GetCommandProc(const char *dll, const char *name);

#endif
