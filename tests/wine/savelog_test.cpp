#include "tests/wine/wintest.h"
#include "log/savelog.h"
#include <richedit.h>
#include <vector>

static std::vector<std::string> s_boxes;   /* "caption: text" of each box answered */

/* A thread timer: it keeps firing inside the message box's own loop. */
static VOID CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR, DWORD)
{
    char caption[64] = "", text[512] = "";
    HWND box = GetActiveWindow();
    if (box && GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) {
        GetWindowTextA(box, caption, sizeof caption);
        s_boxes.push_back(std::string(caption) + ": " + text);
        EndDialog(box, IDOK);
    }
}

class SaveLog : public MainWindowTest {};

/* Every write to Z:\dev\full fails with "disk full": the lost data is
   reported once, with the system error, and the operator's cursor is back. */
TEST_F(SaveLog, FailedWriteIsReportedOnceWithItsSystemError)
{
    UINT_PTR timer = SetTimer(NULL, 0, 30, AnswerMessageBox);
    HCURSOR cross = LoadCursorA(NULL, (LPCSTR)IDC_CROSS);
    for (int format : {SF_TEXT, SF_RTF}) {
        s_boxes.clear();
        SetCursor(cross);
        EXPECT_FALSE(WriteLogFile(hwndMain, "Z:\\dev\\full", format)) << format;
        EXPECT_EQ(GetCursor(), cross);
        EXPECT_EQ(s_boxes, std::vector<std::string>{std::string(g_szErrorCaption) +
                                                    ": Error [112] saving Z:\\dev\\full"});
    }
    KillTimer(NULL, timer);
}
