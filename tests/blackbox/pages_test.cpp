/* The filter-options sheet as an operator meets it, with the stand-in
   driver: what the pages show from the settings file, what their "test"
   buttons send, what OK and Cancel store.  Also saves a picture of each page
   under the build tree (screenshots/page-*.png). */
#include "tests/blackbox/blackbox.h"
#include "driver/acpiioctl.h"
#include <commctrl.h>
#include <stdio.h>

using bb::Program;

namespace {

enum { PAGE_PROCESSOR, PAGE_SYSTEM, PAGE_THERMAL, PAGE_RTC };

const char *const kKeys[] = { "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
                              "C1CPUState", "C2CPUState", "C3CPUState", "FanOnOff",
                              "CPUDutyCycle", "RTCAlarm" };

/* A settings file with the ten values in key order. */
void WriteSettings(std::initializer_list<int> values)
{
    std::string text = "[ACPI VMT's]\r\n";
    const char *const *key = kKeys;
    for (int v : values)
        text += std::string(*key++) + "=" + std::to_string(v) + "\r\n";
    bb::WriteSettingsFile(text);
}

/* Ends the program through File/Exit, which writes the settings file. */
void Exit(Program &app)
{
    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}

bb::PropertySheet OpenSheet(Program &app)
{
    app.Command(IDM_FILTER);
    return app.WaitForPropertySheet();
}

struct BoxAndDeps { int page, box; std::vector<int> deps; };
const BoxAndDeps kBoxes[] = {
    { PAGE_PROCESSOR, IDC_C1, { IDC_C1_TEST } }, { PAGE_PROCESSOR, IDC_C2, { IDC_C2_TEST } },
    { PAGE_PROCESSOR, IDC_C3, { IDC_C3_TEST } },
    { PAGE_SYSTEM, IDC_S1, { IDC_S1_TEST } }, { PAGE_SYSTEM, IDC_S2, { IDC_S2_TEST } },
    { PAGE_SYSTEM, IDC_S3, { IDC_S3_TEST } }, { PAGE_SYSTEM, IDC_S4, { IDC_S4_TEST } },
    { PAGE_THERMAL, IDC_FAN, { IDC_FAN_ON_TEST, IDC_FAN_OFF_TEST, IDC_FAN_ON_LABEL, IDC_FAN_OFF_LABEL } },
    { PAGE_THERMAL, IDC_DUTY, { IDC_DUTY_PERCENT, IDC_DUTY_SPIN, IDC_DUTY_TEST, IDC_DUTY_LABEL } },
};

/* ---- pictures of the pages ---------------------------------------------- */

/* build/win32/screenshots, next to the bin folder of this program. */
std::string ScreenshotDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return "";
    std::string dir(path, n);
    dir = dir.substr(0, dir.find_last_of('\\'));          /* ...\bin */
    dir = dir.substr(0, dir.find_last_of('\\')) + "\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

/* Writes the screen area of the window as a 24-bit BMP. */
bool SaveClientBmp(HWND hwnd, const std::string &file)
{
    RECT rc;
    GetWindowRect(hwnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return false;

    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    void *bits = NULL;
    HBITMAP bmp = CreateDIBSection(screen, (BITMAPINFO *)&bih, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = false;
    if (bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY) != FALSE;
        GdiFlush();
        DWORD size = (((DWORD)w * 3 + 3) & ~3u) * (DWORD)h;
        BITMAPFILEHEADER bfh = {};
        bfh.bfType = 0x4D42;   /* "BM" */
        bfh.bfOffBits = sizeof bfh + sizeof bih;
        bfh.bfSize = bfh.bfOffBits + size;
        FILE *f = ok ? fopen(file.c_str(), "wb") : NULL;
        ok = f && fwrite(&bfh, sizeof bfh, 1, f) == 1 && fwrite(&bih, sizeof bih, 1, f) == 1
               && fwrite(bits, size, 1, f) == 1;
        if (f)
            fclose(f);
        SelectObject(mem, old);
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return ok;
}

/* The Unix name of a DOS path, through Wine's own mapping. */
std::string UnixPath(const std::string &dosPath)
{
    typedef char *(CDECL *UnixNameFn)(LPCWSTR);
    UnixNameFn unixName = (UnixNameFn)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                     "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH];
    if (!unixName || !MultiByteToWideChar(CP_ACP, 0, dosPath.c_str(), -1, wide, MAX_PATH))
        return "";
    char *name = unixName(wide);
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

/* Saves the sheet as it stands as screenshots/<name>.png (the .bmp stays
   when ImageMagick cannot run). */
void SaveScreenshot(const bb::PropertySheet &sheet, const std::string &name)
{
    RedrawWindow(sheet.hwnd(), NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    std::string dir = ScreenshotDir();
    std::string bmpFile = dir + "\\" + name + ".bmp";
    ASSERT_TRUE(SaveClientBmp(sheet.hwnd(), bmpFile)) << "could not capture " << bmpFile;

    /* ImageMagick's convert, then the BMP removed: the BMP's going tells
       that the PNG is complete (a Unix child is not waitable from here). */
    std::string bmpUnix = UnixPath(bmpFile), pngUnix = UnixPath(dir + "\\" + name + ".png");
    std::string cmd = "/bin/sh -c \"/usr/bin/convert '" + bmpUnix + "' '" + pngUnix
                      + "' && rm -f '" + bmpUnix + "'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (bmpUnix.empty() || pngUnix.empty()
        || !CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 100 && GetFileAttributesA(bmpFile.c_str()) != INVALID_FILE_ATTRIBUTES; i++)
        Sleep(100);
}

}  // namespace

using FilterPages = BlackBoxTest;

/* ---- what the pages show and store ------------------------------------- */

TEST_F(FilterPages, ShowEverySkippedBoxEnabledUncheckedWithDependentsGreyed)
{
    WriteSettings({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    Program app;
    bb::PropertySheet sheet = OpenSheet(app);
    for (const BoxAndDeps &b : kBoxes) {
        sheet.SelectPage(b.page);
        EXPECT_TRUE(sheet.IsEnabled(b.box)) << b.box;
        EXPECT_FALSE(sheet.IsChecked(b.box)) << b.box;
        for (int dep : b.deps)
            EXPECT_FALSE(sheet.IsEnabled(dep)) << dep;
    }
    EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "");
    /* Checking and unchecking a box greys its dependents at once. */
    for (const BoxAndDeps &b : kBoxes) {
        sheet.SelectPage(b.page);
        sheet.Click(b.box);
        for (int dep : b.deps)
            EXPECT_TRUE(sheet.IsEnabled(dep)) << dep;
        sheet.Click(b.box);
        for (int dep : b.deps)
            EXPECT_FALSE(sheet.IsEnabled(dep)) << dep;
    }
    sheet.Ok();
    Exit(app);
    for (const char *key : kKeys)
        EXPECT_EQ(bb::SettingsValue(key), 0) << key;
}

TEST_F(FilterPages, KeepUnsupportedAndHandEditedEntriesThroughOk)
{
    /* S1 S2 S3 S4 C1 C2 C3 Fan Duty RTC */
    WriteSettings({ 7, 0, 1, 2, 2, 1, 7, 1, 7, 0 });
    Program app;
    bb::PropertySheet sheet = OpenSheet(app);
    EXPECT_FALSE(sheet.IsEnabled(IDC_C1));
    EXPECT_FALSE(sheet.IsChecked(IDC_C1));
    EXPECT_FALSE(sheet.IsEnabled(IDC_C1_TEST));
    EXPECT_TRUE(sheet.IsChecked(IDC_C2));
    EXPECT_FALSE(sheet.IsEnabled(IDC_C3));
    EXPECT_FALSE(sheet.IsEnabled(IDC_C3_TEST));
    sheet.SelectPage(PAGE_SYSTEM);
    EXPECT_FALSE(sheet.IsEnabled(IDC_S1));
    EXPECT_FALSE(sheet.IsChecked(IDC_S1));
    EXPECT_TRUE(sheet.IsChecked(IDC_S3));
    EXPECT_FALSE(sheet.IsEnabled(IDC_S4));
    EXPECT_FALSE(sheet.IsEnabled(IDC_S4_TEST));
    sheet.Click(IDC_S2);                                   /* 0 -> 1 */
    sheet.SelectPage(PAGE_THERMAL);
    EXPECT_TRUE(sheet.IsChecked(IDC_FAN));
    EXPECT_TRUE(sheet.IsEnabled(IDC_FAN_OFF_LABEL));
    EXPECT_FALSE(sheet.IsEnabled(IDC_DUTY));
    for (int dep : { IDC_DUTY_PERCENT, IDC_DUTY_SPIN, IDC_DUTY_TEST, IDC_DUTY_LABEL })
        EXPECT_FALSE(sheet.IsEnabled(dep)) << dep;
    sheet.Click(IDC_FAN);                                  /* 1 -> 0 */
    sheet.Ok();
    Exit(app);
    /* Disabled boxes stored nothing: 7 stays 7, 2 is written as 1. */
    EXPECT_EQ(bb::SettingsValue("S1SystemState"), 7);
    EXPECT_EQ(bb::SettingsValue("S2SystemState"), 1);
    EXPECT_EQ(bb::SettingsValue("S4SystemState"), 1);
    EXPECT_EQ(bb::SettingsValue("C1CPUState"), 1);
    EXPECT_EQ(bb::SettingsValue("C3CPUState"), 7);
    EXPECT_EQ(bb::SettingsValue("FanOnOff"), 0);
    EXPECT_EQ(bb::SettingsValue("CPUDutyCycle"), 7);
}

TEST_F(FilterPages, OkWithoutShowingAPageKeepsItsEntriesAndReopenShowsStored)
{
    WriteSettings({ 0, 1, 0, 1, 0, 0, 0, 0, 1, 0 });
    Program app;
    {
        bb::PropertySheet sheet = OpenSheet(app);
        sheet.Click(IDC_C1);                               /* only the first page is shown */
        sheet.Ok();
    }
    {
        bb::PropertySheet sheet = OpenSheet(app);
        EXPECT_TRUE(sheet.IsChecked(IDC_C1));
        sheet.SelectPage(PAGE_THERMAL);
        EXPECT_TRUE(sheet.IsChecked(IDC_DUTY));
        sheet.TypeText(IDC_DUTY_PERCENT, "55");
        sheet.Ok();
    }
    {
        bb::PropertySheet sheet = OpenSheet(app);
        sheet.SelectPage(PAGE_THERMAL);
        EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "") << "a percentage carried over";
        sheet.Cancel();
    }
    Exit(app);
    EXPECT_EQ(bb::SettingsValue("C1CPUState"), 1);
    EXPECT_EQ(bb::SettingsValue("S1SystemState"), 0);
    EXPECT_EQ(bb::SettingsValue("S2SystemState"), 1);
    EXPECT_EQ(bb::SettingsValue("S3SystemState"), 0);
    EXPECT_EQ(bb::SettingsValue("S4SystemState"), 1);
    EXPECT_EQ(bb::SettingsValue("CPUDutyCycle"), 1);
}

/* ---- "test" buttons ------------------------------------------------------ */

TEST_F(FilterPages, TestButtonsSendAtOnceAndCancelKeepsTheEntries)
{
    WriteSettings({ 1, 1, 1, 1, 1, 0, 1, 1, 1, 0 });
    Program app;
    bb::ClearJournal();
    bb::PropertySheet sheet = OpenSheet(app);
    sheet.Click(IDC_C1_TEST);
    sheet.Click(IDC_C2);                                   /* 0 -> 1, then cancelled */
    sheet.Click(IDC_C2_TEST);
    sheet.Click(IDC_C3_TEST);
    sheet.SelectPage(PAGE_SYSTEM);
    for (int id : { IDC_S1_TEST, IDC_S2_TEST, IDC_S3_TEST, IDC_S4_TEST })
        sheet.Click(id);
    sheet.SelectPage(PAGE_THERMAL);
    sheet.Click(IDC_FAN_ON_TEST);
    sheet.Click(IDC_FAN_OFF_TEST);
    sheet.TypeText(IDC_DUTY_PERCENT, "50");
    sheet.Click(IDC_DUTY_TEST);
    sheet.Cancel();

    EXPECT_EQ(bb::WaitForJournalLines(10), (std::vector<std::string>{
        "IOCTL_SET_CPU_STATE 1 0x00000000",   "IOCTL_SET_CPU_STATE 2 0x00000000",
        "IOCTL_SET_CPU_STATE 3 0x00000000",   "IOCTL_SET_SLEEP_STATE 2 0x00000000",
        "IOCTL_SET_SLEEP_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 4 0x00000000",
        "IOCTL_SET_SLEEP_STATE 5 0x00000000", "IOCTL_SET_FAN 1 0x00000000",
        "IOCTL_SET_FAN 0 0x00000000",         "IOCTL_SET_DUTY_CYCLE 50 0x00000000" }));
    EXPECT_NE(app.LogText().find("Placing the processor into C1\r\n"
                                 "Placing the processor into C2\r\n"
                                 "Placing the processor into C3\r\n"
                                 "Placing the System into S1\r\n"
                                 "Placing the System into S2\r\n"
                                 "Placing the System into S3\r\n"
                                 "Placing the System into S4\r\n"
                                 "Turning the fan ON\r\n"
                                 "Turning the fan OFF\r\n"
                                 "Setting the CPU duty cycle to 50%\r\n"), std::string::npos)
        << app.LogText();
    Exit(app);
    EXPECT_EQ(bb::SettingsValue("C2CPUState"), 0);
}

TEST_F(FilterPages, FailedTestRequestAddsTheErrorLine)
{
    bb::DriverParameterOverride fail("FailCode", IOCTL_SET_FAN);
    WriteSettings({ 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 });
    Program app;
    bb::ClearJournal();
    bb::PropertySheet sheet = OpenSheet(app);
    sheet.SelectPage(PAGE_THERMAL);
    sheet.Click(IDC_FAN_ON_TEST);
    sheet.SelectPage(PAGE_PROCESSOR);
    sheet.Click(IDC_C1_TEST);
    sheet.Ok();
    EXPECT_EQ(bb::WaitForJournalLines(2), (std::vector<std::string>{
        "IOCTL_SET_FAN 1 0xC0000001", "IOCTL_SET_CPU_STATE 1 0x00000000" }));
    /* STATUS_UNSUCCESSFUL reaches the program as ERROR_GEN_FAILURE (31). */
    EXPECT_NE(app.LogText().find("Turning the fan ON\r\n"
                                 "The driver request IOCTL_SET_FAN failed with system error 31.\r\n"
                                 "Placing the processor into C1\r\n"), std::string::npos)
        << app.LogText();
    Exit(app);
}

/* ---- the percentage field ------------------------------------------------ */

TEST_F(FilterPages, PercentFieldStaysWithinHundredAndEmptySendsZero)
{
    WriteSettings({ 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 });
    Program app;
    bb::ClearJournal();
    bb::PropertySheet sheet = OpenSheet(app);
    sheet.SelectPage(PAGE_THERMAL);
    HWND spin = sheet.Control(IDC_DUTY_SPIN);
    EXPECT_EQ(SendMessageA(spin, UDM_GETRANGE, 0, 0), MAKELONG(100, 1));

    sheet.TypeText(IDC_DUTY_PERCENT, "150");
    EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "100");
    sheet.TypeText(IDC_DUTY_PERCENT, "0");
    EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "0");
    sheet.TypeText(IDC_DUTY_PERCENT, "abc7x");                /* ES_NUMBER keeps the digit */
    EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "7");

