/* A small program for the harness's own tests: it shows, on command, the
   kinds of windows the harness drives (message box, property sheet, Save
   As dialog, debugger output) and writes what it got back into an edit
   control with the log pane's id. */
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>
#include <cstdio>

enum { CMD_ASK = 1, CMD_SHEET, CMD_SAVE, CMD_TRACE, CMD_CRASH };

static HWND s_hwndLog;
static HINSTANCE s_hInst;

static void Append(const char *text)
{
    int n = GetWindowTextLengthA(s_hwndLog);
    SendMessageA(s_hwndLog, EM_SETSEL, n, n);
    SendMessageA(s_hwndLog, EM_REPLACESEL, FALSE, (LPARAM)text);
}

static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    char line[300], text[64];
    switch (msg) {
    case WM_INITDIALOG:
        if (GetDlgItem(hwnd, 1003))
            EnableWindow(GetDlgItem(hwnd, 1003), FALSE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == 1000)
            EnableWindow(GetDlgItem(hwnd, 1003), IsDlgButtonChecked(hwnd, 1000) == BST_CHECKED);
        if (LOWORD(wParam) == 1003)
            Append("test pressed\r\n");
        return TRUE;
    case WM_NOTIFY:
        if (((NMHDR *)lParam)->code == PSN_APPLY && GetDlgItem(hwnd, 1000)) {
            GetDlgItemTextA(hwnd, 1018, text, sizeof text);
            snprintf(line, sizeof line, "apply C1=%u field=%s\r\n",
                     IsDlgButtonChecked(hwnd, 1000), text);
            Append(line);
        }
        return FALSE;
    }
    return FALSE;
}

static void ShowSheet(HWND hwnd)
{
    PROPSHEETPAGEA pages[2] = {};
    for (int i = 0; i < 2; i++) {
        pages[i].dwSize = sizeof pages[i];   /* the sheet steps through the array by dwSize */
        pages[i].hInstance = s_hInst;
        pages[i].pszTemplate = MAKEINTRESOURCEA(i + 1);
        pages[i].pfnDlgProc = PageProc;
    }
    PROPSHEETHEADERA psh = {};
    psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
    psh.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    psh.hwndParent = hwnd;
    psh.hInstance = s_hInst;
    psh.pszCaption = "ACPI Filter Options";
    psh.nPages = 2;
    psh.ppsp = pages;
    Append(PropertySheetA(&psh) > 0 ? "sheet ok\r\n" : "sheet cancelled\r\n");
}

static void Save(HWND hwnd)
{
    char name[260] = "", line[400];
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = "Text Files (*.TXT)\0*.TXT\0Rich Text Format (*.RTF)\0*.RTF\0";
    ofn.lpstrFile = name;
    ofn.nMaxFile = 256;
    ofn.lpstrTitle = "Save Log File";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (GetSaveFileNameA(&ofn))
        snprintf(line, sizeof line, "saved %s as %lu\r\n", name, ofn.nFilterIndex);
    else
        snprintf(line, sizeof line, "save cancelled\r\n");
    Append(line);
}

static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        s_hwndLog = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE,
                                    0, 0, 300, 200, hwnd, (HMENU)0x802, s_hInst, NULL);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CMD_ASK:
            Append(MessageBoxA(hwnd, "Proceed?", "ACPI VMT's", MB_YESNO) == IDYES ? "yes\r\n" : "no\r\n");
            return 0;
        case CMD_SHEET: ShowSheet(hwnd); return 0;
        case CMD_SAVE:  Save(hwnd); return 0;
        case CMD_TRACE: OutputDebugStringA("one "); OutputDebugStringA("two\n"); return 0;
        case CMD_CRASH: *(volatile int *)0 = 1; return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(3);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    s_hInst = hInstance;
    InitCommonControls();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = "BBTARGET";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("BBTARGET", "target", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                              NULL, NULL, hInstance, NULL);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
