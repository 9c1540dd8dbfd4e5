/* The RTC Alarm page. */
#include "app/veruvez.h"

INT_PTR CALLBACK RtcAlarmPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)hwnd; (void)msg; (void)wParam; (void)lParam;
    return FALSE;
}
