/* The program's process: see program.h. */
#include "tests/harness/program.h"
#include "res/resource.h"
#include "res/texts.h"
#include <psapi.h>
#include <winternl.h>
#include <richedit.h>
#include <algorithm>
#include <cstring>

namespace bb {

namespace {

std::string s_programPath;

/* The system handle list (NtQuerySystemInformation class 16). */
struct HandleEntry {
    USHORT pid;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT handle;
    PVOID object;
    ULONG grantedAccess;
};
struct HandleList {
    ULONG count;
    HandleEntry entries[1];
};
const ULONG kSystemHandleInformation = 16;
const LONG kInfoLengthMismatch = (LONG)0xC0000004;

typedef LONG (WINAPI *QueryObject)(HANDLE, ULONG, PVOID, ULONG, PULONG);
const ULONG kObjectNameInformation = 1, kObjectTypeInformation = 2;

/* The type or name of an object, as NtQueryObject gives it; "" when it
   cannot be read. */
std::string ObjectText(HANDLE h, ULONG infoClass)
{
    static QueryObject query = (QueryObject)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                                   "NtQueryObject");
    std::vector<char> buf(4096);
    ULONG got = 0;
    if (!query || query(h, infoClass, buf.data(), (ULONG)buf.size(), &got) < 0)
        return "";
    const UNICODE_STRING *u = (const UNICODE_STRING *)buf.data();   /* first member of both */
    if (!u->Buffer || !u->Length)
        return "";
    char text[1024] = "";
    WideCharToMultiByte(CP_ACP, 0, u->Buffer, u->Length / 2, text, sizeof text - 1, NULL, NULL);
    return text;
}

/* Counts the process's handles, and among them Wine's leaked dialog keys. */
void KernelHandles(DWORD pid, HANDLE process, ResourceFigures *f)
{
    typedef LONG (WINAPI *Query)(ULONG, PVOID, ULONG, PULONG);
    static Query query = (Query)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                       "NtQuerySystemInformation");
    if (!query)
        throw HarnessError("no NtQuerySystemInformation");
    std::vector<char> buf(1 << 16);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buf.data(), (ULONG)buf.size(), &needed))
           == kInfoLengthMismatch)
        buf.resize(std::max<size_t>(buf.size() * 2, needed + 4096));
    if (status < 0)
        throw HarnessError(Format("NtQuerySystemInformation(16) failed: 0x%08lX", (unsigned long)status));
    const HandleList *list = (const HandleList *)buf.data();
    static const std::string kLeakedKey = "\\ComDlg32\\LastVisitedMRU";
    for (ULONG i = 0; i < list->count; i++) {
        const HandleEntry &e = list->entries[i];
        if (e.pid != (USHORT)pid)
            continue;
        f->handles++;
        HANDLE dup = NULL;
        if (!DuplicateHandle(process, (HANDLE)(ULONG_PTR)e.handle, GetCurrentProcess(), &dup, 0, FALSE,
                             DUPLICATE_SAME_ACCESS))
            continue;
        if (ObjectText(dup, kObjectTypeInformation) == "Key") {
            std::string name = ObjectText(dup, kObjectNameInformation);
            if (name.size() >= kLeakedKey.size()
                && name.compare(name.size() - kLeakedKey.size(), kLeakedKey.size(), kLeakedKey) == 0)
                f->wineDialogKeys++;
        }
        CloseHandle(dup);
    }
}

BOOL CALLBACK CountWindow(HWND, LPARAM lParam)
{
    ++*(size_t *)lParam;
    return TRUE;
}

struct WindowCount {
    DWORD pid;
    size_t n;
};

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lParam)
{
    WindowCount *c = (WindowCount *)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->pid) {
        c->n++;
        EnumChildWindows(hwnd, CountWindow, (LPARAM)&c->n);   /* every descendant */
    }
    return TRUE;
}

}  // namespace

ResourceFigures Program::Resources() const
{
    ResourceFigures f;
    KernelHandles(pid_, hProcess_, &f);
    WindowCount c = {pid_, 0};
    EnumWindows(CountTopLevel, (LPARAM)&c);
    f.windows = c.n;
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof mem;
    if (!GetProcessMemoryInfo(hProcess_, (PROCESS_MEMORY_COUNTERS *)&mem, sizeof mem))
        throw HarnessError(Format("GetProcessMemoryInfo failed (error %lu)", GetLastError()));
    f.privateBytes = mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;
    return f;
}

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

