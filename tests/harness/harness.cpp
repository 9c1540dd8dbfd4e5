/* Operator harness: see harness.h and docs/harness.md. */
#include "tests/harness/harness.h"
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <prsht.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace bb {

namespace {

const DWORD kPollMs = 10;
const DWORD kSendMs = 5000;   /* bound of one sent message */
const int kMessageBoxTextId = 0xFFFF;

std::string s_programPath;

std::string Format(const char *fmt, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

std::string Hwnd(HWND hwnd)
{
    return Format("%p", (void *)hwnd);
}

/* SendMessageTimeout that throws when the window does not answer. */
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const char *what)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kSendMs, &result))
        throw HarnessError(Format("%s: window %s did not answer message 0x%X within %lu ms "
                                  "(error %lu)", what, Hwnd(hwnd).c_str(), msg,
                                  (unsigned long)kSendMs, GetLastError()));
    return (LRESULT)result;
}

void Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const char *what)
{
    if (!PostMessageA(hwnd, msg, wParam, lParam))
        throw HarnessError(Format("%s: PostMessage 0x%X to %s failed (error %lu)", what, msg,
                                  Hwnd(hwnd).c_str(), GetLastError()));
}

std::string Quoted(const std::string &s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "\"";
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                i++;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string ReadWholeFile(const std::string &path, bool *exists)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (exists)
        *exists = h != INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE)
        return "";
    std::string data;
    char buf[4096];
    DWORD got;
    while (ReadFile(h, buf, sizeof buf, &got, NULL) && got)
        data.append(buf, got);
    CloseHandle(h);
    return data;
}

void WriteWholeFile(const std::string &path, const std::string &contents)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        throw HarnessError(Format("cannot write %s (error %lu)", path.c_str(), GetLastError()));
    DWORD put = 0;
    BOOL ok = contents.empty() ||
              WriteFile(h, contents.data(), (DWORD)contents.size(), &put, NULL);
    CloseHandle(h);
    if (!ok || put != contents.size())
        throw HarnessError(Format("short write to %s", path.c_str()));
}

bool IsDialog(HWND hwnd)
{
    return ClassName(hwnd) == "#32770";
}

}  // namespace

/* ---- program location ---------------------------------------------------- */

void SetProgramPath(const std::string &path)
{
    s_programPath = path;
}

std::string ProgramPath()
{
    std::string path = s_programPath;
    if (path.empty()) {
        char env[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("VMT_PROGRAM", env, sizeof env);
        if (n > 0 && n < sizeof env)
            path = env;
    }
    if (path.empty()) {
        char self[MAX_PATH];
        DWORD n = GetModuleFileNameA(NULL, self, sizeof self);
        if (n == 0 || n >= sizeof self)
            throw HarnessError("cannot find the test program's own path");
        path = self;
        path = path.substr(0, path.find_last_of("\\/") + 1) + "VERUVEZ.EXE";
    }
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
        for (char &c : path)
            if (c == '/') c = '\\';
    }
    return path;
}

/* ---- windows of any process ---------------------------------------------- */

