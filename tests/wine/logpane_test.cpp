#include "tests/wine/wintest.h"
#include "res/texts.h"
#include <richedit.h>
#include <vector>

using LogPane = MainWindowTest;

/* Refuses every window of the log pane's class. */
static LRESULT CALLBACK RefusePane(int code, WPARAM wParam, LPARAM lParam)
{
    char name[32] = "";
    if (code == HCBT_CREATEWND && GetClassNameA((HWND)wParam, name, sizeof name)
        && lstrcmpiA(name, "RICHEDIT") == 0)
        return 1;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

/* A pane that cannot be created: one box says so, and so does the main
   window's creation, which fails. */
TEST(LogPaneMissing, TheOperatorIsToldAndTheMainWindowIsNotCreated)
{
    ASSERT_TRUE(MainClassRegistered());
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefusePane, NULL, GetCurrentThreadId());
    ASSERT_NE(hook, (HHOOK)NULL);
    UINT_PTR timer = SetTimer(NULL, 0, 30, AnswerMessageBox);
    g_answeredBoxes.clear();
    EXPECT_FALSE(CreateMainWindow(g_hInst, SW_SHOWNORMAL));
    KillTimer(NULL, timer);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_answeredBoxes, "ACPI VMT - Error: Could not create the log pane (system error 1400).\n"
                     "The program cannot run without it.\n");
    EXPECT_EQ(FindWindowA(g_szClassName, NULL), (HWND)NULL);
    CloseMainWindow(NULL);   /* the WM_QUIT of the window's destruction */
}

TEST_F(LogPane, TheTextLimitIsRaisedWhenThePaneIsCreated)
{
    /* Read before any long text: the control stretches its limit for text
       the program inserts, so a limit never set would go unnoticed later. */
    EXPECT_EQ(SendMessageA(g_hwndLog, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(LogPane, EachLevelHasItsLookWhateverWasAtTheInsertionPoint)
{
    struct { int level; const char *text; DWORD effects; COLORREF color; } rows[] = {
        {LOG_NORMAL, "level one", CFE_AUTOCOLOR, 0},
        {LOG_ERROR, "level two", CFE_BOLD, RGB(255, 0, 0)},
        {LOG_SKIPPED, "level three", CFE_BOLD, RGB(0, 127, 255)},
        {LOG_BANNER, "level four", CFE_BOLD | CFE_AUTOCOLOR, 0},
        {0, "level zero", CFE_AUTOCOLOR, 0},
        {5, "level five", CFE_AUTOCOLOR, 0},
    };
    /* Italic, underline and strikeout at the insertion point never reach a line. */
    CHARFORMATA odd = {};
    odd.cbSize = sizeof odd;
    odd.dwMask = CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    odd.dwEffects = CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
    for (const auto &row : rows) {
        SendMessageA(g_hwndLog, EM_SETSEL, -1, -1);
        SendMessageA(g_hwndLog, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&odd);
        LogPrintf(row.level, "%s\r\n", row.text);
    }
    for (const auto &row : rows)
        ExpectLook(row.text, row.effects, row.color);
}

/* Debugger outputs, caught on their way out of OutputDebugStringA. */
static std::vector<std::string> s_debugOut;

static LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS *ep)
{
    if (ep->ExceptionRecord->ExceptionCode == DBG_PRINTEXCEPTION_C)
        s_debugOut.push_back((const char *)ep->ExceptionRecord->ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST_F(LogPane, PercentSignAndLongTextsAreCutNotOverrun)
{
    size_t len = WindowText(g_hwndLog).size();
    EXPECT_EQ(LogPrintf(LOG_NORMAL, "Setting the CPU duty cycle to %d%%\r\n", 50), 35);
    EXPECT_EQ(WindowText(g_hwndLog).substr(len), "Setting the CPU duty cycle to 50%\r\n");

    /* More than the 1024-byte line buffer. */
    std::string arg(700, 'a');
    len = WindowText(g_hwndLog).size();
    int n = LogPrintf(LOG_NORMAL, "%s%s%s<end>\r\n", arg.c_str(), arg.c_str(), arg.c_str());
    EXPECT_GT(n, 900);
    EXPECT_LT(n, 1024);
    EXPECT_EQ(WindowText(g_hwndLog).substr(len), std::string(n, 'a'));

    /* The debugger line is cut to its 260-byte buffer as well. */
    PVOID handler = AddVectoredExceptionHandler(1, CatchDebugOutput);
    s_debugOut.clear();
    DebugPrintf("%s<end>\n", std::string(1000, 'd').c_str());
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(s_debugOut, (std::vector<std::string>{TRACE_PREFIX, std::string(259, 'd')}));
}

TEST_F(LogPane, SelectionIsDroppedAndTheLineGoesToTheEndWithThePaneFocused)
{
    LogPrintf(LOG_SKIPPED, "blue part\r\n");
    LogPrintf(LOG_NORMAL, "plain part\r\n");
    std::string before = WindowText(g_hwndLog);

    /* A selection over text of several looks, as a mouse drag makes it. */
    SendMessageA(g_hwndLog, EM_SETSEL, before.find("blue part") + 2, before.size() - 3);
    SetFocus(hwndMain);
    LogPrintf(LOG_ERROR, "red after selection\r\n");

    std::string after = WindowText(g_hwndLog);
    EXPECT_EQ(after, before + "red after selection\r\n");
    DWORD start = 0, end = 0;
    SendMessageA(g_hwndLog, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, after.size());
    EXPECT_EQ(end, after.size());
    EXPECT_EQ(GetFocus(), g_hwndLog);
    ExpectLook("red after selection", CFE_BOLD, RGB(255, 0, 0));
    ExpectLook("blue part", CFE_BOLD, RGB(0, 127, 255));
}

TEST_F(LogPane, KeepsEveryLineOfALongSessionAndPaintsTheNewestInView)
{
    /* Far beyond the control's default limit of about 32,000 characters. */
    for (int i = 0; i < 2000; i++)
        LogPrintf(i % 3 + 1, "Line %04d of a long session, about forty.\r\n", i);
    std::string text = WindowText(g_hwndLog);
    EXPECT_GT(text.size(), 80000u);
    EXPECT_EQ(text.substr(text.size() - 43), "Line 1999 of a long session, about forty.\r\n");

    /* Once the program waits as the idle loop does, the pane is painted and
       the newest line, just before its line end, is in view. */
    PumpMessagesFor(300);
    EXPECT_TRUE(IsWindowVisible(g_hwndLog)) << "painting left suspended";
    EXPECT_FALSE(GetUpdateRect(g_hwndLog, NULL, FALSE)) << "pane not painted";
    POINTL pt = {-1, -1};
    SendMessageA(g_hwndLog, EM_POSFROMCHAR, (WPARAM)&pt, GetWindowTextLengthA(g_hwndLog) - 3);
    RECT rc;
    GetClientRect(g_hwndLog, &rc);
    EXPECT_GE(pt.y, 0) << "newest line above the pane";
    EXPECT_LE(pt.y + 10, rc.bottom) << "newest line below the pane";
}
