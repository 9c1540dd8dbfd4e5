/* The RTC Alarm tab as an operator meets it, with the stand-in driver:
   the alarm set on the page comes back from Get, the journal shows the
   record the driver received, failures are reported, and pictures of the
   page with its alarm controls enabled and disabled. */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
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

unsigned long Crc32(const unsigned char *p, size_t n, unsigned long crc = 0)
{
    crc = ~crc & 0xFFFFFFFFul;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = (crc >> 1) ^ (0xEDB88320ul & (0 - (crc & 1)));
    }
    return ~crc & 0xFFFFFFFFul;
}

void PutBE32(std::vector<unsigned char> &out, unsigned long v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((unsigned char)(v >> shift));
}

void PutChunk(std::vector<unsigned char> &out, const char *type, const std::vector<unsigned char> &data)
{
    PutBE32(out, data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc32(&out[start], out.size() - start));
}

/* An RGB picture as a PNG file, its image data in stored (uncompressed)
   deflate blocks. */
bool WritePng(const std::string &path, int width, int height, const std::vector<unsigned char> &rgb)
{
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; y++) {
        raw.push_back(0);                           /* no filter */
        raw.insert(raw.end(), rgb.begin() + (size_t)y * width * 3, rgb.begin() + (size_t)(y + 1) * width * 3);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0;) {
        size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back((unsigned char)n);
        z.push_back((unsigned char)(n >> 8));
        z.push_back((unsigned char)~n);
        z.push_back((unsigned char)(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
        if (n == 0)
            break;
    }
    unsigned long a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> ihdr;
    PutBE32(ihdr, width);
    PutBE32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});       /* 8-bit RGB */
    PutChunk(png, "IHDR", ihdr);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});

    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
    return fclose(f) == 0 && ok;
}

/* The build tree's screenshots folder: beside the bin folder that holds
   the program under test. */
std::string ScreenshotPath(const std::string &name)
{
    std::string dir = bb::ProgramPath();
    dir.erase(dir.find_last_of("\\/"));           /* ...\bin */
    dir.erase(dir.find_last_of("\\/") + 1);       /* ...\ */
    dir += "screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\" + name;
}

/* Copies what the screen shows of a window into a PNG file; returns the
   picture's pixels (RGB rows) for checks. */
std::vector<unsigned char> Screenshot(HWND hwnd, const std::string &path, int *width, int *height)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi;
    ZeroMemory(&bi, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> rgb((size_t)w * h * 3);
    const unsigned char *src = (const unsigned char *)bits;
    for (size_t i = 0; i < (size_t)w * h; i++) {
        rgb[i * 3] = src[i * 4 + 2];
        rgb[i * 3 + 1] = src[i * 4 + 1];
        rgb[i * 3 + 2] = src[i * 4];
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    EXPECT_TRUE(WritePng(path, w, h, rgb)) << path;
    *width = w;
    *height = h;
    return rgb;
}

/* The colour just inside a control's top left corner, away from its
   text, from a picture of the window. */
COLORREF ColourAt(const std::vector<unsigned char> &rgb, int width, HWND window, HWND control)
{
    RECT wr, cr;
    GetWindowRect(window, &wr);
    GetWindowRect(control, &cr);
    int x = cr.left + 1 - wr.left, y = cr.top + 1 - wr.top;
    const unsigned char *p = &rgb[((size_t)y * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
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

    int w = 0, h = 0;
    std::vector<unsigned char> shot =
        Screenshot(sheet.hwnd(), ScreenshotPath("page-rtc-disabled.png"), &w, &h);
    /* The frame and the ":" labels keep the edit background while the
       fields are disabled. */
    COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(ColourAt(shot, w, sheet.hwnd(), sheet.Control(IDC_RTC_COLON1)), window);
    EXPECT_EQ(ColourAt(shot, w, sheet.hwnd(), sheet.Control(IDC_RTC_COLON2)), window);

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
    int w = 0, h = 0;
    std::vector<unsigned char> shot =
        Screenshot(sheet.hwnd(), ScreenshotPath("page-rtc-enabled.png"), &w, &h);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(ColourAt(shot, w, sheet.hwnd(), sheet.Control(IDC_RTC_COLON1)), window);

    sheet.Click(IDC_RTC);
    for (int id : kAlarmControls)
        EXPECT_FALSE(sheet.IsEnabled(id)) << id;
    sheet.Click(IDC_RTC);
    for (int id : kAlarmControls)
        EXPECT_TRUE(sheet.IsEnabled(id)) << id;

    /* Typed values are held to the limits in the running program too. */
    sheet.TypeText(IDC_RTC_MINUTE, "75");
    EXPECT_EQ(sheet.Text(IDC_RTC_MINUTE), "59");
    sheet.TypeText(IDC_RTC_HOUR, "0");
    EXPECT_EQ(sheet.Text(IDC_RTC_HOUR), "1");

    sheet.Click(IDC_RTC);
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