std::string ClassName(HWND hwnd)
{
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string WindowText(HWND hwnd)
{
    LRESULT len = Send(hwnd, WM_GETTEXTLENGTH, 0, 0, "reading a window's text");
    /* Room for line ends that a RichEdit may widen to \r\n. */
    std::vector<char> buf((size_t)len * 2 + 2, '\0');
    LRESULT got = Send(hwnd, WM_GETTEXT, buf.size(), (LPARAM)buf.data(), "reading a window's text");
    if (got < 0 || (size_t)got >= buf.size())
        got = (LRESULT)strnlen(buf.data(), buf.size() - 1);
    return std::string(buf.data(), (size_t)got);
}

namespace {
struct EnumArgs {
    DWORD pid;
    const char *className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam)
{
    EnumArgs *args = (EnumArgs *)lParam;
    if (args->className) {
        if (ClassName(hwnd) == args->className)
            args->found.push_back(hwnd);
        return TRUE;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == args->pid && IsWindowVisible(hwnd))
        args->found.push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid)
{
    EnumArgs args{pid, nullptr, {}};
    EnumWindows(CollectWindow, (LPARAM)&args);
    return args.found;
}

std::vector<HWND> WindowsOfClass(const char *className)
{
    EnumArgs args{0, className, {}};
    EnumWindows(CollectWindow, (LPARAM)&args);
    return args.found;
}

RECT RectInParent(HWND child)
{
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(NULL, GetParent(child), (POINT *)&rc, 2);
    return rc;
}

void WaitUntil(const std::function<bool()> &pred, DWORD timeoutMs, const std::string &what)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (pred())
            return;
        if (GetTickCount() - start >= timeoutMs)
            throw HarnessError(Format("timed out after %lu ms waiting for ", (unsigned long)timeoutMs) + what);
        Sleep(kPollMs);
    }
}

/* ---- controls ------------------------------------------------------------ */

HWND Control(HWND parent, int id)
{
    HWND hwnd = GetDlgItem(parent, id);
    if (!hwnd)
        throw HarnessError(Format("no control with id %d in window %s (class %s, text %s)", id,
                                  Hwnd(parent).c_str(), ClassName(parent).c_str(),
                                  Quoted(WindowText(parent)).c_str()));
    return hwnd;
}

bool IsEnabled(HWND control)
{
    return IsWindowEnabled(control) != FALSE;
}

bool IsChecked(HWND control)
{
    return Send(control, BM_GETCHECK, 0, 0, "reading a check box") == BST_CHECKED;
}

namespace {
void CheckClickable(HWND control)
{
    if (!IsWindowVisible(control) || !IsWindowEnabled(control))
        throw HarnessError(Format("cannot click control %d (%s): it is %s",
                                  GetDlgCtrlID(control), Quoted(WindowText(control)).c_str(),
                                  IsWindowVisible(control) ? "disabled" : "hidden"));
}
}  // namespace

void Click(HWND control)
{
    CheckClickable(control);
    Send(control, BM_CLICK, 0, 0, "clicking a button");
}

void PostClick(HWND control)
{
    CheckClickable(control);
    Post(control, BM_CLICK, 0, 0, "clicking a button");
}

void SetText(HWND edit, const std::string &text)
{
    Send(edit, WM_SETTEXT, 0, (LPARAM)text.c_str(), "setting a field's text");
}

void TypeText(HWND edit, const std::string &text)
{
    Send(edit, EM_SETSEL, 0, -1, "selecting a field's text");
    for (unsigned char c : text)
        Send(edit, WM_CHAR, c, 1, "typing into a field");
}

/* ---- property sheet ------------------------------------------------------ */

HWND PropertySheet::CurrentPage() const
{
    return (HWND)Send(hwnd_, PSM_GETCURRENTPAGEHWND, 0, 0, "asking the sheet for its page");
}

int PropertySheet::CurrentIndex() const
{
    HWND tab = (HWND)Send(hwnd_, PSM_GETTABCONTROL, 0, 0, "asking the sheet for its tabs");
    return (int)Send(tab, TCM_GETCURSEL, 0, 0, "reading the selected tab");
}

void PropertySheet::SelectPage(int index)
{
    Send(hwnd_, PSM_SETCURSEL, (WPARAM)index, 0, "switching the sheet's page");
    WaitUntil([&] { return CurrentIndex() == index && CurrentPage() != NULL; }, kTimeout,
              Format("page %d of the property sheet to become current (it is page %d)", index,
                     CurrentIndex()));
}

HWND PropertySheet::Control(int id) const
{
    HWND page = CurrentPage();
    if (!page)
        throw HarnessError("the property sheet has no current page");
    return bb::Control(page, id);
}

