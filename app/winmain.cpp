/* Entry point: names, single-instance rule, window, message loop. */
#include "app/veruvez.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    (void)hPrevInstance;
    (void)lpCmdLine;
    g_hInst = hInstance;

    if (!LoadProgramNames(hInstance))
        return 0;

    HWND hwndOther = FindWindowA(g_szClassName, NULL);
    if (hwndOther) {
        if (SetFocus(hwndOther))
            ShowWindow(hwndOther, SW_SHOWNORMAL);
        return 0;
    }

    if (!RegisterMainClass(hInstance))
        return 0;
    if (!CreateMainWindow(hInstance, nCmdShow))
        return 0;

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
