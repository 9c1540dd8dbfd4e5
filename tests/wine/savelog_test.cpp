#include "tests/wine/wintest.h"
#include "log/savelog.h"

class SaveLog : public MainWindowTest {};

/* Every write to Z:\dev\full fails with "disk full": the lost data is
   reported once, with the system error. */
TEST_F(SaveLog, FailedWriteIsReportedOnceWithItsSystemError)
{
    UINT_PTR timer = SetTimer(NULL, 0, 30, AnswerMessageBox);
    for (int format : {1, 2}) {   /* text, RTF */
        g_answeredBoxes.clear();
        EXPECT_FALSE(WriteLogFile(hwndMain, "Z:\\dev\\full", format)) << format;
        EXPECT_EQ(g_answeredBoxes, g_szErrorCaption + std::string(": Error [112] saving Z:\\dev\\full\n"));
    }
    KillTimer(NULL, timer);

    /* The operator's cursor is back after the save (a box would set its own). */
    char tmp[MAX_PATH];
    std::string name = std::string(tmp, GetTempPathA(MAX_PATH, tmp)) + "vmt-savelog.TXT";
    HCURSOR cross = LoadCursorA(NULL, (LPCSTR)IDC_CROSS);
    SetCursor(cross);
    EXPECT_TRUE(WriteLogFile(hwndMain, name.c_str(), 1));
    EXPECT_EQ(GetCursor(), cross);
    DeleteFileA(name.c_str());
}

/* The pane's own procedure while the test counts its stream-outs. */
static WNDPROC s_paneProc;
static int s_streamOuts;

static LRESULT CALLBACK CountStreamOuts(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == EM_STREAMOUT)
        s_streamOuts++;
    return CallWindowProcA(s_paneProc, hwnd, msg, wParam, lParam);
}

/* A file in a folder that does not exist cannot be created: one box with the
   system error, and the pane is not streamed out. */
TEST_F(SaveLog, FileThatCannotBeCreatedIsReportedOnceAndThePaneIsNotStreamed)
{
    s_paneProc = (WNDPROC)SetWindowLongPtrA(g_hwndLog, GWLP_WNDPROC, (LONG_PTR)CountStreamOuts);
    UINT_PTR timer = SetTimer(NULL, 0, 30, AnswerMessageBox);
    for (int format : {1, 2}) {   /* text, RTF */
        g_answeredBoxes.clear();
        s_streamOuts = 0;
        EXPECT_FALSE(WriteLogFile(hwndMain, "Z:\\vmt-no-such-folder\\log.TXT", format)) << format;
        EXPECT_EQ(g_answeredBoxes, g_szErrorCaption + std::string(": Error [3] saving Z:\\vmt-no-such-folder\\log.TXT\n"));
        EXPECT_EQ(s_streamOuts, 0) << format;
    }
    KillTimer(NULL, timer);
    SetWindowLongPtrA(g_hwndLog, GWLP_WNDPROC, (LONG_PTR)s_paneProc);
}
