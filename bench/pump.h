/* Running this thread's messages as the program's idle loop does: for the
   benchmarks that drive the program's windows in their own process. */
#ifndef VMT_PUMP_H
#define VMT_PUMP_H

#include <windows.h>

/* Dispatches every message waiting for this thread. */
inline void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

/* Runs the message loop for ms milliseconds, as the program does while it
   waits for the operator (timers included). */
inline void PumpMessagesFor(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        DWORD spent = GetTickCount() - start;
        if (spent >= ms)
            break;
        MsgWaitForMultipleObjects(0, NULL, FALSE, ms - spent, QS_ALLINPUT);
    }
}

/* Destroys the program's main window as Exit would, dispatches what that
   leaves and drops the WM_QUIT it posts for a message loop that is not
   there. */
inline void CloseMainWindow(HWND hwndMain)
{
    if (hwndMain && IsWindow(hwndMain))
        DestroyWindow(hwndMain);
    PumpMessages();
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

#endif
