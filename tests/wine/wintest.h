/* Helpers shared by the in-process Wine tests. */
#ifndef VMT_WINTEST_H
#define VMT_WINTEST_H

#include "app/veruvez.h"
#include "tests/wine/pump.h"
#include <gtest/gtest.h>
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

/* Creates the program's main window as WinMain does (class registered once)
   and destroys it at the end of the test.  Its WM_CREATE runs as usual:
   pane, banner, device. */
class MainWindowTest : public ::testing::Test {
protected:
    HWND hwndMain = NULL;

    void SetUp() override
    {
        static bool registered = RegisterMainClass(g_hInst) != FALSE;
        ASSERT_TRUE(registered);
        ASSERT_TRUE(CreateMainWindow(g_hInst, SW_SHOWNORMAL));
        hwndMain = FindWindowA(g_szClassName, NULL);
        ASSERT_NE(hwndMain, (HWND)NULL);
        PumpMessages();
    }

    void TearDown() override
    {
        if (hwndMain && IsWindow(hwndMain))
            DestroyWindow(hwndMain);
        PumpMessages();
        /* WM_DESTROY posted WM_QUIT for the message loop; drop it here. */
        MSG msg;
        while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        g_hwndLog = NULL;
    }
};

#endif