namespace {
void PressAndWaitGone(HWND hwnd, int id, const char *what)
{
    Post(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(hwnd, id), what);
    WaitUntil([&] { return !IsWindow(hwnd); }, kTimeout,
              std::string(what) + ": the window to close");
}
}  // namespace

void PropertySheet::Ok()
{
    PressAndWaitGone(hwnd_, IDOK, "pressing OK on the property sheet");
}

void PropertySheet::Cancel()
{
    PressAndWaitGone(hwnd_, IDCANCEL, "pressing Cancel on the property sheet");
}

/* ---- Save As dialog ------------------------------------------------------ */

namespace {
/* The first Edit among the descendants of a window. */
HWND FindEdit(HWND parent)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassName(child).c_str(), "Edit") == 0)
            return child;
        if (HWND edit = FindEdit(child))
            return edit;
    }
    return NULL;
}

/* The file name field: an edit (edt1), or the edit inside the combo box
   (cmb13, under Wine a ComboBoxEx holding a ComboBox holding the Edit). */
HWND FileNameField(HWND dialog)
{
    HWND edit = GetDlgItem(dialog, edt1);
    if (!edit) {
        HWND combo = GetDlgItem(dialog, cmb13);
        if (combo)
            edit = FindEdit(combo);
    }
    if (!edit)
        throw HarnessError("the Save As dialog has no file name field (edt1 or cmb13)");
    return edit;
}
}  // namespace

void SaveAsDialog::SetFileName(const std::string &name)
{
    bb::SetText(FileNameField(hwnd_), name);
}

void SaveAsDialog::ChooseFilter(int index)
{
    HWND combo = bb::Control(hwnd_, cmb1);
    if (Send(combo, CB_SETCURSEL, (WPARAM)(index - 1), 0, "choosing the file type") == CB_ERR)
        throw HarnessError(Format("the Save As dialog has no file type %d", index));
    /* CB_SETCURSEL does not notify: tell the dialog as a choice by hand
       would (Wine's dialog takes the new index on CBN_SELENDOK). */
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        Send(hwnd_, WM_COMMAND, MAKEWPARAM(cmb1, code), (LPARAM)combo, "choosing the file type");
}

void SaveAsDialog::PostSave()
{
    Post(hwnd_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(hwnd_, IDOK),
         "pressing Save");
}

void SaveAsDialog::Save()
{
    PostSave();
    WaitClosed();
}

void SaveAsDialog::Cancel()
{
    PressAndWaitGone(hwnd_, IDCANCEL, "pressing Cancel in the Save As dialog");
}

void SaveAsDialog::WaitClosed(DWORD timeoutMs)
{
    HWND hwnd = hwnd_;
    WaitUntil([&] { return !IsWindow(hwnd); }, timeoutMs,
              "the Save As dialog to close");
}

/* ---- the program --------------------------------------------------------- */

struct Program::DebugState {
    std::string commandLine;
    STARTUPINFOA si;
    HANDLE started = NULL;          /* set once CreateProcess has returned */
    PROCESS_INFORMATION pi = {};
    DWORD createError = 0;
    CRITICAL_SECTION lock;
    std::vector<std::string> output;
    std::string crash;
};

