/* Operator harness: drives VERUVEZ.EXE from another process the way an
   operator would (menu commands, message boxes, the filter-options sheet,
   the Save As dialog) and reads what it shows (log pane, exit code,
   debugger output), plus helpers for the settings file and the stand-in
   driver's journal and registry parameters.

   Every wait is bounded.  A wait that runs out, a window or control that
   is not there, or a program that ends too early throws bb::HarnessError
   with a message saying what was expected and what was found; GoogleTest
   reports the exception as the test's failure.  See docs/harness.md. */
#ifndef VMT_BLACKBOX_HARNESS_H
#define VMT_BLACKBOX_HARNESS_H

#include <windows.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bb {

/* Default bound of every wait, in milliseconds. */
const DWORD kTimeout = 10000;

struct HarnessError : std::runtime_error {
    explicit HarnessError(const std::string &what) : std::runtime_error(what) {}
};

/* ---- program location ---------------------------------------------------- */

/* The program under test: set by SetProgramPath (the test program's
   --program=PATH argument), else the environment variable VMT_PROGRAM,
   else VERUVEZ.EXE next to the test program.  A Unix path (/...) is
   turned into its Wine drive path (Z:\...). */
void        SetProgramPath(const std::string &path);
std::string ProgramPath();

/* ---- windows of any process ---------------------------------------------- */

std::string ClassName(HWND hwnd);
/* Caption of a top-level window or text of a control (WM_GETTEXT, bounded). */
std::string WindowText(HWND hwnd);
/* Visible top-level windows of a process, in z-order. */
std::vector<HWND> TopLevelWindows(DWORD pid);
/* Every top-level window of a class, any process, visible or not. */
std::vector<HWND> WindowsOfClass(const char *className);
/* Window rectangle of a child in its parent's client coordinates. */
RECT RectInParent(HWND child);

/* Calls pred every few milliseconds until it returns true; throws with
   `what` when timeoutMs runs out. */
void WaitUntil(const std::function<bool()> &pred, DWORD timeoutMs, const std::string &what);

/* ---- controls (buttons, check boxes, edit fields) ------------------------ */

/* The child with this id; throws naming the id and the parent when missing. */
HWND Control(HWND parent, int id);
bool IsEnabled(HWND control);
bool IsChecked(HWND control);                   /* BM_GETCHECK == BST_CHECKED */
/* BM_CLICK, waiting until the control has handled it.  Refuses (throws) a
   hidden or disabled control, as an operator could not click it.  For a
   button that opens a message box or dialog use PostClick. */
void Click(HWND control);
/* BM_CLICK posted: returns at once. */
void PostClick(HWND control);
/* Replaces the field's text with WM_SETTEXT (one change notification). */
void SetText(HWND edit, const std::string &text);
/* Selects the whole field and types text one WM_CHAR at a time, as the
   keyboard would; the field's own filtering (ES_NUMBER, limits) applies. */
void TypeText(HWND edit, const std::string &text);

/* ---- dialogs ------------------------------------------------------------- */

struct MessageBoxInfo {
    HWND hwnd = NULL;
    std::string caption;
    std::string text;       /* the static with id 0xFFFF */
    std::vector<int> buttons;   /* ids of its visible buttons (IDOK, IDYES, ...) */
};

/* The "ACPI Filter Options" property sheet. */
class PropertySheet {
public:
    explicit PropertySheet(HWND hwnd) : hwnd_(hwnd) {}
    HWND hwnd() const { return hwnd_; }
    /* Switches tabs (PSM_SETCURSEL) and waits until the page is current. */
    void SelectPage(int index);
    int  CurrentIndex() const;                  /* selected tab */
    HWND CurrentPage() const;                   /* PSM_GETCURRENTPAGEHWND */
    /* Controls of the current page. */
    HWND Control(int id) const;
    bool IsEnabled(int id) const { return bb::IsEnabled(Control(id)); }
    bool IsChecked(int id) const { return bb::IsChecked(Control(id)); }
    void Click(int id) const { bb::Click(Control(id)); }
    void PostClick(int id) const { bb::PostClick(Control(id)); }
    void SetText(int id, const std::string &t) const { bb::SetText(Control(id), t); }
    void TypeText(int id, const std::string &t) const { bb::TypeText(Control(id), t); }
    std::string Text(int id) const { return WindowText(Control(id)); }
    /* Presses OK or Cancel and waits until the sheet has closed. */
    void Ok();
    void Cancel();

private:
    HWND hwnd_;
};

/* The common Save As dialog. */
class SaveAsDialog {
public:
    explicit SaveAsDialog(HWND hwnd) : hwnd_(hwnd) {}
    HWND hwnd() const { return hwnd_; }
    /* Types the name into the dialog's file name field. */
    void SetFileName(const std::string &name);
    /* Chooses a pair of the file type list, 1 for the first. */
    void ChooseFilter(int index);
    /* Presses Save; returns at once (an overwrite prompt may follow). */
    void PostSave();
    /* Presses Save and waits until the dialog has closed. */
    void Save();
    void Cancel();
    void WaitClosed(DWORD timeoutMs = kTimeout);

private:
    HWND hwnd_;
};

/* ---- the program --------------------------------------------------------- */

struct StartOptions {
    /* Run the program under this process's debugger and collect its
       OutputDebugString lines (DebugOutput). */
    bool captureDebugOutput = false;
    /* STARTUPINFO.wShowWindow with STARTF_USESHOWWINDOW; -1 leaves it unset. */
    int showCommand = -1;
    /* Wait for the main window in the constructor. */
    bool waitForWindow = true;
    /* Empty: ProgramPath(). */
    std::string program;
    std::string windowClass = "VERUVEZ";
};

