/* Saving the log pane to a text or RTF file. */
#include "log/savelog.h"
#include "log/saverules.h"
#include "app/globals.h"
#include "res/texts.h"
#include <commdlg.h>
#include <dlgs.h>
#include <richedit.h>
#include <stddef.h>

/* The dialog gets the record of its Windows 95 version: 76 bytes on 32-bit
   Windows, 136 on 64-bit Windows. */
#define SAVE_DIALOG_RECORD_SIZE (offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR))
#ifdef _WIN64
static_assert(SAVE_DIALOG_RECORD_SIZE == 136, "Windows 95 file dialog record");
#else
static_assert(SAVE_DIALOG_RECORD_SIZE == 76, "Windows 95 file dialog record");
#endif

/* Filter pairs; their indices 1 and 2 are also the stream formats. */
static const char s_szFilter[] = SAVE_FILTER;

/* The system error of the first block that could not be written in full
   during the current save; 0 while every block went to the file. */
static DWORD s_dwWriteError;

static bool IsLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != FALSE;
}

static void ShowSaveError(HWND hwndOwner, DWORD code, const char *fileName)
{
    char szMsg[TEXT_SIZE];
    FormatSaveError(szMsg, sizeof szMsg, (long)code, fileName, IsLeadByte);
    MessageBoxA(hwndOwner, szMsg, g_szErrorCaption, MB_OK);
}

/* An extension added after the dialog names a file the dialog's own
   overwrite prompt never saw: ask before it is replaced. */
static BOOL ConfirmReplace(HWND hwndOwner, const char *fileName)
{
    DWORD attr = GetFileAttributesA(fileName);
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY))
        return TRUE;   /* nothing to replace; a folder fails at creation */
    char szMsg[TEXT_SIZE];
    FormatReplaceQuestion(szMsg, sizeof szMsg, fileName, IsLeadByte);
    return MessageBoxA(hwndOwner, szMsg, g_szMsgCaption, MB_YESNO) != IDNO;
}

DWORD CALLBACK LogStreamOutCallback(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG *pcb)
{
    HFILE hFile = (HFILE)dwCookie;
    if (hFile == HFILE_ERROR)
        return (DWORD)E_FAIL;   /* no file to write to */

    SetLastError(ERROR_SUCCESS);
    UINT written = _lwrite(hFile, (LPCCH)pbBuff, (UINT)cb);
    if (written == (UINT)cb) {
        *pcb = cb;
        return 0;
    }
    *pcb = written == (UINT)HFILE_ERROR ? 0 : (LONG)written;
    if (s_dwWriteError == ERROR_SUCCESS) {
        DWORD err = GetLastError();
        s_dwWriteError = err != ERROR_SUCCESS ? err : ERROR_DISK_FULL;   /* short write */
    }
    return (DWORD)E_FAIL;
}

BOOL WriteLogFile(HWND hwndOwner, const char *fileName, int format)
{
    HCURSOR hcurPrev = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));

    HFILE hFile = _lcreat(fileName, 0);
    if (hFile == HFILE_ERROR) {   /* nothing to write into: the pane is left alone */
        ShowSaveError(hwndOwner, GetLastError(), fileName);
        SetCursor(hcurPrev);
        return FALSE;
    }

    s_dwWriteError = ERROR_SUCCESS;
    EDITSTREAM es;
    es.dwCookie = (DWORD_PTR)hFile;
    es.dwError = 0;
    es.pfnCallback = LogStreamOutCallback;
    SendMessageA(g_hwndLog, EM_STREAMOUT, (WPARAM)format, (LPARAM)&es);

    if (_lclose(hFile) == HFILE_ERROR && s_dwWriteError == ERROR_SUCCESS)
        s_dwWriteError = GetLastError();
    SetCursor(hcurPrev);

    if (s_dwWriteError != ERROR_SUCCESS) {
        ShowSaveError(hwndOwner, s_dwWriteError, fileName);
        return FALSE;
    }
    return TRUE;
}

