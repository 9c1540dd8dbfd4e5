/* The RTC Alarm page as a child dialog of the main window, driven through its real controls. */
#include "tests/wine/wintest.h"
#include <commctrl.h>

/* Shows the page as SEL_RTC at entry starts it (the page reads it only then). */
static HWND OpenPage(HWND owner, uint8_t entry)
{
    uint8_t saved = g_TestSelection[SEL_RTC];
    g_TestSelection[SEL_RTC] = entry;
    HWND page = CreateDialogParamA(g_hInst, MAKEINTRESOURCEA(IDD_RTC), owner, RtcAlarmPageProc, 0);
    g_TestSelection[SEL_RTC] = saved;
    ShowWindow(page, SW_SHOW);
    return page;
}

using RtcPage = MainWindowTest;

TEST_F(RtcPage, UpDownFollowsTheFocus)
{
    HWND page = OpenPage(hwndMain, SELECT_RUN), spin = GetDlgItem(page, IDC_RTC_SPIN);
    struct { int id, lo, hi; } limits[] = {
        {IDC_RTC_HOUR, 1, 12}, {IDC_RTC_SECOND, 0, 59}, {IDC_RTC_MINUTE, 0, 59}, {IDC_RTC_AMPM, 0, 1}};
    for (auto l : limits) {
        SetFocus(GetDlgItem(page, l.id));
        EXPECT_EQ((HWND)SendMessageA(spin, UDM_GETBUDDY, 0, 0), GetDlgItem(page, l.id)) << l.id;
        EXPECT_EQ(SendMessageA(spin, UDM_GETRANGE, 0, 0), MAKELONG(l.hi, l.lo)) << l.id;
    }
    HWND list = GetDlgItem(page, IDC_RTC_AMPM);
    SendMessageA(list, LB_SETCURSEL, 1, 0);          /* as its up-down shows PM */
    SetFocus(GetDlgItem(page, IDC_RTC));             /* leaving drops the up-down and highlight */
    EXPECT_EQ((HWND)SendMessageA(spin, UDM_GETBUDDY, 0, 0), (HWND)NULL);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 1);
}

TEST_F(RtcPage, UnsupportedEntryDisablesTheControlsButNotTheEditColours)
{
    HWND page = OpenPage(hwndMain, SELECT_UNSUPPORTED), box = GetDlgItem(page, IDC_RTC);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_RTC, BN_CLICKED), (LPARAM)box);
    EXPECT_FALSE(IsWindowEnabled(box));
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    for (int id : {IDC_RTC_SET_TEST, IDC_RTC_HOUR, IDC_RTC_MINUTE, IDC_RTC_SECOND,
                   IDC_RTC_AMPM, IDC_RTC_SPIN, IDC_RTC_GET_LABEL, IDC_RTC_GET_TEST})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;

    HDC dc = GetDC(page);
    for (int id : {IDC_RTC_FRAME, IDC_RTC_COLON1, IDC_RTC_COLON2, IDC_RTC_GET_LABEL})
        EXPECT_EQ(RtcAlarmPageProc(page, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)GetDlgItem(page, id)),
                  id == IDC_RTC_GET_LABEL ? FALSE : (INT_PTR)GetSysColorBrush(COLOR_WINDOW)) << id;
    ReleaseDC(page, dc);
}
