/* The log pane: LogPrintf writes a line in its level's look; DebugPrintf
   sends a line to the debugger. */
#include "log/logpane.h"
#include "app/globals.h"
#include <richedit.h>
#include <stdarg.h>

/* The pane does not repaint for every line: a visible RichEdit that scrolls
   and paints each one is many times slower than the insertion itself.  The
   first line after a paint suspends the pane's redraw and posts
   WM_APP_LOGPAINT; as soon as the thread reads its messages again (the idle
   loop, a message box, a dialog) the main window passes it to
   LogResumePainting, which brings the newest line into view and lets the
   pane paint.  While lines keep coming with the loop running between them,
   the pane paints at most once every LOG_PAINT_INTERVAL ms; a timer catches
   up with the last of them, so the program never waits for the operator
   with a line unpainted for longer than that. */
#define LOG_PAINT_INTERVAL 50   /* ms */
#define LOG_PAINT_TIMER    0x4C4F   /* timer id on the main window */

static HWND  s_hwndHeld;      /* the pane whose painting is suspended */
static DWORD s_dwLastPaint;   /* GetTickCount when painting last resumed */

static void HoldPainting(void)
{
    if (!g_hwndLog || s_hwndHeld == g_hwndLog)
        return;
    SendMessageA(g_hwndLog, WM_SETREDRAW, FALSE, 0);
    s_hwndHeld = g_hwndLog;
    PostMessageA(GetParent(g_hwndLog), WM_APP_LOGPAINT, 0, 0);
}

static void CALLBACK LogPaintTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD time)
{
    (void)msg;
    (void)time;
    KillTimer(hwnd, id);
    LogResumePainting();
}

void LogResumePainting(void)
{
    HWND hwnd = s_hwndHeld;
    if (!hwnd)
        return;
    if (!IsWindow(hwnd)) {          /* the pane went with its window */
        s_hwndHeld = NULL;
        return;
    }
    DWORD since = GetTickCount() - s_dwLastPaint;
    if (since < LOG_PAINT_INTERVAL) {
        SetTimer(GetParent(hwnd), LOG_PAINT_TIMER, LOG_PAINT_INTERVAL - since, LogPaintTimerProc);
        return;
    }
    s_hwndHeld = NULL;
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
    InvalidateRect(hwnd, NULL, TRUE);
    s_dwLastPaint = GetTickCount();
}

static void FormatText(char (&buf)[LOG_LINE_SIZE], const char *format, va_list args)
{
    wvsprintfA(buf, format, args);
    buf[LOG_LINE_SIZE - 1] = '\0';
}

int LogPrintf(int level, const char *format, ...)
{
    char szText[LOG_LINE_SIZE];
    va_list args;
    va_start(args, format);
    FormatText(szText, format, args);
    va_end(args);
    int count = lstrlenA(szText);

    /* The format is read at the end of the text, where the line goes.  Read
       over a selection the operator made across lines of different looks,
       the control would report those attributes as mixed and the line would
       not get its colour or weight. */
    HoldPainting();
    SendMessageA(g_hwndLog, EM_SETSEL, (WPARAM)-1, (LPARAM)-1);

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

    SendMessageA(g_hwndLog, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
    SendMessageA(g_hwndLog, EM_REPLACESEL, FALSE, (LPARAM)szText);
    SetFocus(g_hwndLog);
    return count;
}

void DebugPrintf(const char *format, ...)
{
    char szFormatted[LOG_LINE_SIZE];
    va_list args;
    va_start(args, format);
    FormatText(szFormatted, format, args);
    va_end(args);
    char szText[TEXT_SIZE];
    lstrcpynA(szText, szFormatted, sizeof szText);   /* longer text is cut */
    OutputDebugStringA(TRACE_PREFIX);
    OutputDebugStringA(szText);
}
