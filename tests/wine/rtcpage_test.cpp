/* The RTC Alarm page in a modeless sheet of its own, owned by the main
   window, driven through its real controls. */
#include "tests/wine/wintest.h"
#include <commctrl.h>
#include <prsht.h>
#include <vector>

static const int kAlarmControls[] = {
    IDC_RTC_SET_TEST, IDC_RTC_HOUR, IDC_RTC_MINUTE, IDC_RTC_SECOND,
    IDC_RTC_AMPM, IDC_RTC_SPIN, IDC_RTC_GET_LABEL, IDC_RTC_GET_TEST,
};

class RtcPage : public MainWindowTest {
protected:
    HWND    hwndSheet = NULL;
    HWND    page = NULL;
    uint8_t savedEntry = 0;

    void SetUp() override
    {
        MainWindowTest::SetUp();
        savedEntry = g_TestSelection[SEL_RTC];
    }

    void TearDown() override
    {
        if (hwndSheet)
            DestroyWindow(hwndSheet);
        g_TestSelection[SEL_RTC] = savedEntry;
        MainWindowTest::TearDown();
    }

    /* Shows the page with SEL_RTC at entry. */
    void Open(uint8_t entry)
    {
        if (hwndSheet)
            DestroyWindow(hwndSheet);
        g_TestSelection[SEL_RTC] = entry;
        PROPSHEETPAGEA psp;
        ZeroMemory(&psp, sizeof psp);
        psp.dwSize = PROPSHEETPAGEA_V1_SIZE;
        psp.dwFlags = PSP_USETITLE;
        psp.hInstance = g_hInst;
        psp.pszTemplate = MAKEINTRESOURCEA(IDD_RTC);
        psp.pfnDlgProc = RtcAlarmPageProc;
        psp.pszTitle = "RTC Alarm";
        PROPSHEETHEADERA psh;
        ZeroMemory(&psh, sizeof psh);
        psh.dwSize = PROPSHEETHEADERA_V1_SIZE;
        psh.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
        psh.hwndParent = hwndMain;
        psh.hInstance = g_hInst;
        psh.pszCaption = "ACPI Filter Options";
        psh.nPages = 1;
        psh.ppsp = &psp;
        hwndSheet = (HWND)PropertySheetA(&psh);
        ASSERT_NE(hwndSheet, (HWND)NULL);
        page = (HWND)SendMessageA(hwndSheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        ASSERT_NE(page, (HWND)NULL);
        PumpMessages();
    }

    void PressOk()
    {
        SendMessageA(hwndSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        PumpMessages();
    }

    HWND Item(int id) { return GetDlgItem(page, id); }
    std::string Text(int id) { return WindowText(Item(id)); }
    HWND Spin() { return Item(IDC_RTC_SPIN); }
    HWND Buddy() { return (HWND)SendMessageA(Spin(), UDM_GETBUDDY, 0, 0); }
    int TopIndex() { return (int)SendMessageA(Item(IDC_RTC_AMPM), LB_GETTOPINDEX, 0, 0); }

    /* Types into a field as the operator would: select all, then keys. */
    void Type(int id, const char *keys)
    {
        HWND field = Item(id);
        SendMessageA(field, EM_SETSEL, 0, -1);
        for (const char *k = keys; *k; k++)
            SendMessageA(field, WM_CHAR, (WPARAM)(unsigned char)*k, 0);
    }

    /* Clicks the up-down's upper (up) or lower arrow. */
    void ClickSpin(bool up)
    {
        RECT rc;
        GetClientRect(Spin(), &rc);
        LPARAM at = MAKELPARAM(rc.right / 2, up ? rc.bottom / 4 : rc.bottom * 3 / 4);
        SendMessageA(Spin(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(Spin(), WM_LBUTTONUP, 0, at);
        PumpMessages();
    }

    void ExpectAlarmControlsEnabled(bool enabled)
    {
        for (int id : kAlarmControls)
            EXPECT_EQ(IsWindowEnabled(Item(id)) != FALSE, enabled) << id;
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_RTC_FRAME)));
    }

    void ExpectSpin(HWND buddy, int minimum, int maximum, std::vector<UDACCEL> accel)
    {
        EXPECT_EQ(Buddy(), buddy);
        int lo = -99, hi = -99;
        SendMessageA(Spin(), UDM_GETRANGE32, (WPARAM)&lo, (LPARAM)&hi);
        EXPECT_EQ(lo, minimum);
        EXPECT_EQ(hi, maximum);
        UDACCEL got[4];
        ZeroMemory(got, sizeof got);
        int n = (int)SendMessageA(Spin(), UDM_GETACCEL, 4, (LPARAM)got);
        ASSERT_EQ(n, (int)accel.size());
        for (int i = 0; i < n; i++) {
            EXPECT_EQ(got[i].nSec, accel[i].nSec) << i;
            EXPECT_EQ(got[i].nInc, accel[i].nInc) << i;
        }
    }
};

static std::string Today(const char *format)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char buf[64];
    wsprintfA(buf, format, st.wMonth, st.wDay, st.wYear);
    return buf;
}

