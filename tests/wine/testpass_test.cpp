/* The test pass in the program's own window, without the driver: the real
   message boxes (read and answered by a hook), the string table, the error
   line of a failing request and the look of every line. */
#include "tests/wine/wintest.h"
#include <richedit.h>
#include <deque>
#include <set>
#include <vector>

namespace {

/* Everything seen while a pass runs: "box <text>" for each message box and
   "log <text>" for what the log pane gained since the previous event. */
struct Observer {
    HWND owner = NULL;
    std::deque<int> answers;          /* IDYES once they run out */
    std::vector<std::string> events;
    std::vector<std::string> faults;  /* caption, owner or buttons not as they must be */
    std::set<HWND> seen;
    size_t logSeen = 0;

    void TakeLog()
    {
        std::string text = WindowText(g_hwndLog);
        if (text.size() > logSeen)
            events.push_back("log " + text.substr(logSeen));
        logSeen = text.size();
    }
} *s_observer;

/* Reads each message box once its dialog has set itself up and ends it
   with the scripted answer before it is ever shown. */
LRESULT CALLBACK AnswerBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT *msg = (const CWPRETSTRUCT *)lParam;
    char cls[32] = "";
    if (code == HC_ACTION && s_observer && msg->message == WM_INITDIALOG
        && GetClassNameA(msg->hwnd, cls, sizeof cls) && !lstrcmpA(cls, "#32770")
        && s_observer->seen.insert(msg->hwnd).second) {
        Observer &o = *s_observer;
        HWND hwnd = msg->hwnd;
        o.TakeLog();
        char text[1024] = "", caption[260] = "";
        GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
        GetWindowTextA(hwnd, caption, sizeof caption);
        o.events.push_back(std::string("box ") + text);
        if (lstrcmpA(caption, "ACPI VMT's"))
            o.faults.push_back(std::string("caption ") + caption);
        if (GetWindow(hwnd, GW_OWNER) != o.owner)
            o.faults.push_back(std::string("owner of ") + text);
        if (!GetDlgItem(hwnd, IDYES) || !GetDlgItem(hwnd, IDNO) || GetDlgItem(hwnd, IDOK)
            || GetDlgItem(hwnd, IDCANCEL))
            o.faults.push_back(std::string("buttons of ") + text);
        int answer = IDYES;
        if (!o.answers.empty()) {
            answer = o.answers.front();
            o.answers.pop_front();
        }
        EndDialog(hwnd, answer);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

class PassInWindow : public MainWindowTest {
protected:
    Observer observer;
    HHOOK hook = NULL;
    uint8_t savedTable[SEL_COUNT];
    int firstPassLine = 0;   /* the log's lines before the pass: banner, empty, red */

    void SetUp() override
    {
        MainWindowTest::SetUp();
        memcpy(savedTable, g_TestSelection, sizeof savedTable);
        observer.owner = hwndMain;
        observer.logSeen = WindowText(g_hwndLog).size();
        firstPassLine = (int)SendMessageA(g_hwndLog, EM_GETLINECOUNT, 0, 0) - 1;
        s_observer = &observer;
        hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AnswerBoxes, NULL, GetCurrentThreadId());
        ASSERT_NE(hook, (HHOOK)NULL);
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(hook);
        s_observer = NULL;
        memcpy(g_TestSelection, savedTable, sizeof savedTable);
        MainWindowTest::TearDown();
    }

    void Start()
    {
        SendMessageA(hwndMain, WM_COMMAND, IDM_START, 0);
        observer.TakeLog();
        EXPECT_EQ(observer.faults, std::vector<std::string>());
    }
};

/* The look of each line of the log pane from line first on, read from its
   first character: "normal", "skipped", "error". */
std::vector<std::string> LineLooks(int first)
{
    std::vector<std::string> looks;
    int lines = (int)SendMessageA(g_hwndLog, EM_GETLINECOUNT, 0, 0);
    for (int i = first; i < lines; i++) {
        int start = (int)SendMessageA(g_hwndLog, EM_LINEINDEX, i, 0);
        if (SendMessageA(g_hwndLog, EM_LINELENGTH, start, 0) == 0)
            continue;
        SendMessageA(g_hwndLog, EM_SETSEL, start, start + 1);
        CHARFORMATA cf = {};
        cf.cbSize = sizeof cf;
        SendMessageA(g_hwndLog, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
        bool bold = (cf.dwEffects & CFE_BOLD) != 0;
        if (!bold && (cf.dwEffects & CFE_AUTOCOLOR))
            looks.push_back("normal");
        else if (bold && !(cf.dwEffects & CFE_AUTOCOLOR) && cf.crTextColor == RGB(0, 127, 255))
            looks.push_back("skipped");
        else if (bold && !(cf.dwEffects & CFE_AUTOCOLOR) && cf.crTextColor == RGB(255, 0, 0))
            looks.push_back("error");
        else
            looks.push_back("effects " + std::to_string(cf.dwEffects) + " colour " + std::to_string(cf.crTextColor));
    }
    return looks;
}

std::string Running(const char *name, const char *request)
{
    return std::string("log Running the \"") + name + "\" test.\r\n"
           "The driver request " + request + " failed with system error 6.\r\n";
}

const char kC1Prompt[] = "box The following test is going to place the CPU into the C1 state.\n\nDo you want to run this test?";
const char kC2Prompt[] = "box The following test is going to place the CPU into the C2 state.\n\nDo you want to run this test?";

} // namespace

TEST_F(PassInWindow, OnlyNoSkipsAndUnsupportedEntriesAskNothing)
{
    memset(g_TestSelection, SELECT_SKIP, sizeof g_TestSelection);
    g_TestSelection[SEL_C1] = SELECT_UNSUPPORTED;   /* still asked */
    g_TestSelection[SEL_C2] = 3;                    /* asked, and No */
    g_TestSelection[SEL_C3] = SELECT_UNSUPPORTED;
    g_TestSelection[SEL_FAN] = SELECT_UNSUPPORTED;
    g_TestSelection[SEL_DUTY] = SELECT_RUN;
    observer.answers = {IDCANCEL, IDNO, IDNO};      /* a close that is not No runs C1 */
    Start();

    EXPECT_EQ(observer.events, (std::vector<std::string>{
        kC1Prompt, Running("Placing the CPU into C1", "IOCTL_SET_CPU_STATE"),
        kC2Prompt,
        "log The \"Placing the CPU into C2\" test was skipped...\r\n"
        "The \"Placing the CPU into C3\" test is not supported on this machine.\r\n"
        "The \"Placing the system into the S1 state\" test was skipped...\r\n"
        "The \"Placing the system into the S2 state\" test was skipped...\r\n"
        "The \"Placing the system into the S3 state\" test was skipped...\r\n"
        "The \"Turning the fan ON\" test is not supported on this machine.\r\n"
        "The \"Turning the fan OFF\" test is not supported on this machine.\r\n",
        "box The following tests are going to throttle the CPU back.\n\nDo you want to run these tests?",
        "log The \"Throttle the CPU\" tests were skipped...\r\n",
    }));
    EXPECT_EQ(LineLooks(firstPassLine), (std::vector<std::string>{
        "normal", "error", "skipped", "normal", "skipped", "skipped", "skipped",
        "normal", "normal", "skipped",
    }));
}

TEST_F(PassInWindow, FailedCapabilityQueryMarksNothing)
{
    const uint8_t loaded[SEL_COUNT] = {1, 1, 0, 1, 3, 1, 1, 1, 1, 0};
    memcpy(g_TestSelection, loaded, sizeof loaded);
    QueryCapabilities();
    EXPECT_EQ(memcmp(g_TestSelection, loaded, sizeof loaded), 0);
    observer.TakeLog();
    EXPECT_EQ(observer.events, (std::vector<std::string>{
        "log The driver request IOCTL_GET_CAPABILITIES failed with system error 6.\r\n"}));
}