std::string ProgramText(UINT id)
{
    std::string path = ProgramPath();
    HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        throw HarnessError(Format("cannot read the resources of %s (error %lu)", path.c_str(),
                                  GetLastError()));
    char text[260] = "";
    int n = LoadStringA(module, id, text, sizeof text);
    FreeLibrary(module);
    if (n <= 0)
        throw HarnessError(Format("%s has no string %u", path.c_str(), id));
    return text;
}

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
            WaitForMainWindow(kTimeout);
    } catch (...) {
        Cleanup();   /* no destructor runs for a constructor that throws */
        throw;
    }
}

void Program::Start()
{
    std::string path = ProgramPath();
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

void Program::WaitForMainWindow(DWORD timeoutMs)
{
    std::string windowClass = ProgramText(IDS_CLASSNAME);
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindows(pid_))
            if (ClassName(hwnd) == windowClass) {
                hwndMain_ = hwnd;
                return true;
            }
        if (!Running())
            throw HarnessError("no main window: " + Describe());
        return false;
    }, timeoutMs, "the main window of class " + windowClass + "; " + Describe());
    WaitForInputIdle(hProcess_, timeoutMs);
}

HWND Program::LogPane() const
{
    if (!hwndMain_)
        throw HarnessError("the main window is not known yet (WaitForMainWindow)");
    return Control(hwndMain_, IDC_LOG);
}

bool Program::Responsive(DWORD timeoutMs) const
{
    DWORD_PTR result;
    return hwndMain_ && SendMessageTimeoutA(hwndMain_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                            timeoutMs, &result) != 0;
}

void Program::Command(WORD id) const
{
    if (!hwndMain_)
        throw HarnessError("no main window to send a command to");
    Post(hwndMain_, WM_COMMAND, id, 0, "sending a menu command");
}

void Program::Settle(DWORD timeoutMs) const
{
    /* The marker is the pane's event mask, which the program leaves at 0:
       it turns ENM_PROTECTED (no text of the log is ever protected, so the
       bit has no effect) on and off in turn, so that each marker differs
       from the last. */
    static LONG s_turn;
    LPARAM mask = (InterlockedIncrement(&s_turn) & 1) ? ENM_PROTECTED : 0;
    HWND pane = LogPane();
    Post(pane, EM_SETEVENTMASK, 0, mask, "posting the settle marker");
    WaitUntil([&] {
        if (!Running())
            throw HarnessError("while settling: " + Describe());
        return Send(pane, EM_GETEVENTMASK, 0, 0, "reading the settle marker") == mask;
    }, timeoutMs, "the program to take the messages posted to it; " + Describe());
}

std::string Program::LogText() const
{
    return WindowText(LogPane());
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
        WaitUntil([&] { lines = SplitLines(LogText()); return lines.size() >= n; }, timeoutMs,
                  Format("%u log lines", (unsigned)n));
    } catch (const HarnessError &e) {
        throw HarnessError(std::string(e.what()) + "; the log holds " + Quoted(LogText()));
    }
    return lines;
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
    PostPress(hwnd, button, "answering a message box");
    WaitClosed(hwnd, "the message box " + Quoted(box.text) + " to close", timeoutMs);
}

HWND Program::WaitForDialog(const std::string &caption, DWORD timeoutMs) const
{
    HWND found = NULL;
    WaitUntil([&] {
        if ((found = FindDialog(pid_, caption)) != NULL)
            return true;
        if (!Running())
            throw HarnessError("no dialog " + Quoted(caption) + ": " + Describe());
        return false;
    }, timeoutMs, "the dialog " + Quoted(caption) + "; " + Describe());
    return found;
}

PropertySheet Program::WaitForPropertySheet(DWORD timeoutMs) const
{
    PropertySheet sheet(WaitForDialog(FILTER_CAPTION, timeoutMs));
    WaitUntil([&] { return sheet.CurrentPage() != NULL; }, timeoutMs,
              "the property sheet's first page");
    return sheet;
}

SaveAsDialog Program::WaitForSaveAs(DWORD timeoutMs) const
{
    return SaveAsDialog(WaitForDialog(SAVE_CAPTION, timeoutMs));
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

std::vector<std::string> Program::Modules() const
{
    HMODULE mods[512];
    DWORD needed = 0;
    if (!EnumProcessModules(hProcess_, mods, sizeof mods, &needed))
        throw HarnessError(Format("EnumProcessModules failed (error %lu)", GetLastError()));
    std::vector<std::string> names;
    for (DWORD i = 0; i < needed / sizeof mods[0] && i < ARRAYSIZE(mods); i++) {
        char name[MAX_PATH];
        if (GetModuleBaseNameA(hProcess_, mods[i], name, sizeof name))
            names.push_back(CharUpperA(name));
    }
    return names;
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

}  // namespace bb