/* The first window of a class among the descendants of a window. */
static HWND FindDescendant(HWND hwndParent, const char *className)
{
    for (HWND hwnd = GetWindow(hwndParent, GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        char name[32];
        if (GetClassNameA(hwnd, name, sizeof name) && lstrcmpiA(name, className) == 0)
            return hwnd;
        if (HWND found = FindDescendant(hwnd, className))
            return found;
    }
    return NULL;
}

/* Wine's dialog joins the folder and the typed name in a buffer of MAX_PATH
   characters without checking the length, so a longer name typed or pasted
   there ended the program.  The name field takes no more than the dialog may
   hand back: SaveNameFieldLimit of the folder it shows. */
static void LimitNameField(HWND hwndDialog)
{
    char folder[TEXT_SIZE];
    LRESULT n = SendMessageA(hwndDialog, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
    size_t length;
    if (n > 0)
        length = (size_t)n - 1;
    else   /* no file-system folder: the dialog starts from the current directory */
        length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length >= sizeof folder)
        length = sizeof folder - 1;
    HWND hwndField = GetDlgItem(hwndDialog, edt1);
    if (!hwndField)
        hwndField = FindDescendant(GetDlgItem(hwndDialog, cmb13), "Edit");
    if (hwndField)
        SendMessageA(hwndField, EM_LIMITTEXT, SaveNameFieldLimit(length), 0);
}

/* Sees the dialog open and change folders. */
static UINT_PTR CALLBACK SaveDialogHook(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    if (msg == WM_NOTIFY) {
        UINT code = ((const NMHDR *)lParam)->code;
        if (code == CDN_INITDONE || code == CDN_FOLDERCHANGE)
            LimitNameField(GetParent(hdlg));
    }
    return 0;
}

/* The Windows directory's "desktop" folder, or NULL when it does not fit. */
static const char *InitialDirectory(char (&buf)[TEXT_SIZE])
{
    static const char szDesktop[] = "\\desktop";
    UINT n = GetWindowsDirectoryA(buf, sizeof buf);
    if (n == 0 || n + sizeof szDesktop > sizeof buf)
        return NULL;
    lstrcatA(buf, szDesktop);
    return buf;
}

typedef BOOL (WINAPI *GETSAVEFILENAMEPROC)(OPENFILENAMEA *);

void SaveLogFile(HWND hwndOwner)
{
    GETSAVEFILENAMEPROC pGetSaveFileName =
        (GETSAVEFILENAMEPROC)GetCommandProc("COMDLG32.DLL", "GetSaveFileNameA");
    if (!pGetSaveFileName)
        return;   /* no dialog, nothing saved */

    char szFile[TEXT_SIZE] = "";
    char szInitialDir[TEXT_SIZE];

    OPENFILENAMEA ofn;
    ZeroMemory(&ofn, sizeof ofn);
    ofn.lStructSize     = (DWORD)SAVE_DIALOG_RECORD_SIZE;
    ofn.hwndOwner       = hwndOwner;
    ofn.hInstance       = g_hInst;
    ofn.lpstrFilter     = s_szFilter;
    ofn.nFilterIndex    = 0;
    ofn.lpstrFile       = szFile;
    ofn.nMaxFile        = SAVE_DIALOG_CHARS;
    ofn.lpstrInitialDir = InitialDirectory(szInitialDir);
    ofn.lpstrTitle      = SAVE_CAPTION;
    ofn.Flags           = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLEHOOK;
    ofn.lpfnHook        = SaveDialogHook;
    if (!pGetSaveFileName(&ofn))
        return;

    bool appended = false;
    int format = SettleSaveName(szFile, sizeof szFile, ofn.nFilterIndex, &appended);
    if (format == 0) {   /* a name with no room left for its extension */
        ShowSaveError(hwndOwner, ERROR_FILENAME_EXCED_RANGE, szFile);
        return;
    }
    if (appended && !ConfirmReplace(hwndOwner, szFile))
        return;
    WriteLogFile(hwndOwner, szFile, format);
}
