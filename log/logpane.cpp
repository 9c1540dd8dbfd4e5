/* The log pane: LogPrintf writes a line in its level's look; DebugPrintf
   sends a line to the debugger. */
#include "app/veruvez.h"
#include <richedit.h>
#include <shlwapi.h>
#include <stdarg.h>

/* The pane does not repaint for every line: painting is held back while
   lines come in and resumes as soon as the thread reads its messages again
   (the idle loop, a message box, a dialog). */
static BOOL s_bPaintHeld;

static void HoldPainting(void)
{
    if (s_bPaintHeld || !g_hwndLog)
        return;
    SendMessageA(g_hwndLog, WM_SETREDRAW, FALSE, 0);
    s_bPaintHeld = TRUE;
    PostMessageA(GetParent(g_hwndLog), WM_APP_LOGPAINT, 0, 0);
}

void LogResumePainting(void)
{
    if (!s_bPaintHeld)
        return;
    s_bPaintHeld = FALSE;
    SendMessageA(g_hwndLog, WM_SETREDRAW, TRUE, 0);
    SendMessageA(g_hwndLog, EM_SCROLLCARET, 0, 0);
    InvalidateRect(g_hwndLog, NULL, TRUE);
}

int LogPrintf(int level, const char *format, ...)
{
    char szText[1024];
    va_list args;
    va_start(args, format);
    wvnsprintfA(szText, sizeof szText, format, args);
    va_end(args);
    szText[sizeof szText - 1] = '\0';
    int count = lstrlenA(szText);

    CHARFORMATA cf;
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_BOLD | CFM_COLOR | CFM_FACE | CFM_SIZE;
    SendMessageA(g_hwndLog, EM_GETCHARFORMAT, TRUE, (LPARAM)&cf);

    LogLook look = LogLookForLevel(level);
    lstrcpynA(cf.szFaceName, LOG_FACE_NAME, sizeof cf.szFaceName);
    cf.yHeight = LOG_HEIGHT_TWIPS;
    cf.dwEffects = look.effects;
    if (look.setsColor)
        cf.crTextColor = look.color;

    HoldPainting();
    SendMessageA(g_hwndLog, EM_SETSEL, (WPARAM)-1, (LPARAM)-1);
    SendMessageA(g_hwndLog, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
    SendMessageA(g_hwndLog, EM_REPLACESEL, FALSE, (LPARAM)szText);
    SetFocus(g_hwndLog);
    return count;
}

void DebugPrintf(const char *format, ...)
{
    char szText[260];
    va_list args;
    va_start(args, format);
    wvnsprintfA(szText, sizeof szText, format, args);   /* longer text is cut */
    va_end(args);
    szText[sizeof szText - 1] = '\0';
    OutputDebugStringA("[VERUVEZ.EXE] ");
    OutputDebugStringA(szText);
}