    /* The arrow keys step the field, never past 1 or 100. */
    HWND field = sheet.Control(IDC_DUTY_PERCENT);
    sheet.SetText(IDC_DUTY_PERCENT, "99");
    for (int i = 0; i < 3; i++)
        SendMessageA(field, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "100");
    sheet.SetText(IDC_DUTY_PERCENT, "2");
    for (int i = 0; i < 3; i++)
        SendMessageA(field, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "1");

    sheet.Click(IDC_DUTY_TEST);
    sheet.SetText(IDC_DUTY_PERCENT, "");
    EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "");
    sheet.Click(IDC_DUTY_TEST);
    sheet.Cancel();
    EXPECT_EQ(bb::WaitForJournalLines(2), (std::vector<std::string>{
        "IOCTL_SET_DUTY_CYCLE 1 0x00000000", "IOCTL_SET_DUTY_CYCLE 0 0x00000000" }));
    EXPECT_NE(app.LogText().find("Setting the CPU duty cycle to 1%\r\n"
                                 "Setting the CPU duty cycle to 0%\r\n"), std::string::npos)
        << app.LogText();
    Exit(app);
}

/* ---- pictures ------------------------------------------------------------ */

TEST_F(FilterPages, Screenshots)
{
    /* A mix: checked, unchecked and unsupported boxes on each page. */
    WriteSettings({ 1, 0, 1, 2, 1, 0, 2, 1, 1, 1 });
    Program app;
    bb::PropertySheet sheet = OpenSheet(app);
    const char *const names[] = { "page-processor", "page-system", "page-thermal", "page-rtc" };
    for (int page = PAGE_PROCESSOR; page <= PAGE_RTC; page++) {
        sheet.SelectPage(page);
        if (page == PAGE_THERMAL) {
            sheet.TypeText(IDC_DUTY_PERCENT, "50");
            EXPECT_EQ(sheet.Text(IDC_DUTY_PERCENT), "50");
        }
        SaveScreenshot(sheet, names[page]);
    }
    sheet.Cancel();
    Exit(app);
}
