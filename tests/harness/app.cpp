/* The program's process: start, commands, the log's looks, boxes, end. */
#include "tests/harness/harness.h"
#include "res/resource.h"
#include <richedit.h>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace vt {

namespace {

std::mutex s_lock;
std::vector<std::pair<DWORD, std::string>> s_trace;   /* pid, text */

/* Debugger lines of every process, read as a debug monitor does: while
   someone waits on the DBWIN buffer, Wine's OutputDebugStringA hands them
   over there. */
DWORD WINAPI TraceListener(void *)
{
    HANDLE ready = CreateEventA(NULL, FALSE, TRUE, "DBWIN_BUFFER_READY");
    HANDLE data = CreateEventA(NULL, FALSE, FALSE, "DBWIN_DATA_READY");
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    const char *view = map ? (const char *)MapViewOfFile(map, FILE_MAP_READ, 0, 0, 4096) : nullptr;
    while (view && WaitForSingleObject(data, INFINITE) == WAIT_OBJECT_0) {
        std::lock_guard<std::mutex> hold(s_lock);
        s_trace.emplace_back(*(const DWORD *)view, std::string(view + 4, strnlen(view + 4, 4092)));
        SetEvent(ready);
    }
    return 0;
}

/* A line's look from its first character, read into memory of the program
   (the control writes the format there; Wine does not marshal it). */
std::string Look(HWND pane, HANDLE process, void *remote, int line)
{
    LRESULT at = SendMessageA(pane, EM_LINEINDEX, line, 0);
    SendMessageA(pane, EM_SETSEL, at, at + 1);
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    SIZE_T n = 0;
    if (!WriteProcessMemory(process, remote, &cf, sizeof cf, &n) ||
        !SendMessageA(pane, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)remote) ||
        !ReadProcessMemory(process, remote, &cf, sizeof cf, &n))
        throw Error("cannot read the look of log line " + std::to_string(line));
    bool bold = cf.dwEffects & CFE_BOLD, autoColour = cf.dwEffects & CFE_AUTOCOLOR;
    if (!(cf.dwEffects & (CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_PROTECTED)) &&
        strcmp(cf.szFaceName, "Courier New") == 0 && cf.yHeight == 180) {
        if (autoColour)
            return bold ? "h" : "n";
        if (bold && cf.crTextColor == RGB(255, 0, 0))
            return "r";
        if (bold && cf.crTextColor == RGB(0, 127, 255))
            return "b";
    }
    return "? effects " + std::to_string(cf.dwEffects) + " colour " + std::to_string(cf.crTextColor) + " " + cf.szFaceName + " " +
           std::to_string(cf.yHeight);
}

/* A visible top-level window of the process: of that class, or with that
   caption; a message box is a dialog with the static 0xFFFF. */
HWND WindowOf(DWORD pid, const char *cls, const std::string &caption = "")
{
    for (HWND h = GetTopWindow(NULL); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD owner = 0;
        char c[64] = "";
        GetWindowThreadProcessId(h, &owner);
        GetClassNameA(h, c, sizeof c);
        if (owner == pid && IsWindowVisible(h) && (cls ? strcmp(c, cls) == 0 : Text(h) == caption) &&
            (!cls || strcmp(cls, "#32770") != 0 || GetDlgItem(h, 0xFFFF)))
            return h;
    }
    return NULL;
}

}  // namespace

App::App(int show)
{
    static HANDLE listener = CreateThread(NULL, 0, TraceListener, NULL, 0, NULL);
    (void)listener;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = show >= 0 ? STARTF_USESHOWWINDOW : 0;
    si.wShowWindow = (WORD)show;
    PROCESS_INFORMATION pi;
    std::string line = "\"" + g_program + "\"";
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, "C:\\", &si, &pi))
        throw Error("cannot start " + g_program + ": error " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    process = pi.hProcess;
    pid = pi.dwProcessId;
    std::string cls = T(IDS_CLASSNAME);
    WaitFor([&] {
        return (main = WindowOf(pid, cls.c_str())) != NULL || WindowOf(pid, "#32770") || Exited() != STILL_ACTIVE;
    }, "the main window");
    if (!main && Exited() != STILL_ACTIVE)
        throw Error("the program ended with " + std::to_string(Exited()) + " and no window");
    WaitForInputIdle(process, kWait);
    pane = GetDlgItem(main, IDC_LOG);
    remote = VirtualAllocEx(process, NULL, sizeof(CHARFORMATA), MEM_COMMIT, PAGE_READWRITE);
}