TEST_F(RtcPage, ShowsThePresentTimeOnTheTwelveHourClock)
{
    SYSTEMTIME before, after;
    for (int attempt = 0; attempt < 3; attempt++) {
        GetLocalTime(&before);
        Open(SELECT_RUN);
        GetLocalTime(&after);
        if (before.wSecond == after.wSecond)
            break;
    }
    ASSERT_EQ(before.wSecond, after.wSecond) << "the clock kept moving";
    EXPECT_EQ(Text(IDC_RTC_HOUR), std::to_string(before.wHour % 12));
    EXPECT_EQ(Text(IDC_RTC_MINUTE), std::to_string(before.wMinute));
    EXPECT_EQ(Text(IDC_RTC_SECOND), std::to_string(before.wSecond));
    EXPECT_EQ(TopIndex(), before.wHour >= 12 ? 1 : 0);
    EXPECT_EQ(Text(IDC_RTC_COLON1), ":");
    EXPECT_EQ(Text(IDC_RTC_COLON2), ":");

    HWND list = Item(IDC_RTC_AMPM);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    char word[8];
    SendMessageA(list, LB_GETTEXT, 0, (LPARAM)word);
    EXPECT_STREQ(word, "AM");
    SendMessageA(list, LB_GETTEXT, 1, (LPARAM)word);
    EXPECT_STREQ(word, "PM");

    HWND frame = Item(IDC_RTC_FRAME);
    EXPECT_TRUE(GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(WindowText(frame), "");
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_RTC), (UINT)BST_CHECKED);
    ExpectAlarmControlsEnabled(true);

    /* Text set by the program is not held to the limits: the hour field
       shows 0 at noon and at midnight. */
    SetDlgItemTextA(page, IDC_RTC_HOUR, "0");
    PumpMessages();
    EXPECT_EQ(Text(IDC_RTC_HOUR), "0");
}

