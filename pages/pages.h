/* The filter-options property sheet and its four pages. */
#ifndef VMT_PAGES_H
#define VMT_PAGES_H

#include <windows.h>

/* Runs the sheet, opened on startPage; PropertySheet's result, or -1 when
   the common controls cannot be loaded. */
int  ShowFilterOptions(HWND hwndParent, int startPage);

INT_PTR CALLBACK ProcessorPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SystemPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ThermalPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RtcAlarmPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
