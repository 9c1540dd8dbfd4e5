/* The main window: class, creation, commands, About box, shut-down. */
#include "app/veruvez.h"
#include "driver/device.h"
#include "log/logpane.h"
#include "log/savelog.h"
#include "pages/pages.h"
#include "selection/settings.h"
#include "testpass/testpass.h"
#include "res/resource.h"
#include <richedit.h>

BOOL RegisterMainClass(HINSTANCE hInstance)
{
    WNDCLASSEXA wc;
    wc.cbSize        = sizeof wc;
    wc.style         = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc   = MainWndProc;
    wc.cbClsExtra    = 0;
    wc.cbWndExtra    = 0;
    wc.hInstance     = hInstance;
    wc.hIcon         = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_VERUVEZ));
    wc.hCursor       = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszMenuName  = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = g_szClassName;
    wc.hIconSm       = (HICON)LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_VERUVEZ),
                                         IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    return RegisterClassExA(&wc) != 0;
}

BOOL CreateMainWindow(HINSTANCE hInstance, int nCmdShow)
{
    (void)nCmdShow;   /* the window always opens in its normal state */
    HWND hwnd = CreateWindowExA(0, g_szClassName, g_szTitle, WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                NULL, NULL, hInstance, NULL);
    if (!hwnd)
        return FALSE;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    /* Windows may take a process's first ShowWindow from the launch show
       state (minimized, maximized); the window still opens normal. */
    if (IsIconic(hwnd) || IsZoomed(hwnd))
        ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    return TRUE;
}

static void OnCreate(HWND hwnd)
{
    LoadLibraryA("RICHED32.DLL");
    g_hwndLog = CreateWindowExA(WS_EX_CLIENTEDGE, "RICHEDIT", "", LOG_PANE_STYLE,
                                0, 0, 0, 0, hwnd, (HMENU)IDC_LOG, g_hInst, NULL);
    SendMessageA(g_hwndLog, EM_EXLIMITTEXT, 0, LOG_TEXT_LIMIT);
    SetFocus(g_hwndLog);
    LogPrintf(LOG_BANNER, BANNER_TEXT "\r\n\r\n");

    OpenAcpiDevice();
    if (g_hDevice != INVALID_HANDLE_VALUE) {
        LoadTestSelection(SETTINGS_FILE);
        QueryCapabilities();
    } else {
        DebugPrintf(NO_DRIVER_TRACE);
        LogPrintf(LOG_ERROR, NO_DRIVER_TEXT "\r\n");
    }
}

static void OnDestroy(void)
{
    SaveTestSelection(SETTINGS_FILE);
    CloseAcpiDevice();
    PostQuitMessage(0);
}

static void FitLogPane(HWND hwnd)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    MoveWindow(g_hwndLog, 0, 0, rc.right, rc.bottom, TRUE);
    InvalidateRect(g_hwndLog, &rc, TRUE);
}

typedef int (WINAPI *SHELLABOUTPROC)(HWND, LPCSTR, LPCSTR, HICON);

static void ShowAboutBox(HWND hwnd)
{
    SHELLABOUTPROC pShellAbout = (SHELLABOUTPROC)GetCommandProc("SHELL32.DLL", "ShellAboutA");
    HICON hIcon = LoadIconA(g_hInst, MAKEINTRESOURCEA(IDI_VERUVEZ));
    if (pShellAbout)
        pShellAbout(hwnd, ABOUT_NAME, ABOUT_TEXT, hIcon);
    DestroyIcon(hIcon);
}

static BOOL OnCommand(HWND hwnd, WORD id)
{
    switch (id) {
    case IDM_EXIT:   DestroyWindow(hwnd); return TRUE;
    case IDM_SAVEAS: SaveLogFile(hwnd); return TRUE;
    case IDM_FILTER: ShowFilterOptions(hwnd, 0); return TRUE;
    case IDM_START:  RunProcessorStateTests(hwnd); RunSystemStateTests(hwnd);
                     RunFanTests(hwnd); RunThrottleTests(hwnd); return TRUE;
    case IDM_ABOUT:  ShowAboutBox(hwnd); return TRUE;
    default:         return FALSE;
    }
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_MOVE:
    case WM_SIZE:
        FitLogPane(hwnd);
        return 0;
    case WM_COMMAND:
        if (OnCommand(hwnd, LOWORD(wParam)))
            return 0;
        break;
    case WM_APP_LOGPAINT:
        LogResumePainting();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
