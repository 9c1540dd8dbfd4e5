/* The shell as an operator meets it: start-up, one copy, closing, resizing, stray commands. */
#include "tests/blackbox/blackbox.h"
#include "selection/selectionrules.h"
#include <algorithm>

using bb::Program;
using bb::StartOptions;

namespace {

const char kNoDriverLog[] = BANNER_TEXT "\r\n\r\n" NO_DRIVER_TEXT "\r\n";

/* The two ways an operator ends the program. */
struct Way { const char *name; UINT msg; WPARAM wParam; };
const Way kWays[] = {
    {"File/Exit", WM_COMMAND, IDM_EXIT},
    {"close box (SC_CLOSE)", WM_SYSCOMMAND, SC_CLOSE},
};

void EndAndExpectCodeZero(Program &app, const Way &way)
{
    ASSERT_TRUE(PostMessageA(app.MainWindow(), way.msg, way.wParam, 0));
    EXPECT_EQ(app.WaitForExit(), 0u);
}

/* RICHED32.DLL disabled in Wine's load order of VERUVEZ.EXE alone, while
   the object lives.  (WINEDLLOVERRIDES would do the same, but Wine takes it
   from its own environment only: a Windows parent cannot hand it on.) */
class RichEditDisabled {
public:
    RichEditDisabled()
    {
        HKEY key;
        LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
        if (rc == ERROR_SUCCESS) {
            rc = RegSetValueExA(key, "riched32", 0, REG_SZ, (const BYTE *)"", 1);   /* "": disabled */
            RegCloseKey(key);
        }
        if (rc != ERROR_SUCCESS)
            throw bb::HarnessError(bb::Format("cannot disable riched32 for the program (error %ld)", rc));
    }
    ~RichEditDisabled() { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

private:
    static constexpr const char *kKey = "Software\\Wine\\AppDefaults\\VERUVEZ.EXE\\DllOverrides";
};

}  // namespace

TEST_F(NoDriverTest, StartupLogAndDebuggerOutputsThenExitCodeZero)
{
    for (const Way &way : kWays) {
        SCOPED_TRACE(way.name);
        StartOptions opts;
        opts.captureDebugOutput = true;
        Program app(opts);
        EXPECT_EQ(app.LogText(), kNoDriverLog);

        /* The prefix and the text are two separate outputs, in this order. */
        std::vector<std::string> out = app.DebugOutput();
        auto prefix = std::find(out.begin(), out.end(), TRACE_PREFIX);
        ASSERT_NE(prefix, out.end()) << "no prefix among " << out.size() << " outputs";
        ASSERT_NE(prefix + 1, out.end()) << "nothing after the prefix";
        EXPECT_EQ(prefix[1], NO_DRIVER_TRACE);
        EXPECT_EQ(std::count(out.begin(), out.end(), TRACE_PREFIX), 1);
        EndAndExpectCodeZero(app, way);
    }
}

/* The common controls, the common dialog, the shell and its helpers cost
   start-up time and are needed only by Filter, Save As and About: they are
   loaded when those are used. */
TEST_F(NoDriverTest, StartsWithoutTheDllsOfFilterSaveAsAndAbout)
{
    Program app;
    std::vector<std::string> mods = app.Modules();
    ASSERT_NE(std::find(mods.begin(), mods.end(), "RICHED32.DLL"), mods.end());
    for (const char *dll : {"COMCTL32.DLL", "COMDLG32.DLL", "SHELL32.DLL", "SHLWAPI.DLL"})
        EXPECT_EQ(std::find(mods.begin(), mods.end(), dll), mods.end()) << dll << " loaded at start-up";

    app.Command(IDM_FILTER);
    bb::PropertySheet sheet = app.WaitForPropertySheet();
    mods = app.Modules();
    EXPECT_NE(std::find(mods.begin(), mods.end(), "COMCTL32.DLL"), mods.end());
    sheet.Cancel();

    app.Command(IDM_ABOUT);
    HWND about = app.WaitForDialog("About " ABOUT_NAME);
    mods = app.Modules();
    EXPECT_NE(std::find(mods.begin(), mods.end(), "SHELL32.DLL"), mods.end());
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    bb::WaitUntil([&] { return !IsWindow(about); }, bb::kTimeout, "the About box to close");
}

/* Without its log pane the program does not run: one box says why, no main
   window appears, and the program ends as a failed window creation does. */
TEST_F(NoDriverTest, WithoutRichEditTheOperatorIsToldAndTheProgramEnds)
{
    RichEditDisabled disabled;
    StartOptions opts;
    opts.waitForWindow = false;
    Program app(opts);
    bb::MessageBoxInfo box = app.WaitForMessageBox();
    EXPECT_EQ(box.caption, "ACPI VMT - Error");
    EXPECT_EQ(box.text, "Could not load RICHED32.DLL (system error 126).\nThe program cannot run without its log pane.");
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    for (HWND hwnd : bb::WindowsOfClass(bb::ProgramText(IDS_CLASSNAME)))
        EXPECT_FALSE(IsWindowVisible(hwnd)) << "the main window is shown";
    app.Answer(box, IDOK);
    EXPECT_EQ(app.WaitForExit(), 0u);
}

TEST_F(NoDriverTest, SecondCopyEndsAndLeavesTheFirstAsItWas)
{
    Program first;
    StartOptions opts;
    opts.waitForWindow = false;
    Program second(opts);
    EXPECT_EQ(second.WaitForExit(), 0u);

    EXPECT_EQ(bb::WindowsOfClass(bb::ProgramText(IDS_CLASSNAME)), std::vector<HWND>{first.MainWindow()});
    EXPECT_TRUE(first.Responsive());
    EXPECT_EQ(first.LogText(), kNoDriverLog);
}

TEST_F(NoDriverTest, LogPaneFillsTheClientAreaAfterResize)
{
    Program app;
    HWND hwnd = app.MainWindow();
    for (SIZE size : {SIZE{640, 480}, SIZE{300, 200}, SIZE{900, 700}}) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        MoveWindow(hwnd, 20, 20, size.cx, size.cy, TRUE);
        RECT client = {}, pane = {};
        bb::WaitUntil([&] {
            GetClientRect(hwnd, &client);
            pane = bb::RectInParent(app.LogPane());
            return client.right > size.cx - 40 && client.right < size.cx && EqualRect(&pane, &client);
        }, 3000, "the log pane to fill the client area");
    }
    EXPECT_EQ(app.LogText(), kNoDriverLog);
}

