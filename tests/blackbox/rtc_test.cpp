/* The RTC Alarm tab as an operator meets it, and pictures of it. */
#include "tests/blackbox/blackbox.h"
#include <fstream>

/* The sheet from the Test menu, on the RTC Alarm tab. */
static bb::PropertySheet OpenRtcTab(const bb::Program &app)
{
    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    sheet.SelectPage(3);
    return sheet;
}

/* The window as the screen shows it, as build/win32/screenshots/<name>. */
static void SaveBmp(HWND hwnd, const std::string &name)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT r;
    GetWindowRect(hwnd, &r);
    BITMAPINFOHEADER bih = {sizeof bih, r.right - r.left, r.bottom - r.top, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string bits((bih.biWidth * 3 + 3) / 4 * 4 * bih.biHeight, '\0');
    HDC screen = GetDC(NULL), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, bih.biWidth, bih.biHeight);
    SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, bih.biWidth, bih.biHeight, screen, r.left, r.top, SRCCOPY);
    DeleteDC(mem);
    GetDIBits(screen, bmp, 0, bih.biHeight, &bits[0], (BITMAPINFO *)&bih, DIB_RGB_COLORS);
    DeleteObject(bmp);
    ReleaseDC(NULL, screen);
    DWORD head[3] = {DWORD(14 + sizeof bih + bits.size()), 0, 14 + sizeof bih};   /* after "BM" */
    std::string dir = bb::ProgramPath() + "\\..\\..\\screenshots";                 /* beside bin */
    CreateDirectoryA(dir.c_str(), NULL);
    std::ofstream file(dir + "\\" + name, std::ios::binary);
    file.write("BM", 2).write((char *)head, sizeof head).write((char *)&bih, sizeof bih) << bits;
    EXPECT_TRUE(file.good()) << dir << "\\" << name;
}

TEST_F(BlackBoxTest, RtcTypedAlarmIsSetAndReadBack)
{
    bb::Program app;
    bb::PropertySheet sheet = OpenRtcTab(app);
    SaveBmp(sheet.hwnd(), "page-rtc-enabled.bmp");
    sheet.TypeText(IDC_RTC_HOUR, "3");
    sheet.TypeText(IDC_RTC_MINUTE, "75");                  /* held to 59 */
    sheet.TypeText(IDC_RTC_SECOND, "ab");                  /* letters stay and send 0 */
    SendMessageA(sheet.Control(IDC_RTC_AMPM), LB_SETTOPINDEX, 1, 0);
    sheet.Click(IDC_RTC_SET_TEST);

    SYSTEMTIME st;
    GetLocalTime(&st);
    std::string y = std::to_string(st.wYear), m = std::to_string(st.wMonth), d = std::to_string(st.wDay);
    EXPECT_EQ(bb::ReadJournal().back(), "IOCTL_SET_RTC_ALARM " + y + "," + m + "," + d + ",15,59,0,0,"
                                            + std::to_string(st.wDayOfWeek) + " 0x00000000");
    app.WaitForLogText("Setting RTC Alarm to " + m + "/" + d + "/" + y + " 15:59:00\r\n");
    sheet.PostClick(IDC_RTC_GET_TEST);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.text, "The RTC Wake Alarm is currently set for " + m + "/" + d + "/" + y + " at 15:59:00");
    app.Answer(box, IDOK);
    app.WaitForLogText(box.text + "\r\n");

    sheet.Click(IDC_RTC);                                  /* clearing disables, keeps the fields */
    EXPECT_FALSE(sheet.IsEnabled(IDC_RTC_SECOND) || sheet.IsEnabled(IDC_RTC_GET_TEST));
    EXPECT_EQ(sheet.Text(IDC_RTC_SECOND), "ab");
    SaveBmp(sheet.hwnd(), "page-rtc-disabled.bmp");
    sheet.Click(IDC_RTC);                                  /* checking shows the present time */
    EXPECT_EQ(sheet.Text(IDC_RTC_HOUR), std::to_string(st.wHour % 12));
}

TEST_F(NoDriverTest, RtcFailedRequestsAreReported)
{
    bb::Program app;
    bb::PropertySheet sheet = OpenRtcTab(app);
    sheet.Click(IDC_RTC);                                  /* unchecked without the device */
    sheet.Click(IDC_RTC_SET_TEST);
    app.WaitForLogText("The driver request IOCTL_SET_RTC_ALARM failed with system error 6.\r\n");
    sheet.PostClick(IDC_RTC_GET_TEST);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.text, "The RTC Wake Alarm could not be read: the driver request failed with system error 6.");
    app.Answer(box, IDOK);
    app.WaitForLogText(box.text + "\r\n");
}