DWORD WINAPI Program::DebugLoop(void *arg)
{
    DebugState *st = (DebugState *)arg;
    /* Debug events go to the thread that created the process. */
    if (!CreateProcessA(NULL, &st->commandLine[0], NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        NULL, NULL, &st->si, &st->pi)) {
        st->createError = GetLastError();
        SetEvent(st->started);
        return 0;
    }
    HANDLE hProcess = st->pi.hProcess;
    SetEvent(st->started);

    bool initialBreak = true;
    for (;;) {
        DEBUG_EVENT ev;
        if (!WaitForDebugEvent(&ev, INFINITE))
            break;
        DWORD status = DBG_CONTINUE;
        switch (ev.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (ev.u.CreateProcessInfo.hFile)
                CloseHandle(ev.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (ev.u.LoadDll.hFile)
                CloseHandle(ev.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO &info = ev.u.DebugString;
            size_t units = info.nDebugStringLength;
            size_t bytes = units * (info.fUnicode ? 2 : 1);
            std::vector<char> buf(bytes + 2, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(hProcess, info.lpDebugStringData, buf.data(), bytes, &got);
            std::string text;
            if (info.fUnicode) {
                int n = WideCharToMultiByte(CP_ACP, 0, (const wchar_t *)buf.data(), -1, NULL, 0, NULL, NULL);
                text.resize(n > 0 ? n : 0);
                if (n > 0)
                    WideCharToMultiByte(CP_ACP, 0, (const wchar_t *)buf.data(), -1, &text[0], n, NULL, NULL);
            } else {
                text.assign(buf.data(), got);
            }
            text.resize(strnlen(text.c_str(), text.size()));   /* drop the terminator */
            EnterCriticalSection(&st->lock);
            st->output.push_back(text);
            LeaveCriticalSection(&st->lock);
            break;
        }
        case EXCEPTION_DEBUG_EVENT: {
            const EXCEPTION_RECORD &rec = ev.u.Exception.ExceptionRecord;
            if (initialBreak && rec.ExceptionCode == EXCEPTION_BREAKPOINT) {
                initialBreak = false;
                break;
            }
            status = DBG_EXCEPTION_NOT_HANDLED;   /* the program's own handlers first */
            if (!ev.u.Exception.dwFirstChance) {
                EnterCriticalSection(&st->lock);
                st->crash = Format("exception 0x%08lX at %p", rec.ExceptionCode,
                                   rec.ExceptionAddress);
                LeaveCriticalSection(&st->lock);
            }
            break;
        }
        default:
            break;
        }
        ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, status);
        if (ev.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
            break;
    }
    return 0;
}

Program::Program(const StartOptions &options) : options_(options)
{
    try {
        Start();
        if (options_.waitForWindow)
            WaitForMainWindow();
    } catch (...) {
        Cleanup();   /* no destructor runs for a constructor that throws */
        throw;
    }
}

void Program::Start()
{
    std::string path = options_.program.empty() ? ProgramPath() : options_.program;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw HarnessError("program not found: " + path +
                           " (pass --program=PATH or set VMT_PROGRAM)");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (options_.showCommand >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = (WORD)options_.showCommand;
    }
    std::string commandLine = "\"" + path + "\"";

    PROCESS_INFORMATION pi = {};
    if (options_.captureDebugOutput) {
        debug_ = new DebugState;
        debug_->commandLine = commandLine;
        debug_->si = si;
        debug_->started = CreateEventA(NULL, TRUE, FALSE, NULL);
        InitializeCriticalSection(&debug_->lock);
        hThread_ = CreateThread(NULL, 0, DebugLoop, debug_, 0, NULL);
        if (!hThread_ || WaitForSingleObject(debug_->started, kTimeout) != WAIT_OBJECT_0)
            throw HarnessError("the debugger thread did not start " + path);
        if (debug_->createError)
            throw HarnessError(Format("cannot start %s under the debugger (error %lu)",
                                      path.c_str(), debug_->createError));
        pi = debug_->pi;
    } else if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        throw HarnessError(Format("cannot start %s (error %lu)", path.c_str(), GetLastError()));
    }
    CloseHandle(pi.hThread);
    hProcess_ = pi.hProcess;
    pid_ = pi.dwProcessId;
}

Program::~Program()
{
    Cleanup();
}

void Program::Cleanup()
{
    HANDLE h = hProcess_ ? hProcess_ : debug_ ? debug_->pi.hProcess : NULL;
    if (h && WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
        TerminateProcess(h, 1);
        WaitForSingleObject(h, kTimeout);
    }
    if (hThread_) {
        WaitForSingleObject(hThread_, kTimeout);   /* the loop ends with the process */
        CloseHandle(hThread_);
    }
    if (debug_) {
        /* The loop thread owns the process handle of a debugged run. */
        if (debug_->pi.hProcess == hProcess_)
            hProcess_ = NULL;
        if (debug_->pi.hProcess)
            CloseHandle(debug_->pi.hProcess);
        CloseHandle(debug_->started);
        DeleteCriticalSection(&debug_->lock);
        delete debug_;
        debug_ = nullptr;
    }
    if (hProcess_)
        CloseHandle(hProcess_);
    hProcess_ = NULL;
    hThread_ = NULL;
}

bool Program::Running() const
{
    return WaitForSingleObject(hProcess_, 0) == WAIT_TIMEOUT;
}

std::string Program::Describe() const
{
    DWORD code = 0;
    GetExitCodeProcess(hProcess_, &code);
    std::string s = Format("VERUVEZ.EXE (pid %lu) %s", (unsigned long)pid_,
                           Running() ? "is running" : Format("ended with code %lu", code).c_str());
    std::string crash = Crash();
    if (!crash.empty())
        s += " after " + crash;
    return s;
}

HWND Program::WaitForMainWindow(DWORD timeoutMs)
{
    HWND found = NULL;
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindows(pid_))
            if (ClassName(hwnd) == options_.windowClass) {
                found = hwnd;
                return true;
            }
        if (!Running())
            throw HarnessError("no main window: " + Describe());
        return false;
    }, timeoutMs, "the main window of class " + options_.windowClass + "; " + Describe());
    hwndMain_ = found;
    WaitForInputIdle(hProcess_, timeoutMs);
    return found;
}

