/* The RTC Alarm tab as an operator meets it, with the stand-in driver:
   the alarm set on the page comes back from Get, the journal shows the
   record the driver received, failures are reported, and pictures of the
   page with its alarm controls enabled and disabled. */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"
#include <stdarg.h>
#include <stdio.h>
#include <algorithm>
#include <vector>

using bb::Program;

namespace {

const int kRtcTab = 3;
const int kAlarmControls[] = {
    IDC_RTC_SET_TEST, IDC_RTC_HOUR, IDC_RTC_MINUTE, IDC_RTC_SECOND,
    IDC_RTC_AMPM, IDC_RTC_SPIN, IDC_RTC_GET_LABEL, IDC_RTC_GET_TEST,
};

std::string Fmt(const char *format, ...)
{
    char buf[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

/* The sheet opened from the Test menu, on the RTC Alarm tab. */
bb::PropertySheet OpenRtcTab(const Program &app)
{
    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    sheet.SelectPage(kRtcTab);
    return sheet;
}

/* Checks the RTC alarm tests box if it is not checked yet. */
void EnsureChecked(const bb::PropertySheet &sheet)
{
    if (!sheet.IsChecked(IDC_RTC))
        sheet.Click(IDC_RTC);
}

/* Chooses a time of day in the editor: fields as text, AM or PM shown. */
void ChooseTime(const bb::PropertySheet &sheet, const char *hour, const char *minute,
                const char *second, bool pm)
{
    sheet.SetText(IDC_RTC_HOUR, hour);
    sheet.SetText(IDC_RTC_MINUTE, minute);
    sheet.SetText(IDC_RTC_SECOND, second);
    SendMessageA(sheet.Control(IDC_RTC_AMPM), LB_SETTOPINDEX, pm ? 1 : 0, 0);
}

/* "y,m,d,h,mi,s,0,wd" for today and a time of day. */
std::string RecordText(int hour, int minute, int second)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return Fmt("%d,%d,%d,%d,%d,%d,0,%d", st.wYear, st.wMonth, st.wDay, hour, minute, second,
               st.wDayOfWeek);
}

std::string TodayText()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return Fmt("%d/%d/%d", st.wMonth, st.wDay, st.wYear);
}

/* ---- pictures ----------------------------------------------------------- */

/* A window as the screen shows it: RGB rows, top row first.  (Wine's
   default theme paints the page body in the window colour, so a picture
   cannot tell the edit colours of the frame and labels apart; the
   in-process tests check the page's colour answer itself.) */
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

Picture Capture(HWND hwnd)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    Picture pic;
    pic.width = rc.right - rc.left;
    pic.height = rc.bottom - rc.top;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = pic.width;
    bi.bmiHeader.biHeight = -pic.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(NULL), mem = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, pic.width, pic.height, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    const unsigned char *bgrx = (const unsigned char *)bits;
    for (size_t i = 0; i < (size_t)pic.width * pic.height; i++)
        pic.rgb.insert(pic.rgb.end(), {bgrx[i * 4 + 2], bgrx[i * 4 + 1], bgrx[i * 4]});
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return pic;
}

/* Writes the picture as build/win32/screenshots/<name>: a PNG whose image
   data sits in stored (uncompressed) deflate blocks. */
void SavePng(const Picture &pic, const std::string &name)
{
    auto be32 = [](std::vector<unsigned char> &v, unsigned long x) {
        for (int shift = 24; shift >= 0; shift -= 8)
            v.push_back((unsigned char)(x >> shift));
    };
    auto chunk = [&be32](std::vector<unsigned char> &out, const char *type,
                         const std::vector<unsigned char> &data) {
        be32(out, data.size());
        size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        unsigned long crc = 0xFFFFFFFFul;
        for (size_t i = start; i < out.size(); i++) {
            crc ^= out[i];
            for (int k = 0; k < 8; k++)
                crc = (crc >> 1) ^ (0xEDB88320ul & (0 - (crc & 1)));
        }
        be32(out, ~crc & 0xFFFFFFFFul);
    };
    std::vector<unsigned char> raw;                 /* filter byte 0, then a row */
    size_t row = (size_t)pic.width * 3;
    for (int y = 0; y < pic.height; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), pic.rgb.begin() + y * row, pic.rgb.begin() + (y + 1) * row);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size();) {
        size_t n = std::min<size_t>(raw.size() - at, 65535);
        z.insert(z.end(), {(unsigned char)(at + n == raw.size()), (unsigned char)n,
                           (unsigned char)(n >> 8), (unsigned char)~n, (unsigned char)(~n >> 8)});
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    }
    unsigned long a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    be32(z, (b << 16) | a);
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, ihdr;
    be32(ihdr, pic.width);
    be32(ihdr, pic.height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});       /* 8-bit RGB */
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});

    std::string dir = bb::ProgramPath();            /* ...\bin\VERUVEZ.EXE */
    dir.erase(dir.find_last_of("\\/"));
    dir.erase(dir.find_last_of("\\/") + 1);
    dir += "screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    std::string path = dir + "\\" + name;
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f) << path;
    EXPECT_EQ(fwrite(png.data(), 1, png.size(), f), png.size()) << path;
    fclose(f);
}

}  // namespace

