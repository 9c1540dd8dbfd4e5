/* The program's process: where it is, its own string resources, starting
   it (under the debugger to collect its debugger output when asked),
   sending it menu commands, waiting for its windows, and its end. */
#ifndef VMT_HARNESS_PROGRAM_H
#define VMT_HARNESS_PROGRAM_H

#include "tests/harness/ui.h"

namespace bb {

/* The program under test: set by SetProgramPath (the test program's
   --program=PATH argument), else the environment variable VMT_PROGRAM,
   else VERUVEZ.EXE next to the test program.  A Unix path (/...) is
   turned into its Wine drive path (Z:\...). */
void        SetProgramPath(const std::string &path);
std::string ProgramPath();

/* String id of the program's string table (IDS_...), read from its file. */
std::string ProgramText(UINT id);

/* What a process holds, as Wine reports it (GetGuiResources and
   GetProcessHandleCount answer 0 under Wine 8 whatever it holds). */
struct ResourceFigures {
    size_t handles = 0;        /* kernel handles: the system handle list, class 16 */
    /* Of them, the registry keys ...\ComDlg32\LastVisitedMRU: Wine 8's
       Save As dialog opens one at every save and never closes it. */
    size_t wineDialogKeys = 0;
    size_t windows = 0;        /* its top-level windows and their descendants */
    /* Its private memory: GetProcessMemoryInfo's PrivateUsage, or where
       that is 0 (Wine 8 for another process) PagefileUsage, which Wine
       takes from the anonymous memory Linux counts for the process. */
    size_t privateBytes = 0;
};

struct StartOptions {
    /* Run the program under this process's debugger and collect its
       OutputDebugString lines (DebugOutput). */
    bool captureDebugOutput = false;
    /* STARTUPINFO.wShowWindow with STARTF_USESHOWWINDOW; -1 leaves it unset. */
    int showCommand = -1;
    /* Wait for the main window in the constructor. */
    bool waitForWindow = true;
};

/* One run of the program.  The destructor ends a copy that still runs, so
   the next test starts on an empty desktop. */
class Program {
public:
    explicit Program(const StartOptions &options = StartOptions());
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    HWND MainWindow() const { return hwndMain_; }
    DWORD ProcessId() const { return pid_; }
    HWND LogPane() const;                       /* child IDC_LOG */
    /* The process has not ended. */
    bool Running() const;
    /* The main window answers a sent message within timeoutMs. */
    bool Responsive(DWORD timeoutMs = 2000) const;

    /* Posts WM_COMMAND with the id; returns at once, like a menu choice. */
    void Command(WORD id) const;
    /* Waits until the program has taken every message posted to it so far:
       each has been handled, or has opened a modal window that now waits
       for the operator.  (Posts a marker to the log pane, a change of its
       event mask that has no effect, and waits until the pane reports it.) */
    void Settle(DWORD timeoutMs = kTimeout) const;
    /* Its handles, windows and private bytes now. */
    ResourceFigures Resources() const;

    /* The log pane's whole text, as WM_GETTEXT gives it. */
    std::string LogText() const;
    /* Waits until the log text contains `part`; returns the text. */
    std::string WaitForLogText(const std::string &part, DWORD timeoutMs = kTimeout) const;
    /* Waits until the log has at least n lines (SplitLines); returns them. */
    std::vector<std::string> WaitForLogLines(size_t n, DWORD timeoutMs = kTimeout) const;

    /* Message boxes of this process.  FindMessageBox does not wait and
       returns hwnd NULL if none. */
    MessageBoxInfo FindMessageBox() const { return bb::FindMessageBox(pid_); }
    MessageBoxInfo WaitForMessageBox(DWORD timeoutMs = kTimeout) const;
    /* Presses the button (IDYES, IDNO, IDOK, ...) and waits until the box
       has closed. */
    void Answer(const MessageBoxInfo &box, int button, DWORD timeoutMs = kTimeout) const;

    /* A visible dialog (#32770) of this process with that caption. */
    HWND WaitForDialog(const std::string &caption, DWORD timeoutMs = kTimeout) const;
    PropertySheet WaitForPropertySheet(DWORD timeoutMs = kTimeout) const;
    SaveAsDialog WaitForSaveAs(DWORD timeoutMs = kTimeout) const;

    /* Waits for the end of the process and returns its exit code. */
    DWORD WaitForExit(DWORD timeoutMs = kTimeout) const;

    /* The file names of the DLLs the process has loaded, in upper case. */
    std::vector<std::string> Modules() const;

    /* Debugger output strings in arrival order (captureDebugOutput only). */
    std::vector<std::string> DebugOutput() const;

private:
    struct DebugState;
    static DWORD WINAPI DebugLoop(void *arg);
    /* "exception 0xC0000005 at 0x..." when a debugged run ended through an
       unhandled exception. */
    std::string Crash() const;
    std::string Describe() const;
    void Start();
    void WaitForMainWindow(DWORD timeoutMs);
    void Cleanup();

    StartOptions options_;
    DWORD pid_ = 0;
    HANDLE hProcess_ = NULL;
    HANDLE hThread_ = NULL;
    HWND hwndMain_ = NULL;
    DebugState *debug_ = nullptr;
};

}  // namespace bb

#endif
