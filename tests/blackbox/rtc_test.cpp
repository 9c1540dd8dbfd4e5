/* The RTC Alarm tab as an operator meets it, and pictures of it. */
#include "tests/blackbox/blackbox.h"

/* The sheet from the Test menu, on the RTC Alarm tab. */
static bb::PropertySheet OpenRtcTab(const bb::Program &app)
{
    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    sheet.SelectPage(3);
    return sheet;
}

TEST_F(BlackBoxTest, RtcTypedAlarmIsSetAndReadBack)
{
    bb::Program app;
    bb::PropertySheet sheet = OpenRtcTab(app);
    bb::SaveScreenshot(sheet.hwnd(), "page-rtc-enabled.png");
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
    EXPECT_FALSE(sheet.IsEnabled(IDC_RTC_SECOND));
    EXPECT_FALSE(sheet.IsEnabled(IDC_RTC_GET_TEST));
    EXPECT_EQ(sheet.Text(IDC_RTC_SECOND), "ab");
    bb::SaveScreenshot(sheet.hwnd(), "page-rtc-disabled.png");
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
