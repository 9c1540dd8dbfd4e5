#include "tests/wine/wintest.h"
#include <richedit.h>
#include <vector>

using LogPane = MainWindowTest;

static const char BANNER[] = "Advanced Configuration and Power Interface functional Velmont Test";

/* The format the pane reports for the first occurrence of marker. */
static CHARFORMATA FormatOf(const char *marker)
{
    CHARFORMATA cf;
    ZeroMemory(&cf, sizeof cf);
    cf.cbSize = sizeof cf;
    std::string text = WindowText(g_hwndLog);
    size_t at = text.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    if (at == std::string::npos)
        return cf;
    SendMessageA(g_hwndLog, EM_SETSEL, at, at + lstrlenA(marker));
    SendMessageA(g_hwndLog, EM_GETCHARFORMAT, TRUE, (LPARAM)&cf);
    return cf;
}

/* Face, size and effects of one line; color is checked when not auto. */
static void ExpectLook(const char *marker, DWORD effects, COLORREF color)
{
    CHARFORMATA cf = FormatOf(marker);
    const DWORD mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR | CFM_FACE | CFM_SIZE;
    EXPECT_EQ(cf.dwMask & mask, mask) << marker << ": the line is not in one format";
    EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_AUTOCOLOR),
              effects) << marker;
    if (!(effects & CFE_AUTOCOLOR)) {
        EXPECT_EQ(cf.crTextColor, color) << marker;
    }
    EXPECT_STREQ(cf.szFaceName, "Courier New") << marker;
    EXPECT_EQ(cf.yHeight, 180) << marker;
}

