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

/* Every report of the program goes to the log pane: when the pane cannot
   exist, a box tells the operator why and the main window is not created. */
static BOOL CreateLogPane(HWND hwnd)
{
    char szText[LOG_LINE_SIZE];   /* wsprintfA writes no more */
    if (!LoadLibraryA(LOG_PANE_DLL)) {
        wsprintfA(szText, NO_PANE_DLL_FORMAT, LOG_PANE_DLL, GetLastError());
    } else {
        g_hwndLog = CreateWindowExA(WS_EX_CLIENTEDGE, LOG_PANE_CLASS, "", LOG_PANE_STYLE,
                                    0, 0, 0, 0, hwnd, (HMENU)IDC_LOG, g_hInst, NULL);
        if (g_hwndLog) {
            SendMessageA(g_hwndLog, EM_EXLIMITTEXT, 0, LOG_TEXT_LIMIT);
            return TRUE;
        }
        wsprintfA(szText, NO_PANE_FORMAT, GetLastError());
    }
    MessageBoxA(NULL, szText, g_szErrorCaption, MB_OK);   /* the main window is not shown yet */
    return FALSE;
}

static BOOL OnCreate(HWND hwnd)
{
    if (!CreateLogPane(hwnd))
        return FALSE;
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
    return TRUE;
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
        return OnCreate(hwnd) ? 0 : -1;   /* -1: CreateWindowExA fails */
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