TEST_F(RtcPage, TypedValuesAreHeldToTheFieldLimits)
{
    Open(SELECT_RUN);
    SetFocus(Item(IDC_RTC_MINUTE));
    Type(IDC_RTC_MINUTE, "75");
    EXPECT_EQ(Text(IDC_RTC_MINUTE), "59");
    Type(IDC_RTC_MINUTE, "0");
    EXPECT_EQ(Text(IDC_RTC_MINUTE), "0");

    Type(IDC_RTC_HOUR, "0");
    EXPECT_EQ(Text(IDC_RTC_HOUR), "1");
    Type(IDC_RTC_HOUR, "13");
    EXPECT_EQ(Text(IDC_RTC_HOUR), "12");
    Type(IDC_RTC_HOUR, "\b");                       /* emptied */
    EXPECT_EQ(Text(IDC_RTC_HOUR), "1");
    Type(IDC_RTC_HOUR, "x");                        /* unreadable */
    EXPECT_EQ(Text(IDC_RTC_HOUR), "1");

    Type(IDC_RTC_SECOND, "ab");                     /* letters stay */
    EXPECT_EQ(Text(IDC_RTC_SECOND), "ab");
    SendMessageA(Item(IDC_RTC_SECOND), EM_SETSEL, 0, -1);
    SendMessageA(Item(IDC_RTC_SECOND), EM_REPLACESEL, TRUE, (LPARAM)"60");
    EXPECT_EQ(Text(IDC_RTC_SECOND), "59");
    SendMessageA(Item(IDC_RTC_SECOND), EM_SETSEL, 0, -1);
    SendMessageA(Item(IDC_RTC_SECOND), EM_REPLACESEL, TRUE, (LPARAM)"ab");

    /* Set sends 0 for the letters. */
    SetDlgItemTextA(page, IDC_RTC_HOUR, "9");
    SetDlgItemTextA(page, IDC_RTC_MINUTE, "7");
    SendMessageA(Item(IDC_RTC_AMPM), LB_SETTOPINDEX, 1, 0);
    SendMessageA(Item(IDC_RTC_SET_TEST), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_NE(WindowText(g_hwndLog).find(Today("Setting RTC Alarm to %d/%d/%d 21:07:00\r\n")), std::string::npos)
        << WindowText(g_hwndLog);
}

TEST_F(RtcPage, UpDownFollowsTheFocus)
{
    Open(SELECT_RUN);
    HWND list = Item(IDC_RTC_AMPM);
    /* The sheet gives the hour field the focus as it shows the page. */
    EXPECT_EQ(GetFocus(), Item(IDC_RTC_HOUR));
    ExpectSpin(Item(IDC_RTC_HOUR), 1, 12, {{0, 1}, {2, 1}});
    SetFocus(Item(IDC_RTC_SECOND));
    ExpectSpin(Item(IDC_RTC_SECOND), 0, 59, {{0, 1}, {2, 5}});
    SetFocus(Item(IDC_RTC_MINUTE));
    ExpectSpin(Item(IDC_RTC_MINUTE), 0, 59, {{0, 1}, {2, 5}});

    /* The minute wraps at both ends of its range. */
    SetDlgItemTextA(page, IDC_RTC_MINUTE, "59");
    ClickSpin(true);
    EXPECT_EQ(Text(IDC_RTC_MINUTE), "0");
    ClickSpin(false);
    EXPECT_EQ(Text(IDC_RTC_MINUTE), "59");

    SetFocus(Item(IDC_RTC));                       /* a field keeps it */
    EXPECT_EQ(Buddy(), Item(IDC_RTC_MINUTE));

    SetFocus(list);
    ExpectSpin(list, 0, 1, {{0, 1}});
    SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    ClickSpin(true);
    EXPECT_EQ(TopIndex(), 1);
    ClickSpin(true);                               /* wraps back to AM */
    EXPECT_EQ(TopIndex(), 0);
    ClickSpin(false);
    EXPECT_EQ(TopIndex(), 1);

    /* Leaving the list drops its highlight and the up-down, not the word. */
    SetFocus(Item(IDC_RTC));
    EXPECT_EQ(Buddy(), (HWND)NULL);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(TopIndex(), 1);
}

TEST_F(RtcPage, CheckBoxGovernsTheAlarmControls)
{
    /* An entry other than 0 or 1 disables the box and all eight controls
       for the page's life, and OK leaves it as it was. */
    for (uint8_t entry : {(uint8_t)SELECT_UNSUPPORTED, (uint8_t)7}) {
        Open(entry);
        EXPECT_FALSE(IsWindowEnabled(Item(IDC_RTC))) << (int)entry;
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_RTC), (UINT)BST_UNCHECKED);
        ExpectAlarmControlsEnabled(false);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_RTC, BN_CLICKED), (LPARAM)Item(IDC_RTC));
        ExpectAlarmControlsEnabled(false);
        PressOk();
        EXPECT_EQ(g_TestSelection[SEL_RTC], entry);
    }

    Open(SELECT_SKIP);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_RTC)));
    ExpectAlarmControlsEnabled(false);
    SetDlgItemTextA(page, IDC_RTC_HOUR, "77");
    SendMessageA(Item(IDC_RTC), BM_CLICK, 0, 0);   /* checking shows the present time */
    ExpectAlarmControlsEnabled(true);
    SYSTEMTIME st;
    GetLocalTime(&st);
    EXPECT_EQ(Text(IDC_RTC_HOUR), std::to_string(st.wHour % 12));
    SetDlgItemTextA(page, IDC_RTC_HOUR, "77");
    SendMessageA(Item(IDC_RTC), BM_CLICK, 0, 0);   /* clearing keeps the fields */
    ExpectAlarmControlsEnabled(false);
    EXPECT_EQ(Text(IDC_RTC_HOUR), "77");
    SendMessageA(Item(IDC_RTC), BM_CLICK, 0, 0);
    PressOk();
    EXPECT_EQ(g_TestSelection[SEL_RTC], SELECT_RUN);

    Open(SELECT_RUN);                              /* Cancel stores nothing */
    SendMessageA(Item(IDC_RTC), BM_CLICK, 0, 0);
    SendMessageA(hwndSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    PumpMessages();
    EXPECT_EQ(g_TestSelection[SEL_RTC], SELECT_RUN);
}

TEST_F(RtcPage, FrameAndLabelsPaintInEditColours)
{
    for (uint8_t entry : {(uint8_t)SELECT_RUN, (uint8_t)SELECT_SKIP}) {
        Open(entry);
        for (int id : {IDC_RTC_FRAME, IDC_RTC_COLON1, IDC_RTC_COLON2}) {
            HWND ctl = Item(id);
            HDC dc = GetDC(ctl);
            HBRUSH brush = (HBRUSH)SendMessageA(page, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)ctl);
            EXPECT_EQ(brush, (HBRUSH)DefWindowProcA(page, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)ctl)) << id;
            EXPECT_EQ(brush, GetSysColorBrush(COLOR_WINDOW)) << id;
            EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT)) << id;
            EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW)) << id;
            ReleaseDC(ctl, dc);
        }
        /* Other statics and the fields get no answer from the page. */
        HDC dc = GetDC(page);
        EXPECT_EQ(RtcAlarmPageProc(page, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)Item(IDC_RTC_GET_LABEL)), FALSE);
        EXPECT_EQ(RtcAlarmPageProc(page, WM_CTLCOLOREDIT, (WPARAM)dc, (LPARAM)Item(IDC_RTC_HOUR)), FALSE);
        ReleaseDC(page, dc);
    }
}