HWND Program::LogPane() const
{
    if (!hwndMain_)
        throw HarnessError("the main window is not known yet (WaitForMainWindow)");
    return Control(hwndMain_, 0x802);
}

bool Program::Responsive(DWORD timeoutMs) const
{
    DWORD_PTR result;
    return hwndMain_ && SendMessageTimeoutA(hwndMain_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                            timeoutMs, &result) != 0;
}

void Program::Command(WORD id, WORD code) const
{
    if (!hwndMain_)
        throw HarnessError("no main window to send a command to");
    Post(hwndMain_, WM_COMMAND, MAKEWPARAM(id, code), 0, "sending a menu command");
}

std::string Program::LogText() const
{
    return WindowText(LogPane());
}

std::vector<std::string> Program::LogLines() const
{
    return SplitLines(LogText());
}

std::string Program::WaitForLogText(const std::string &part, DWORD timeoutMs) const
{
    std::string text;
    try {
        WaitUntil([&] { text = LogText(); return text.find(part) != std::string::npos; },
                  timeoutMs, "the log to contain " + Quoted(part));
    } catch (const HarnessError &e) {
        throw HarnessError(std::string(e.what()) + "; the log holds " + Quoted(text));
    }
    return text;
}

std::vector<std::string> Program::WaitForLogLines(size_t n, DWORD timeoutMs) const
{
    std::vector<std::string> lines;
    try {
        WaitUntil([&] { lines = LogLines(); return lines.size() >= n; }, timeoutMs,
                  Format("%u log lines", (unsigned)n));
    } catch (const HarnessError &e) {
        throw HarnessError(std::string(e.what()) + "; the log holds " + Quoted(LogText()));
    }
    return lines;
}

MessageBoxInfo Program::FindMessageBox() const
{
    MessageBoxInfo box;
    for (HWND hwnd : TopLevelWindows(pid_)) {
        if (!IsDialog(hwnd))
            continue;
        HWND text = GetDlgItem(hwnd, kMessageBoxTextId);
        if (!text)
            continue;
        box.hwnd = hwnd;
        box.caption = WindowText(hwnd);
        box.text = WindowText(text);
        for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (IsWindowVisible(c) && lstrcmpiA(ClassName(c).c_str(), "Button") == 0)
                box.buttons.push_back(GetDlgCtrlID(c));
        break;
    }
    return box;
}

