/* VERUVEZ.EXE: the main window, for the entry point.  The window uses every
   folder of the program through that folder's own header. */
#ifndef VMT_VERUVEZ_H
#define VMT_VERUVEZ_H

#include "app/globals.h"

BOOL             RegisterMainClass(HINSTANCE hInstance);
BOOL             CreateMainWindow(HINSTANCE hInstance, int nCmdShow);
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
