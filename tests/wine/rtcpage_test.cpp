/* The RTC Alarm page in a modeless sheet of its own, owned by the main
   window, driven through its real controls. */
#include "tests/wine/wintest.h"
#include "pages/rtcrules.h"
#include <commctrl.h>
#include <prsht.h>
#include <string.h>
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

/* Reads a message box that comes up on this thread, then closes it. */
static std::string s_boxText, s_boxCaption;

static BOOL CALLBACK CloseBox(HWND hwnd, LPARAM)
{
    char cls[16];
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, 0xFFFF))
        return TRUE;
    s_boxText = WindowText(GetDlgItem(hwnd, 0xFFFF));
    s_boxCaption = WindowText(hwnd);
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}

static void CALLBACK CloseBoxTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!EnumThreadWindows(GetCurrentThreadId(), CloseBox, 0))
        KillTimer(NULL, id);
}

static std::string Today(const char *format)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char buf[64];
    wsprintfA(buf, format, st.wMonth, st.wDay, st.wYear);
    return buf;
}

/* The resource matches the page's table: classes, ids, styles, places. */
TEST(RtcTemplate, ThirteenControlsInTabOrder)
{
    HRSRC res = FindResourceA(g_hInst, MAKEINTRESOURCEA(IDD_RTC), (LPCSTR)RT_DIALOG);
    ASSERT_NE(res, (HRSRC)NULL);
    const WORD *p = (const WORD *)LockResource(LoadResource(g_hInst, res));
    const DLGTEMPLATE *dlg = (const DLGTEMPLATE *)p;
    EXPECT_EQ(dlg->style, 0x80C800C0u);
    EXPECT_EQ(dlg->dwExtendedStyle, 0u);
    ASSERT_EQ(dlg->cdit, 13);
    EXPECT_EQ(dlg->cx, 200);
    EXPECT_EQ(dlg->cy, 150);

    auto readSz = [&p](std::string *out) {          /* ordinal or string */
        if (*p == 0xFFFF) {
            static const char *atoms[] = {"button", "edit", "static", "listbox"};
            WORD atom = p[1];
            *out = atom >= 0x80 && atom <= 0x83 ? atoms[atom - 0x80] : "#" + std::to_string(atom);
            p += 2;
            return;
        }
        out->clear();
        while (*p)
            out->push_back((char)tolower(*p++));
        p++;
    };
    std::string menu, cls, title, face;
    p = (const WORD *)(dlg + 1);
    readSz(&menu);
    readSz(&cls);
    readSz(&title);
    EXPECT_EQ(title, "rtc alarm");
    EXPECT_EQ(*p++, 8);
    readSz(&face);
    EXPECT_EQ(face, "ms sans serif");

    struct Row { int id; const char *cls; DWORD style; short x, y, cx, cy; const char *text; };
    const Row rows[13] = {
        {1024, "edit", 0x58810000, 32, 73, 51, 12, ""},
        {1025, "edit", 0x50030006, 34, 75, 8, 8, ""},
        {1028, "static", 0x50020081, 42, 75, 4, 8, ""},
        {1026, "edit", 0x50030006, 46, 75, 8, 8, ""},
        {1029, "static", 0x50020081, 54, 75, 4, 8, ""},
        {1027, "edit", 0x50030006, 58, 75, 8, 8, ""},
        {1030, "listbox", 0x50030001, 66, 75, 15, 10, ""},
        {1031, "msctls_updown32", 0x500000B3, 84, 73, 9, 11, ""},
        {-1, "static", 0x50020000, 5, 4, 190, 35,
         "check the option below to run the rtc alarm tests on then next test pass.  "
         "set the specified time and choose \"test\" to immediately set the rtc alarm."},
        {1032, "button", 0x50010023, 13, 42, 150, 12, "rtc alarm tests"},
        {1034, "button", 0x50010000, 113, 74, 32, 11, "test"},
        {1036, "static", 0x50020000, 32, 110, 64, 10, "get rtc alarm"},
        {1035, "button", 0x50010000, 113, 110, 32, 11, "test"},
    };
    for (const Row &r : rows) {
        p = (const WORD *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        const DLGITEMTEMPLATE *item = (const DLGITEMTEMPLATE *)p;
        EXPECT_EQ((short)item->id, r.id);
        EXPECT_EQ(item->style, r.style) << r.id;
        EXPECT_EQ(item->dwExtendedStyle, 0u) << r.id;
        EXPECT_EQ(item->x, r.x) << r.id;
        EXPECT_EQ(item->y, r.y) << r.id;
        EXPECT_EQ(item->cx, r.cx) << r.id;
        EXPECT_EQ(item->cy, r.cy) << r.id;
        p = (const WORD *)(item + 1);
        readSz(&cls);
        readSz(&title);
        EXPECT_EQ(cls, r.cls) << r.id;
        EXPECT_EQ(title, r.text) << r.id;
        WORD extra = *p++;
        p = (const WORD *)((const BYTE *)p + extra);
    }
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

TEST_F(RtcPage, UnsupportedEntryKeepsEverythingDisabled)
{
    for (uint8_t entry : {(uint8_t)SELECT_UNSUPPORTED, (uint8_t)7}) {
        Open(entry);
        HWND box = Item(IDC_RTC);
        EXPECT_FALSE(IsWindowEnabled(box)) << (int)entry;
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_RTC), (UINT)BST_UNCHECKED);
        ExpectAlarmControlsEnabled(false);

        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_RTC, BN_CLICKED), (LPARAM)box);
        PumpMessages();
        EXPECT_EQ(IsDlgButtonChecked(page, IDC_RTC), (UINT)BST_UNCHECKED);
        ExpectAlarmControlsEnabled(false);

        PressOk();
        EXPECT_EQ(g_TestSelection[SEL_RTC], entry);
    }
}