MessageBoxInfo Program::WaitForMessageBox(DWORD timeoutMs) const
{
    MessageBoxInfo box;
    WaitUntil([&] {
        box = FindMessageBox();
        if (!box.hwnd && !Running())
            throw HarnessError("no message box: " + Describe());
        return box.hwnd != NULL;
    }, timeoutMs, "a message box; " + Describe());
    return box;
}

void Program::Answer(const MessageBoxInfo &box, int button, DWORD timeoutMs) const
{
    HWND hwnd = box.hwnd;
    HWND btn = GetDlgItem(hwnd, button);
    if (!btn || !IsWindowVisible(btn))
        throw HarnessError(Format("the message box %s %s has no button %d",
                                  Quoted(box.caption).c_str(), Quoted(box.text).c_str(), button));
    Post(hwnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)btn, "answering a message box");
    WaitUntil([&] { return !IsWindow(hwnd); }, timeoutMs,
              "the message box " + Quoted(box.text) + " to close");
}

HWND Program::WaitForDialog(const std::string &caption, DWORD timeoutMs) const
{
    HWND found = NULL;
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindows(pid_))
            if (IsDialog(hwnd) && WindowText(hwnd) == caption) {
                found = hwnd;
                return true;
            }
        if (!Running())
            throw HarnessError("no dialog " + Quoted(caption) + ": " + Describe());
        return false;
    }, timeoutMs, "the dialog " + Quoted(caption) + "; " + Describe());
    return found;
}

PropertySheet Program::WaitForPropertySheet(const std::string &caption, DWORD timeoutMs) const
{
    PropertySheet sheet(WaitForDialog(caption, timeoutMs));
    WaitUntil([&] { return sheet.CurrentPage() != NULL; }, timeoutMs,
              "the property sheet's first page");
    return sheet;
}

SaveAsDialog Program::WaitForSaveAs(const std::string &caption, DWORD timeoutMs) const
{
    return SaveAsDialog(WaitForDialog(caption, timeoutMs));
}

DWORD Program::WaitForExit(DWORD timeoutMs) const
{
    if (WaitForSingleObject(hProcess_, timeoutMs) != WAIT_OBJECT_0)
        throw HarnessError(Format("the program did not end within %lu ms; ",
                                  (unsigned long)timeoutMs) + Describe());
    DWORD code = 0;
    GetExitCodeProcess(hProcess_, &code);
    return code;
}

void Program::Kill()
{
    if (Running()) {
        TerminateProcess(hProcess_, 1);
        WaitForSingleObject(hProcess_, kTimeout);
    }
}

std::vector<std::string> Program::DebugOutput() const
{
    if (!debug_)
        throw HarnessError("debugger output was not captured (StartOptions.captureDebugOutput)");
    EnterCriticalSection(&debug_->lock);
    std::vector<std::string> out = debug_->output;
    LeaveCriticalSection(&debug_->lock);
    return out;
}

std::string Program::Crash() const
{
    if (!debug_)
        return "";
    EnterCriticalSection(&debug_->lock);
    std::string crash = debug_->crash;
    LeaveCriticalSection(&debug_->lock);
    return crash;
}

/* ---- settings file ------------------------------------------------------- */

std::string SettingsPath()
{
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir)
        throw HarnessError("GetWindowsDirectory failed");
    return std::string(dir) + "\\VERUVEZ.INI";
}

std::string ReadSettingsFile()
{
    return ReadWholeFile(SettingsPath(), nullptr);
}

void WriteSettingsFile(const std::string &contents)
{
    WriteWholeFile(SettingsPath(), contents);
}

void DeleteSettingsFile()
{
    std::string path = SettingsPath();
    if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        throw HarnessError(Format("cannot delete %s (error %lu)", path.c_str(), GetLastError()));
}