/* One run of the program.  The destructor ends a copy that still runs, so
   the next test starts on an empty desktop. */
class Program {
public:
    explicit Program(const StartOptions &options = StartOptions());
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    DWORD  pid() const { return pid_; }
    HANDLE process() const { return hProcess_; }
    bool   Running() const;

    /* Waits for the visible main window of this process, then for the
       program to be idle.  Throws if the program ends first. */
    HWND WaitForMainWindow(DWORD timeoutMs = kTimeout);
    HWND MainWindow() const { return hwndMain_; }
    HWND LogPane() const;                       /* child 0x802 */
    /* The main window answers a sent message within timeoutMs. */
    bool Responsive(DWORD timeoutMs = 2000) const;

    /* Posts WM_COMMAND with the id (and a notification code in the high
       word); returns at once, like a menu choice. */
    void Command(WORD id, WORD code = 0) const;

    /* The log pane's whole text, as WM_GETTEXT gives it. */
    std::string LogText() const;
    /* The text split at line ends (\r\n, \r or \n); an ending line break
       gives no extra empty line. */
    std::vector<std::string> LogLines() const;
    /* Waits until the log text contains `part`; returns the text. */
    std::string WaitForLogText(const std::string &part, DWORD timeoutMs = kTimeout) const;
    /* Waits until the log has at least n lines; returns them. */
    std::vector<std::string> WaitForLogLines(size_t n, DWORD timeoutMs = kTimeout) const;

    /* Message boxes: any visible dialog of this process with a static
       0xFFFF.  FindMessageBox does not wait and returns hwnd NULL if none. */
    MessageBoxInfo FindMessageBox() const;
    MessageBoxInfo WaitForMessageBox(DWORD timeoutMs = kTimeout) const;
    /* Presses the button (IDYES, IDNO, IDOK, ...) and waits until the box
       has closed. */
    void Answer(const MessageBoxInfo &box, int button, DWORD timeoutMs = kTimeout) const;

    /* A visible dialog (#32770) of this process with that caption. */
    HWND WaitForDialog(const std::string &caption, DWORD timeoutMs = kTimeout) const;
    PropertySheet WaitForPropertySheet(const std::string &caption = "ACPI Filter Options",
                                       DWORD timeoutMs = kTimeout) const;
    SaveAsDialog WaitForSaveAs(const std::string &caption = "Save Log File",
                               DWORD timeoutMs = kTimeout) const;

    /* Waits for the end of the process and returns its exit code. */
    DWORD WaitForExit(DWORD timeoutMs = kTimeout) const;
    /* Ends the process at once (exit code 1) and waits for it. */
    void Kill();

    /* Debugger output strings in arrival order (captureDebugOutput only). */
    std::vector<std::string> DebugOutput() const;
    /* Set when the process ended through an unhandled exception (debugged
       runs only): "exception 0xC0000005 at 0x...". */
    std::string Crash() const;

private:
    struct DebugState;
    static DWORD WINAPI DebugLoop(void *arg);
    std::string Describe() const;
    void Start();
    void Cleanup();

    StartOptions options_;
    DWORD pid_ = 0;
    HANDLE hProcess_ = NULL;
    HANDLE hThread_ = NULL;
    HWND hwndMain_ = NULL;
    DebugState *debug_ = nullptr;
};

/* ---- settings file: GetWindowsDirectory + "\VERUVEZ.INI" ---------------- */

std::string SettingsPath();
std::string ReadSettingsFile();                 /* "" when missing */
void        WriteSettingsFile(const std::string &contents);
void        DeleteSettingsFile();
/* The integer of key in section "ACPI VMT's", or `missing` when absent. */
long        SettingsValue(const std::string &key, long missing = -1);

/* ---- stand-in driver ----------------------------------------------------- */

extern const char kJournalPath[];               /* C:\acpisim-journal.txt */
/* Journal lines without their line ends; empty when there is no journal. */
std::vector<std::string> ReadJournal();
/* Empties the journal if it exists. */
void ClearJournal();
/* Waits until the journal has at least n lines; returns them. */
std::vector<std::string> WaitForJournalLines(size_t n, DWORD timeoutMs = kTimeout);

/* Values of HKLM\System\CurrentControlSet\Services\AcpiSim\Parameters,
   read by the driver whenever the program opens the device. */
void SetDriverParameter(const char *name, DWORD value);
void SetDriverParameter(const char *name, const std::string &value);
void DeleteDriverParameter(const char *name);

/* Sets a DWORD parameter for the lifetime of the object, then deletes it
   (the driver's default applies again). */
class DriverParameterOverride {
public:
    DriverParameterOverride(const char *name, DWORD value) : name_(name)
    { SetDriverParameter(name, value); }
    ~DriverParameterOverride() { DeleteDriverParameter(name_); }
    DriverParameterOverride(const DriverParameterOverride &) = delete;
    DriverParameterOverride &operator=(const DriverParameterOverride &) = delete;

private:
    const char *name_;
};

/* Saves what the screen shows of a window as a PNG file beside the
   program's bin folder (build/win32/screenshots/<name>), with ImageMagick's
   import on the test display; returns when the file is complete. */
void SaveScreenshot(HWND hwnd, const std::string &name);

}  // namespace bb

#endif
