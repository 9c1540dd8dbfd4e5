/* VERUVEZ.EXE operated only with key presses from the X server (xdotool)
   under openbox: menus, boxes, the sheet, Save As, About, Alt+F4. */
#include "tests/rows/rows.h"
#include "res/resource.h"
#include "res/texts.h"
#include <gtest/gtest.h>
#include <fstream>

using namespace vt;

static std::string XId(HWND window) { return std::to_string((uintptr_t)GetPropA(window, "__wine_x11_whole_window")); }

/* "key KEYS" or "type TEXT", once the window has the focus, Wine's and the X server's. */
static void X(HWND window, std::string what, bool closes = false)
{
    WaitFor([&] { return GetForegroundWindow() == window && !Unix("[ $(xdotool getwindowfocus) = " + XId(window) + " ]"); },
            "the focus on " + Text(window));
    if (Unix("xdotool " + what.insert(what.find(' '), " --delay 60") + " >&2") != 0)
        throw Error("xdotool " + what);
    if (closes)
        WaitFor([&] { return !IsWindow(window); }, "the window to close on " + what);
}

/* Tab until the control has the focus, then the keys. */
static void TabTo(HWND sheet, int id, const std::string &keys, bool closes = false)
{
    GUITHREADINFO gti = {sizeof gti, 0, 0, 0, 0, 0, 0, 0, {}};
    WaitFor([&] { return (GetGUIThreadInfo(GetWindowThreadProcessId(sheet, NULL), &gti) && GetDlgCtrlID(gti.hwndFocus) == id) ||
                         (X(sheet, "key Tab"), false); }, "Tab to reach control " + std::to_string(id));
    X(sheet, keys, closes);
}

TEST(Keyboard, MenusBoxesSheetSaveAsAboutAltF4)
{
    Unix("rm -rf \"$WINEPREFIX/drive_c/save\" && mkdir \"$WINEPREFIX/drive_c/save\"");
    DriverReset();
    WriteIni(Ini("1000100100"));
    App app;
    X(app.main, "key alt+t s");
    for (const char *keys : {"Return", "y", "n", "y", "Return", "n"})   /* C1; S1, verdict; fan on, verdict; fan off */
        X(app.NextBox().hwnd, std::string("key ") + keys, true);
    MoveWindow(app.main, 40, 40, 620, 330, TRUE);
    EXPECT_EQ(Unix("mkdir -p screenshots && sleep 0.3 && import -frame -window " + XId(app.main) +
                   " png:screenshots/main-pass-desktop.png"), 0);   /* in build/ARCH */

    X(app.main, "key alt+t f");
    HWND sheet = app.Dialog(FILTER_CAPTION);
    X(sheet, "key ctrl+Tab ctrl+Tab");   /* to Thermal Control, else Tab never reaches the duty cycle */
    TabTo(sheet, IDC_DUTY, "key space");   /* checks it: its field and button are enabled */
    TabTo(sheet, IDC_DUTY_PERCENT, "type 145");   /* held to 100 */
    TabTo(sheet, IDC_DUTY_TEST, "key space");
    TabTo(sheet, IDOK, "key Return", true);
    X(app.main, "key alt+f s");
    HWND save = app.Dialog(SAVE_CAPTION);
    X(save, "type 'C:\\save\\kb'");
    X(save, "key Return", true);
    X(app.main, "key alt+h a");
    X(app.Dialog("About " ABOUT_NAME), "key Return", true);

    std::vector<std::string> log = app.Log();
    EXPECT_EQ(ReadFile("C:\\save\\kb.TXT"), Text(app.pane));
    X(app.main, "key alt+F4");
    WaitFor([&] { return app.Exited() != STILL_ACTIVE; }, "Alt+F4 to end the program");
    EXPECT_EQ(app.Exited(), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"h " BANNER_TEXT, "", "n Running the \"Placing the CPU into C1\" test.",
        "b The \"Placing the CPU into C2\" test was skipped...", "b The \"Placing the CPU into C3\" test was skipped...",
        "n Running the \"Placing the system into the S1 state\" test.",
        "b The \"Placing the system into the S2 state\" test was skipped...",
        "b The \"Placing the system into the S3 state\" test was skipped...", "n Running the \"Turning the fan ON\" test.",
        "b The \"Turning the fan OFF\" test was skipped...", "b The \"Throttle the CPU\" tests were skipped...",
        "n Setting the CPU duty cycle to 100%"}));
    EXPECT_EQ(Journal(), (std::vector<std::string>{"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55",
        "IOCTL_SET_CPU_STATE 1 0x00000000", "IOCTL_SET_SLEEP_STATE 2 0x00000000", "IOCTL_SET_FAN 1 0x00000000",
        "IOCTL_SET_DUTY_CYCLE 100 0x00000000"}));
    EXPECT_EQ(ReadIni(), Ini("1000100110"));
}