static bool EndsWith(const std::string &s, const std::string &tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(LogPane, BannerIsTheFirstLineInBoldSystemColour)
{
    std::string text = WindowText(g_hwndLog);
    EXPECT_EQ(text.rfind(std::string(BANNER) + "\r\n\r\n", 0), 0u) << text;
    ExpectLook(BANNER, CFE_BOLD | CFE_AUTOCOLOR, 0);
    /* The pane was given the keyboard focus by the line. */
    EXPECT_EQ(GetFocus(), g_hwndLog);
}

TEST_F(LogPane, EachLevelHasItsLook)
{
    LogPrintf(LOG_NORMAL, "level one\r\n");
    LogPrintf(LOG_ERROR, "level two\r\n");
    LogPrintf(LOG_SKIPPED, "level three\r\n");
    LogPrintf(LOG_BANNER, "level four\r\n");
    LogPrintf(0, "level zero\r\n");
    LogPrintf(5, "level five\r\n");
    LogPrintf(-7, "level minus seven\r\n");

    ExpectLook("level one", CFE_AUTOCOLOR, 0);
    ExpectLook("level two", CFE_BOLD, RGB(255, 0, 0));
    ExpectLook("level three", CFE_BOLD, RGB(0, 127, 255));
    ExpectLook("level four", CFE_BOLD | CFE_AUTOCOLOR, 0);
    ExpectLook("level zero", CFE_AUTOCOLOR, 0);
    ExpectLook("level five", CFE_AUTOCOLOR, 0);
    ExpectLook("level minus seven", CFE_AUTOCOLOR, 0);
}

TEST_F(LogPane, EffectsAreReplacedWhole)
{
    /* Italic and underline at the insertion point do not reach the next line. */
    CHARFORMATA cf;
    ZeroMemory(&cf, sizeof cf);
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    cf.dwEffects = CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
    SendMessageA(g_hwndLog, EM_SETSEL, -1, -1);
    SendMessageA(g_hwndLog, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
    LogPrintf(LOG_SKIPPED, "after italic\r\n");
    ExpectLook("after italic", CFE_BOLD, RGB(0, 127, 255));
}

TEST_F(LogPane, FormatsByWsprintfRules)
{
    int len = lstrlenA(WindowText(g_hwndLog).c_str());
    int n = LogPrintf(LOG_NORMAL, "Setting the CPU duty cycle to %d%%\r\n", 50);
    LogPrintf(LOG_NORMAL, "The \"%s\" test at %02d:%02d, %ld.\r\n", "S1", 7, 5, -3L);
    std::string text = WindowText(g_hwndLog);
    EXPECT_EQ(text.substr(len), "Setting the CPU duty cycle to 50%\r\nThe \"S1\" test at 07:05, -3.\r\n");
    EXPECT_EQ(n, lstrlenA("Setting the CPU duty cycle to 50%\r\n"));
}

TEST_F(LogPane, OperatorSelectionIsDroppedAndTheLineStillGoesToTheEnd)
{
    LogPrintf(LOG_SKIPPED, "blue part\r\n");
    LogPrintf(LOG_NORMAL, "plain part\r\n");
    std::string before = WindowText(g_hwndLog);

    /* A selection over text of several looks, as a mouse drag makes it. */
    size_t from = before.find("blue part") + 2;
    SendMessageA(g_hwndLog, EM_SETSEL, from, before.size() - 3);
    SetFocus(hwndMain);
    LogPrintf(LOG_ERROR, "red after selection\r\n");

    std::string after = WindowText(g_hwndLog);
    EXPECT_EQ(after, before + "red after selection\r\n");
    DWORD start = 0, end = 0;
    SendMessageA(g_hwndLog, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, end);
    EXPECT_EQ(end, (DWORD)after.size());
    ExpectLook("red after selection", CFE_BOLD, RGB(255, 0, 0));
    ExpectLook("blue part", CFE_BOLD, RGB(0, 127, 255));
    ExpectLook("plain part", CFE_AUTOCOLOR, 0);

    /* Whoever had the focus, the pane has it after a line. */
    EXPECT_EQ(GetFocus(), g_hwndLog);

    /* A selection inside one line of another look. */
    SendMessageA(g_hwndLog, EM_SETSEL, from, from + 3);
    LogPrintf(LOG_NORMAL, "plain after selection\r\n");
    ExpectLook("plain after selection", CFE_AUTOCOLOR, 0);
}

TEST_F(LogPane, LongTextIsCutNotOverrun)
{
    /* More than the 1024-byte line buffer, from the format and from arguments. */
    std::string arg(700, 'a');
    int len = lstrlenA(WindowText(g_hwndLog).c_str());
    int n = LogPrintf(LOG_NORMAL, "%s%s%s<end>\r\n", arg.c_str(), arg.c_str(), arg.c_str());
    std::string added = WindowText(g_hwndLog).substr(len);
    EXPECT_GT(n, 900);
    EXPECT_LT(n, 1024);
    EXPECT_EQ((int)added.size(), n);
    EXPECT_EQ(added.find("<end>"), std::string::npos);
    EXPECT_EQ(added.find_first_not_of('a'), std::string::npos);

    std::string fmt(3000, 'f');
    len = lstrlenA(WindowText(g_hwndLog).c_str());
    n = LogPrintf(LOG_ERROR, fmt.c_str());
    EXPECT_LT(n, 1024);
    EXPECT_EQ((int)WindowText(g_hwndLog).size() - len, n);

    /* The pane still takes ordinary lines afterwards. */
    LogPrintf(LOG_NORMAL, "after the long ones\r\n");
    EXPECT_TRUE(EndsWith(WindowText(g_hwndLog), "after the long ones\r\n"));
}

/* Debugger outputs, caught on their way out of OutputDebugStringA. */
static std::vector<std::string> s_debugOut;

static LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS *ep)
{
    EXCEPTION_RECORD *er = ep->ExceptionRecord;
    if (er->ExceptionCode == DBG_PRINTEXCEPTION_C && er->NumberParameters >= 2)
        s_debugOut.push_back((const char *)er->ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(DebugPrintf, PrefixThenTextAndLongTextIsCut)
{
    PVOID handler = AddVectoredExceptionHandler(1, CatchDebugOutput);
    s_debugOut.clear();
    DebugPrintf("Could not find: c:\\windows\\system\\acpi.sys\n");
    std::string longArg(1000, 'd');
    DebugPrintf("%s<end>\n", longArg.c_str());
    RemoveVectoredExceptionHandler(handler);

    ASSERT_EQ(s_debugOut.size(), 4u) << "OutputDebugStringA not seen";
    EXPECT_EQ(s_debugOut[0], "[VERUVEZ.EXE] ");
    EXPECT_EQ(s_debugOut[1], "Could not find: c:\\windows\\system\\acpi.sys\n");
    EXPECT_EQ(s_debugOut[2], "[VERUVEZ.EXE] ");
    EXPECT_EQ(s_debugOut[3], std::string(259, 'd'));
}

TEST_F(LogPane, KeepsEveryLineOfALongSession)
{
    /* Far beyond the control's default limit of about 32,000 characters. */
    const int lines = 2000;
    for (int i = 0; i < lines; i++)
        LogPrintf(LOG_NORMAL, "Line %04d of a long session, about forty.\r\n", i);
    std::string text = WindowText(g_hwndLog);
    EXPECT_GT(text.size(), 80000u);
    size_t at = 0;
    for (int i = 0; i < lines; i++) {
        char line[64];
        wsprintfA(line, "Line %04d of a long session, about forty.\r\n", i);
        at = text.find(line, at);
        ASSERT_NE(at, std::string::npos) << "line " << i << " lost";
    }
    EXPECT_TRUE(EndsWith(text, "Line 1999 of a long session, about forty.\r\n"));
}

/* True when the start of the last line of text is inside the pane's view. */
static bool LastLineInView()
{
    int lines = (int)SendMessageA(g_hwndLog, EM_GETLINECOUNT, 0, 0);
    int start = (int)SendMessageA(g_hwndLog, EM_LINEINDEX, lines - 2, 0);  /* text ends in \r\n */
    POINTL pt = { -1, -1 };
    SendMessageA(g_hwndLog, EM_POSFROMCHAR, (WPARAM)&pt, start);
    RECT rc;
    GetClientRect(g_hwndLog, &rc);
    return pt.y >= 0 && pt.y + 10 <= rc.bottom;
}

TEST_F(LogPane, NewestLineIsInViewAndPaintedOnceTheProgramWaits)
{
    /* A burst of lines, then the program waits as the idle loop does. */
    for (int i = 0; i < 300; i++)
        LogPrintf(i % 3 + 1, "Burst line %d\r\n", i);
    PumpMessagesFor(300);
    EXPECT_TRUE(GetWindowLongA(g_hwndLog, GWL_STYLE) & WS_VISIBLE) << "painting left suspended";
    EXPECT_TRUE(IsWindowVisible(g_hwndLog));
    EXPECT_FALSE(GetUpdateRect(g_hwndLog, NULL, FALSE)) << "pane not painted";
    EXPECT_GT(SendMessageA(g_hwndLog, EM_GETFIRSTVISIBLELINE, 0, 0), 200);
    EXPECT_TRUE(LastLineInView());

    /* Lines with the loop running between them, then one more wait. */
    for (int i = 0; i < 100; i++) {
        LogPrintf(LOG_NORMAL, "Pumped line %d\r\n", i);
        PumpMessages();
    }
    PumpMessagesFor(300);
    EXPECT_TRUE(IsWindowVisible(g_hwndLog));
    EXPECT_FALSE(GetUpdateRect(g_hwndLog, NULL, FALSE)) << "pane not painted";
    EXPECT_TRUE(LastLineInView());

    /* A line after a quiet spell is painted as soon as the loop runs. */
    Sleep(100);
    LogPrintf(LOG_ERROR, "After a quiet spell\r\n");
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(g_hwndLog)) << "painting held back without need";
    EXPECT_FALSE(GetUpdateRect(g_hwndLog, NULL, FALSE));
    EXPECT_TRUE(LastLineInView());
}