TEST_F(RtcPage, ClearingAndCheckingTheBox)
{
    Open(SELECT_SKIP);
    HWND box = Item(IDC_RTC);
    EXPECT_TRUE(IsWindowEnabled(box));
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_RTC), (UINT)BST_UNCHECKED);
    ExpectAlarmControlsEnabled(false);

    SetDlgItemTextA(page, IDC_RTC_HOUR, "77");
    SendMessageA(box, BM_CLICK, 0, 0);             /* checking refreshes the time */
    PumpMessages();
    ExpectAlarmControlsEnabled(true);
    SYSTEMTIME st;
    GetLocalTime(&st);
    EXPECT_EQ(Text(IDC_RTC_HOUR), std::to_string(st.wHour % 12));

    SetDlgItemTextA(page, IDC_RTC_HOUR, "77");
    SendMessageA(box, BM_CLICK, 0, 0);             /* clearing keeps the fields */
    PumpMessages();
    ExpectAlarmControlsEnabled(false);
    EXPECT_EQ(Text(IDC_RTC_HOUR), "77");
    PressOk();
    EXPECT_EQ(g_TestSelection[SEL_RTC], SELECT_SKIP);

    Open(SELECT_SKIP);
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

TEST_F(RtcPage, SetAndGetWithoutTheDevice)
{
    if (g_hDevice != INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "the driver is present";
    Open(SELECT_RUN);
    RTC_ALARM_TIME probe;
    DWORD err = DeviceRequestQuiet(IOCTL_GET_RTC_ALARM, &probe, sizeof probe);
    ASSERT_NE(err, 0u);
    std::string failed = "The driver request IOCTL_SET_RTC_ALARM failed with system error "
                         + std::to_string(err) + ".\r\n";

    struct Case { const char *hour; int top; const char *shown; };
    for (Case c : {Case{"12", 0, "00:30:05"}, Case{"12", 1, "12:30:05"}, Case{"11", 1, "23:30:05"},
                   Case{"0", 0, "00:30:05"}}) {
        SetDlgItemTextA(page, IDC_RTC_HOUR, c.hour);
        SetDlgItemTextA(page, IDC_RTC_MINUTE, "30");
        SetDlgItemTextA(page, IDC_RTC_SECOND, "5");
        SendMessageA(Item(IDC_RTC_AMPM), LB_SETTOPINDEX, c.top, 0);
        SetWindowTextA(g_hwndLog, "");
        SendMessageA(Item(IDC_RTC_SET_TEST), BM_CLICK, 0, 0);
        PumpMessages();
        std::string line = "Setting RTC Alarm to " + Today("%d/%d/%d ") + c.shown + "\r\n";
        EXPECT_EQ(WindowText(g_hwndLog), line + failed) << c.hour << " top " << c.top;
    }

    /* Get says the alarm could not be read instead of showing zeros. */
    SetWindowTextA(g_hwndLog, "");
    s_boxText.clear();
    SetTimer(NULL, 0, 50, CloseBoxTimer);
    SendMessageA(Item(IDC_RTC_GET_TEST), BM_CLICK, 0, 0);
    PumpMessages();
    char expected[RTC_MESSAGE_SIZE];
    RtcFormatReadFailure(expected, sizeof expected, err);
    EXPECT_EQ(s_boxText, expected);
    EXPECT_EQ(s_boxCaption, "ACPI VMT's");
    EXPECT_EQ(WindowText(g_hwndLog), std::string(expected) + "\r\n");
}
