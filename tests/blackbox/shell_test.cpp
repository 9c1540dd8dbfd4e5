/* The shell as an operator meets it: start-up, one copy per desktop,
   closing, resizing, start-up show state, stray commands. */
#include "tests/blackbox/blackbox.h"
#include <algorithm>

using bb::Program;
using bb::StartOptions;

namespace {

const char kNoDriverLog[] = BANNER_TEXT "\r\n\r\n" NO_DRIVER_TEXT "\r\n";

/* The log pane covers the main window's client area exactly. */
void ExpectPaneFillsClient(const Program &app, const char *when)
{
    HWND pane = app.LogPane();
    RECT client;
    GetClientRect(app.MainWindow(), &client);
    RECT rc = {};
    try {
        bb::WaitUntil([&] {
            GetClientRect(app.MainWindow(), &client);
            rc = bb::RectInParent(pane);
            return EqualRect(&rc, &client) != FALSE;
        }, 3000, "the log pane to fill the client area");
    } catch (const bb::HarnessError &) {
        ADD_FAILURE() << when << ": pane (" << rc.left << "," << rc.top << ")-(" << rc.right
                      << "," << rc.bottom << "), client area (0,0)-(" << client.right << ","
                      << client.bottom << ")";
    }
}

}  // namespace

TEST_F(NoDriverTest, StartupShowsBannerRedLineAndTracesTheMissingDriver)
{
    StartOptions opts;
    opts.captureDebugOutput = true;
    Program app(opts);

    EXPECT_EQ(bb::WindowText(app.MainWindow()), "ACPI Velmont Test");
    EXPECT_EQ(app.LogText(), kNoDriverLog);

    /* The prefix and the text are two separate outputs, in this order. */
    std::vector<std::string> out = app.DebugOutput();
    auto prefix = std::find(out.begin(), out.end(), "[VERUVEZ.EXE] ");
    ASSERT_NE(prefix, out.end()) << "no \"[VERUVEZ.EXE] \" output among " << out.size();
    ASSERT_NE(prefix + 1, out.end()) << "nothing follows the prefix";
    EXPECT_EQ(prefix[1], "Could not find: c:\\windows\\system\\acpi.sys\n");
    EXPECT_EQ(std::count(out.begin(), out.end(), "[VERUVEZ.EXE] "), 1);

    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}

TEST_F(NoDriverTest, SecondCopyEndsAndLeavesTheFirstAsItWas)
{
    Program first;
    std::string before = first.LogText();

    StartOptions opts;
    opts.waitForWindow = false;
    Program second(opts);
    EXPECT_EQ(second.WaitForExit(), 0u);

    std::vector<HWND> windows = bb::WindowsOfClass("VERUVEZ");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0], first.MainWindow());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.Responsive());
    EXPECT_EQ(first.LogText(), before);
    EXPECT_FALSE(IsIconic(first.MainWindow()));
}

TEST_F(NoDriverTest, ExitAndTheCloseBoxEndWithCodeZero)
{
    struct Way { const char *name; UINT msg; WPARAM wParam; } ways[] = {
        {"File/Exit", WM_COMMAND, IDM_EXIT},
        {"WM_CLOSE", WM_CLOSE, 0},
        {"close box (SC_CLOSE)", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const Way &way : ways) {
        SCOPED_TRACE(way.name);
        Program app;
        HWND hwnd = app.MainWindow();
        ASSERT_TRUE(PostMessageA(hwnd, way.msg, way.wParam, 0));
        EXPECT_EQ(app.WaitForExit(), 0u);
        EXPECT_FALSE(IsWindow(hwnd));
    }
}

TEST_F(NoDriverTest, LogPaneFillsTheClientAreaAfterResizeAndMove)
{
    Program app;
    HWND hwnd = app.MainWindow();
    ExpectPaneFillsClient(app, "at start-up");

    struct Geometry { int x, y, w, h; } steps[] = {
        {10, 10, 640, 480}, {30, 20, 300, 200}, {200, 150, 300, 200}, {0, 0, 900, 700},
    };
    for (const Geometry &g : steps) {
        MoveWindow(hwnd, g.x, g.y, g.w, g.h, TRUE);
        RECT rc;
        bb::WaitUntil([&] { GetWindowRect(hwnd, &rc);
                            return rc.right - rc.left == g.w && rc.bottom - rc.top == g.h; },
                      3000, "the main window to take its new size");
        std::string when = "after MoveWindow to " + std::to_string(g.w) + "x" + std::to_string(g.h);
        ExpectPaneFillsClient(app, when.c_str());
    }
    EXPECT_EQ(app.LogText(), kNoDriverLog);
}

TEST_F(NoDriverTest, MinimizedOrMaximizedLaunchOpensNormal)
{
    for (int show : {SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED}) {
        SCOPED_TRACE("wShowWindow " + std::to_string(show));
        StartOptions opts;
        opts.showCommand = show;
        Program app(opts);
        HWND hwnd = app.MainWindow();
        /* Give a late show-state change the chance to arrive. */
        EXPECT_TRUE(app.Responsive());
        EXPECT_FALSE(IsIconic(hwnd));
        EXPECT_FALSE(IsZoomed(hwnd));
        EXPECT_TRUE(IsWindowVisible(hwnd));
        app.Command(IDM_EXIT);
        EXPECT_EQ(app.WaitForExit(), 0u);
    }
}

TEST_F(NoDriverTest, UnknownCommandIdsChangeNothing)
{
    Program app;
    std::string before = app.LogText();
    RECT rcBefore;
    GetWindowRect(app.MainWindow(), &rcBefore);

    for (WORD id : {0, 1, 2, 199, 205, IDC_LOG, IDC_C1, IDS_TITLE, 0xFFFF})
        app.Command(id);
    /* Posted messages are handled in order: once the About box of this
       later command is up, every stray id above has been handled.  The
       command arrives with a notification code in the high word, which the
       program does not look at. */
    app.Command(IDM_ABOUT, 1);
    HWND about = NULL;
    bb::WaitUntil([&] {
        for (HWND w : bb::TopLevelWindows(app.pid()))
            if (w != app.MainWindow())
                about = w;
        return about != NULL;
    }, bb::kTimeout, "the About box");
    EXPECT_EQ(bb::TopLevelWindows(app.pid()).size(), 2u) << "a window besides the About box opened";
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    bb::WaitUntil([&] { return !IsWindow(about); }, bb::kTimeout, "the About box to close");

    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.Responsive());
    EXPECT_EQ(app.LogText(), before);
    RECT rcAfter;
    GetWindowRect(app.MainWindow(), &rcAfter);
    EXPECT_TRUE(EqualRect(&rcBefore, &rcAfter));
    EXPECT_EQ(bb::TopLevelWindows(app.pid()).size(), 1u);

    app.Command(IDM_EXIT);
    EXPECT_EQ(app.WaitForExit(), 0u);
}
