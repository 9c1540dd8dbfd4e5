/* Helpers shared by the in-process Wine tests. */
#ifndef VMT_WINTEST_H
#define VMT_WINTEST_H

#include "app/veruvez.h"
#include "driver/device.h"
#include "log/logpane.h"
#include "pages/pages.h"
#include "selection/settings.h"
#include "res/resource.h"
#include "tests/wine/pump.h"
#include <gtest/gtest.h>
#include <richedit.h>
#include <string>

/* The whole text of a window (a RichEdit's included). */
inline std::string WindowText(HWND hwnd)
{
    int n = GetWindowTextLengthA(hwnd);
    std::string s(n + 1, '\0');
    GetWindowTextA(hwnd, &s[0], n + 1);
    s.resize(lstrlenA(s.c_str()));
    return s;
}

/* Face, size, effects and (unless automatic) colour of the first occurrence
   of marker in the log pane. */
inline void ExpectLook(const char *marker, DWORD effects, COLORREF color = 0)
{
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    size_t at = WindowText(g_hwndLog).find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    SendMessageA(g_hwndLog, EM_SETSEL, at, at + lstrlenA(marker));
    SendMessageA(g_hwndLog, EM_GETCHARFORMAT, TRUE, (LPARAM)&cf);
    const DWORD mask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR | CFM_FACE | CFM_SIZE;
    EXPECT_EQ(cf.dwMask & mask, mask) << marker << ": the line is not in one format";
    EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_AUTOCOLOR),
              effects) << marker;
    if (!(effects & CFE_AUTOCOLOR)) {
        EXPECT_EQ(cf.crTextColor, color) << marker << ": colour 0x" << std::hex << cf.crTextColor;
    }
    EXPECT_STREQ(cf.szFaceName, "Courier New") << marker;
    EXPECT_EQ(cf.yHeight, 180) << marker;
}

/* "caption: text" of each box AnswerMessageBox answered, one a line. */
inline std::string g_answeredBoxes;

/* A thread timer (SetTimer(NULL, ...)): it keeps firing inside a message
   box's own loop, records the box and answers it OK. */
inline VOID CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR, DWORD)
{
    char caption[64] = "", text[512] = "";
    HWND box = GetActiveWindow();
    if (box && GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) {
        GetWindowTextA(box, caption, sizeof caption);
        g_answeredBoxes += std::string(caption) + ": " + text + "\n";
        EndDialog(box, IDOK);
    }
}

/* The program's window class, registered once for every test. */
inline bool MainClassRegistered()
{
    static bool registered = RegisterMainClass(g_hInst) != FALSE;
    return registered;
}

/* Creates the program's main window as WinMain does and destroys it at the
   end of the test.  Its WM_CREATE runs as usual: pane, banner, device. */
class MainWindowTest : public ::testing::Test {
protected:
    HWND hwndMain = NULL;

    void SetUp() override
    {
        ASSERT_TRUE(MainClassRegistered());
        ASSERT_TRUE(CreateMainWindow(g_hInst, SW_SHOWNORMAL));
        hwndMain = FindWindowA(g_szClassName, NULL);
        ASSERT_NE(hwndMain, (HWND)NULL);
        PumpMessages();
    }

    void TearDown() override
    {
        CloseMainWindow(hwndMain);
        g_hwndLog = NULL;
    }
};

#endif