long SettingsValue(const std::string &key, long missing)
{
    bool inSection = false;
    for (std::string line : SplitLines(ReadSettingsFile())) {
        size_t b = line.find_first_not_of(" \t");
        line = b == std::string::npos ? "" : line.substr(b);
        if (!line.empty() && line[0] == '[') {
            inSection = lstrcmpiA(line.substr(0, line.find(']') + 1).c_str(), "[ACPI VMT's]") == 0;
            continue;
        }
        size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos)
            continue;
        std::string name = line.substr(0, eq);
        name.erase(name.find_last_not_of(" \t") + 1);
        if (lstrcmpiA(name.c_str(), key.c_str()) == 0)
            return strtol(line.c_str() + eq + 1, nullptr, 10);
    }
    return missing;
}

/* ---- stand-in driver ----------------------------------------------------- */

const char kJournalPath[] = "C:\\acpisim-journal.txt";
static const char kParametersKey[] = "System\\CurrentControlSet\\Services\\AcpiSim\\Parameters";

std::vector<std::string> ReadJournal()
{
    return SplitLines(ReadWholeFile(kJournalPath, nullptr));
}

void ClearJournal()
{
    if (GetFileAttributesA(kJournalPath) != INVALID_FILE_ATTRIBUTES)
        WriteWholeFile(kJournalPath, "");
}

std::vector<std::string> WaitForJournalLines(size_t n, DWORD timeoutMs)
{
    std::vector<std::string> lines;
    try {
        WaitUntil([&] { lines = ReadJournal(); return lines.size() >= n; }, timeoutMs,
                  Format("%u journal lines in %s", (unsigned)n, kJournalPath));
    } catch (const HarnessError &e) {
        std::string all;
        for (const std::string &l : lines)
            all += "\n  " + l;
        throw HarnessError(std::string(e.what()) + "; the journal holds:" + all);
    }
    return lines;
}

namespace {
HKEY OpenParameters()
{
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kParametersKey, 0, NULL, 0, KEY_SET_VALUE,
                              NULL, &key, NULL);
    if (rc != ERROR_SUCCESS)
        throw HarnessError(Format("cannot open HKLM\\%s (error %ld)", kParametersKey, rc));
    return key;
}

void SetValue(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key = OpenParameters();
    LONG rc = RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        throw HarnessError(Format("cannot set driver parameter %s (error %ld)", name, rc));
}
}  // namespace

void SetDriverParameter(const char *name, DWORD value)
{
    SetValue(name, REG_DWORD, &value, sizeof value);
}

void SetDriverParameter(const char *name, const std::string &value)
{
    SetValue(name, REG_SZ, value.c_str(), (DWORD)value.size() + 1);
}

void DeleteDriverParameter(const char *name)
{
    HKEY key = OpenParameters();
    LONG rc = RegDeleteValueA(key, name);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        throw HarnessError(Format("cannot delete driver parameter %s (error %ld)", name, rc));
}

void SaveScreenshot(HWND hwnd, const std::string &name)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    std::string dir = ProgramPath();                       /* Z:\...\bin\VERUVEZ.EXE */
    dir = dir.substr(0, dir.rfind("\\bin\\")) + "\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    std::string dos = dir + "\\" + name, unix = dos.substr(2);
    std::replace(unix.begin(), unix.end(), '\\', '/');
    DeleteFileA(dos.c_str());
    char cmd[1024];
    snprintf(cmd, sizeof cmd,
             "/bin/sh -c \"import -window root -crop %ldx%ld+%ld+%ld 'png:%s.tmp' && mv '%s.tmp' '%s'\"",
             rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top, unix.c_str(), unix.c_str(), unix.c_str());
    if (WinExec(cmd, SW_HIDE) <= 31)
        throw HarnessError("could not start: " + std::string(cmd));
    WaitUntil([&] { return GetFileAttributesA(dos.c_str()) != INVALID_FILE_ATTRIBUTES; }, kTimeout, dos);
}

}  // namespace bb