App::~App()
{
    if (Exited() == STILL_ACTIVE) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, kWait);
    }
    CloseHandle(process);
}

void App::Menu(WORD id)
{
    PostMessageA(main, WM_COMMAND, id, 0);
    Settle();
}

/* The marker: the pane's event mask, which the program never sets, turned
   to ENM_PROTECTED or back (no log text is protected: it has no effect). */
void App::Settle()
{
    DWORD_PTR now = 0;
    if (!SendMessageTimeoutA(pane, EM_GETEVENTMASK, 0, 0, SMTO_ABORTIFHUNG, kWait, &now))
        throw Error("the program does not answer; it ended with " + std::to_string(Exited()));
    LPARAM mask = (LPARAM)(now ^ ENM_PROTECTED);
    PostMessageA(pane, EM_SETEVENTMASK, 0, mask);
    WaitFor([&] {
        if (Exited() != STILL_ACTIVE)
            throw Error("the program ended with " + std::to_string(Exited()));
        return SendMessageTimeoutA(pane, EM_GETEVENTMASK, 0, 0, SMTO_ABORTIFHUNG, 1000, &now) && (LPARAM)now == mask;
    }, "the program to take its messages");
}

std::vector<std::string> App::Log()
{
    WaitFor([&] { return IsWindowVisible(pane) != FALSE; }, "the log pane to paint again");
    std::vector<std::string> lines = Lines(Text(pane));
    for (size_t i = 0; i < lines.size(); i++)
        if (!lines[i].empty())
            lines[i] = Look(pane, process, remote, (int)i) + " " + lines[i];
    return lines;
}

Box App::NextBox()
{
    Box box;
    WaitFor([&] { return (box.hwnd = WindowOf(pid, "#32770")) != NULL; },
            "a message box");
    box.owner = GetWindow(box.hwnd, GW_OWNER);
    box.caption = Text(box.hwnd);
    box.text = Text(GetDlgItem(box.hwnd, 0xFFFF));
    for (HWND c = GetWindow(box.hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (IsWindowVisible(c) && lstrcmpiA(cls, "Button") == 0)
            box.buttons.push_back(GetDlgCtrlID(c));
    }
    return box;
}

void App::Answer(const Box &box, int button)
{
    PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(box.hwnd, button));
    WaitFor([&] { return !IsWindow(box.hwnd); }, "the box " + box.text + " to close");
    if (main)
        Settle();
}

HWND App::Dialog(const std::string &caption)
{
    HWND found = NULL;
    WaitFor([&] { return (found = WindowOf(pid, nullptr, caption)) != NULL; }, "the dialog " + caption);
    return found;
}

DWORD App::End(bool closeBox)
{
    PostMessageA(main, closeBox ? WM_SYSCOMMAND : WM_COMMAND, closeBox ? SC_CLOSE : IDM_EXIT, 0);
    WaitFor([&] { return Exited() != STILL_ACTIVE; }, "the program to end");
    return Exited();
}

DWORD App::Exited()
{
    DWORD code = 0;
    return GetExitCodeProcess(process, &code) ? code : 0xFFFFFFFF;
}

std::vector<std::string> App::Trace()
{
    std::lock_guard<std::mutex> hold(s_lock);
    std::vector<std::string> mine;
    for (const auto &t : s_trace)
        if (t.first == pid)
            mine.push_back(t.second);
    return mine;
}

}  // namespace vt