TEST_F(BlackBoxTest, RtcSetThenGetReturnsTheAlarmSet)
{
    Program app;
    bb::PropertySheet sheet = OpenRtcTab(app);
    EnsureChecked(sheet);

    struct Case { const char *hour; bool pm; int sent; };
    for (Case c : {Case{"3", true, 15}, Case{"12", false, 0}, Case{"12", true, 12}, Case{"11", true, 23}}) {
        SCOPED_TRACE(std::string(c.hour) + (c.pm ? " PM" : " AM"));
        ChooseTime(sheet, c.hour, "5", "9", c.pm);
        bb::ClearJournal();
        sheet.Click(IDC_RTC_SET_TEST);
        std::string record = RecordText(c.sent, 5, 9);
        std::vector<std::string> journal = bb::WaitForJournalLines(1);
        EXPECT_EQ(journal[0], "IOCTL_SET_RTC_ALARM " + record + " 0x00000000");
        app.WaitForLogText(Fmt("Setting RTC Alarm to %s %02d:05:09\r\n", TodayText().c_str(), c.sent));

        sheet.PostClick(IDC_RTC_GET_TEST);
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        std::string message = Fmt("The RTC Wake Alarm is currently set for %s at %d:5:09",
                                  TodayText().c_str(), c.sent);
        EXPECT_EQ(box.caption, "ACPI VMT's");
        EXPECT_EQ(box.text, message);
        app.Answer(box, IDOK);
        app.WaitForLogText(message + "\r\n");
        journal = bb::WaitForJournalLines(2);
        EXPECT_EQ(journal[1], "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply=" + record);
    }
    EXPECT_EQ(app.LogText().find("failed"), std::string::npos) << app.LogText();
    sheet.Ok();
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}

TEST_F(BlackBoxTest, RtcFailedRequestsAreReported)
{
    {
        bb::DriverParameterOverride fail("FailCode", IOCTL_SET_RTC_ALARM);
        Program app;
        bb::PropertySheet sheet = OpenRtcTab(app);
        EnsureChecked(sheet);
        ChooseTime(sheet, "7", "0", "0", false);
        bb::ClearJournal();
        sheet.Click(IDC_RTC_SET_TEST);
        std::vector<std::string> journal = bb::WaitForJournalLines(1);
        EXPECT_EQ(journal[0], "IOCTL_SET_RTC_ALARM " + RecordText(7, 0, 0) + " 0xC0000001");
        /* STATUS_UNSUCCESSFUL reaches the program as ERROR_GEN_FAILURE. */
        app.WaitForLogText(Fmt("Setting RTC Alarm to %s 07:00:00\r\n"
                               "The driver request IOCTL_SET_RTC_ALARM failed with system error 31.\r\n",
                               TodayText().c_str()));
        sheet.Cancel();
        app.Command(IDM_EXIT);
        app.WaitForExit();
    }
    {
        bb::DriverParameterOverride fail("FailCode", IOCTL_GET_RTC_ALARM);
        Program app;
        bb::PropertySheet sheet = OpenRtcTab(app);
        EnsureChecked(sheet);
        sheet.PostClick(IDC_RTC_GET_TEST);
        bb::MessageBoxInfo box = app.WaitForMessageBox();
        const std::string text =
            "The RTC Wake Alarm could not be read: the driver request failed with system error 31.";
        EXPECT_EQ(box.text, text);
        app.Answer(box, IDOK);
        app.WaitForLogText(text + "\r\n");
        EXPECT_EQ(app.LogText().find("0/0/0"), std::string::npos);
        sheet.Cancel();
        app.Command(IDM_EXIT);
        app.WaitForExit();
    }
}

TEST_F(BlackBoxTest, RtcUnsupportedEntryKeepsTheAlarmControlsDisabled)
{
    bb::WriteSettingsFile("[ACPI VMT's]\r\nRTCAlarm=2\r\n");
    Program app;
    bb::PropertySheet sheet = OpenRtcTab(app);
    EXPECT_FALSE(sheet.IsEnabled(IDC_RTC));
    EXPECT_FALSE(sheet.IsChecked(IDC_RTC));
    for (int id : kAlarmControls)
        EXPECT_FALSE(sheet.IsEnabled(id)) << id;
    EXPECT_THROW(sheet.Click(IDC_RTC_SET_TEST), bb::HarnessError);

    Picture pic = Capture(sheet.hwnd());
    SavePng(pic, "page-rtc-disabled.png");

    sheet.Ok();
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    for (const std::string &line : bb::ReadJournal())
        EXPECT_EQ(line.find("RTC_ALARM"), std::string::npos) << line;
}

TEST_F(BlackBoxTest, RtcClearingAndCheckingTheBox)
{
    Program app;
    bb::PropertySheet sheet = OpenRtcTab(app);
    EnsureChecked(sheet);
    Picture pic = Capture(sheet.hwnd());
    SavePng(pic, "page-rtc-enabled.png");

    sheet.Click(IDC_RTC);
    for (int id : kAlarmControls)
        EXPECT_FALSE(sheet.IsEnabled(id)) << id;
    sheet.Click(IDC_RTC);
    for (int id : kAlarmControls)
        EXPECT_TRUE(sheet.IsEnabled(id)) << id;

    sheet.Click(IDC_RTC);                         /* cleared and stored */
    sheet.Ok();
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
    EXPECT_EQ(bb::SettingsValue("RTCAlarm"), 0);
}

TEST_F(NoDriverTest, RtcGetWithoutTheDeviceSaysTheAlarmCouldNotBeRead)
{
    Program app;
    bb::PropertySheet sheet = OpenRtcTab(app);
    /* Without the device every entry is 0: the box starts unchecked. */
    EXPECT_FALSE(sheet.IsChecked(IDC_RTC));
    sheet.Click(IDC_RTC);
    sheet.PostClick(IDC_RTC_GET_TEST);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.text, "The RTC Wake Alarm could not be read: the driver request failed with system error 6.");
    app.Answer(box, IDOK);
    sheet.Cancel();
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}