TEST_F(NoDriverTest, MinimizedOrMaximizedLaunchOpensNormal)
{
    for (int show : {SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED}) {
        SCOPED_TRACE("wShowWindow " + std::to_string(show));
        StartOptions opts;
        opts.showCommand = show;
        Program app(opts);
        /* Give a late show-state change the chance to arrive. */
        EXPECT_TRUE(app.Responsive());
        EXPECT_FALSE(IsIconic(app.MainWindow()));
        EXPECT_FALSE(IsZoomed(app.MainWindow()));
        EXPECT_TRUE(IsWindowVisible(app.MainWindow()));
    }
}

TEST_F(NoDriverTest, UnknownCommandIdsChangeNothing)
{
    Program app;
    for (WORD id : {0, 1, 199, 205, IDC_LOG, 0xFFFF})
        app.Command(id);
    /* Posted messages are handled in order: once the About box of this later
       command is up, every stray id above has been handled. */
    app.Command(IDM_ABOUT);
    HWND about = app.WaitForDialog("About " ABOUT_NAME);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    bb::WaitUntil([&] { return !IsWindow(about); }, bb::kTimeout, "the About box to close");
    EXPECT_TRUE(app.Responsive());
    EXPECT_EQ(app.LogText(), kNoDriverLog);
}

/* With the stand-in driver loaded. */
class DriverShellTest : public BlackBoxTest {};

TEST_F(DriverShellTest, StartupShowsTheBannerOnlyAndExitWritesTheSelection)
{
    for (const Way &way : kWays) {
        SCOPED_TRACE(way.name);
        bb::DeleteSettingsFile();
        bb::ClearJournal();
        Program app;
        EXPECT_EQ(app.LogText(), BANNER_TEXT "\r\n\r\n");
        /* The capability query is the one request, sent at start-up. */
        EXPECT_EQ(bb::WaitForJournalLines(1),
                  std::vector<std::string>{"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55"});

        EndAndExpectCodeZero(app, way);
        EXPECT_EQ(bb::ReadJournal().size(), 1u) << "a request at shut-down";
        /* First run, no settings file: every test selected, and kept so. */
        for (int entry : {SEL_S1, SEL_C3, SEL_FAN, SEL_RTC})
            EXPECT_EQ(bb::SettingsValue(SelectionKey(entry)), 1) << SelectionKey(entry) << " in\n"
                                                                  << bb::ReadSettingsFile();
    }
}
