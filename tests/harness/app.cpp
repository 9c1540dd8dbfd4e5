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

/* Debugger lines of every process, as a debug monitor reads them: Wine's
   OutputDebugStringA hands each to the DBWIN buffer while someone waits. */
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

void Dump(HWND pane, HANDLE process, void *remote, int line, CHARFORMATA *cf)
{
    LRESULT start = SendMessageA(pane, EM_LINEINDEX, line, 0);
    SendMessageA(pane, EM_SETSEL, start, start + 1);
    CHARFORMATA in = {};
    in.cbSize = sizeof in;
    SIZE_T n = 0;
    if (!WriteProcessMemory(process, remote, &in, sizeof in, &n)
        || !SendMessageA(pane, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)remote)
        || !ReadProcessMemory(process, remote, cf, sizeof *cf, &n))
        throw Error("cannot read the look of log line " + std::to_string(line));
}

/* The look of a line from its first character's format. */
std::string Look(const CHARFORMATA &cf)
{
    const DWORD kOther = CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT | CFE_PROTECTED;
    bool bold = cf.dwEffects & CFE_BOLD, automatic = cf.dwEffects & CFE_AUTOCOLOR;
    if (!(cf.dwEffects & kOther) && strcmp(cf.szFaceName, "Courier New") == 0 && cf.yHeight == 180) {
        if (automatic)
            return bold ? "h" : "n";
        if (bold && cf.crTextColor == RGB(255, 0, 0))
            return "r";
        if (bold && cf.crTextColor == RGB(0, 127, 255))
            return "b";
    }
    char other[96];
    snprintf(other, sizeof other, "? effects %08lX colour %06lX %s %ld", cf.dwEffects,
             cf.crTextColor, cf.szFaceName, cf.yHeight);
    return other;
}

struct Find { DWORD pid; std::string cls; HWND found; };

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM lParam)
{
    Find *f = (Find *)lParam;
    DWORD pid = 0;
    char cls[64] = "";
    GetWindowThreadProcessId(hwnd, &pid);
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == f->pid && IsWindowVisible(hwnd) && f->cls == cls
        && (f->cls != "#32770" || GetDlgItem(hwnd, 0xFFFF))) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid, const std::string &cls)
{
    Find f = {pid, cls, NULL};
    EnumWindows(FindWindowOf, (LPARAM)&f);
    return f.found;
}

}  // namespace

App::App(int show)
{
    static HANDLE listener = CreateThread(NULL, 0, TraceListener, NULL, 0, NULL);
    (void)listener;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (show >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = (WORD)show;
    }
    PROCESS_INFORMATION pi;
    std::string line = "\"" + g_program + "\"";
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, "C:\\", &si, &pi))
        throw Error("cannot start " + g_program + ": error " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid = pi.dwProcessId;
    std::string cls = T(IDS_CLASSNAME);
    WaitFor([&] { return (main = WindowOf(pid, cls)) != NULL || Exited() != STILL_ACTIVE; },
            "the main window");
    if (!main)
        throw Error("the program ended with " + std::to_string(Exited()) + " and no window");
    WaitForInputIdle(process_, kWait);
    pane = GetDlgItem(main, IDC_LOG);
    remote_ = VirtualAllocEx(process_, NULL, sizeof(CHARFORMATA), MEM_COMMIT, PAGE_READWRITE);
}

App::~App()
{
    if (Exited() == STILL_ACTIVE) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, kWait);
    }
    CloseHandle(process_);
}

void App::Menu(WORD id)
{
    PostMessageA(main, WM_COMMAND, id, 0);
    Settle();
}

/* The marker: the pane's event mask, which the program never sets, turned
   to ENM_PROTECTED and back (no log text is protected: it has no effect). */
void App::Settle()
{
    static LPARAM mask;
    mask ^= ENM_PROTECTED;
    PostMessageA(pane, EM_SETEVENTMASK, 0, mask);
    WaitFor([&] {
        DWORD_PTR got = 0;
        if (Exited() != STILL_ACTIVE)
            throw Error("the program ended with " + std::to_string(Exited()));
        return SendMessageTimeoutA(pane, EM_GETEVENTMASK, 0, 0, SMTO_ABORTIFHUNG, 1000, &got)
               && (LPARAM)got == mask;
    }, "the program to take its messages");
}

std::vector<std::string> App::Log()
{
    WaitFor([&] { return IsWindowVisible(pane) != FALSE; }, "the log pane to paint again");
    std::vector<std::string> lines = Lines(Text(pane));
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].empty())
            continue;
        CHARFORMATA cf;
        Dump(pane, process_, remote_, (int)i, &cf);
        lines[i] = Look(cf) + " " + lines[i];
    }
    return lines;
}

Box App::NextBox()
{
    Box box;
    try {
        WaitFor([&] { return (box.hwnd = WindowOf(pid, "#32770")) != NULL; }, "a message box");
    } catch (const Error &e) {
        std::string up;
        for (HWND h = GetTopWindow(NULL); h; h = GetWindow(h, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            char cls[64] = "";
            GetClassNameA(h, cls, sizeof cls);
            if (owner == pid && IsWindowVisible(h))
                up += std::string(" [") + cls + " " + Text(h) + "]";
        }
        throw Error(e.what() + std::string("; up:") + up);
    }
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
    Settle();
}

HWND App::Dialog(const std::string &caption)
{
    HWND found = NULL;
    WaitFor([&] {
        for (HWND h = GetTopWindow(NULL); h && !found; h = GetWindow(h, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            if (owner == pid && IsWindowVisible(h) && Text(h) == caption)
                found = h;
        }
        return found != NULL;
    }, "the dialog " + caption);
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
    return GetExitCodeProcess(process_, &code) ? code : 0xFFFFFFFF;
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
