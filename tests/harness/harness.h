/* The operator harness: starts VERUVEZ.EXE as a process of its own under
   Wine and drives it from outside as an operator would (menu commands, the
   boxes, the filter sheet, Save As), then reads what it shows and leaves
   behind (the log with each line's look, the settings file, the stand-in
   driver's journal).  Every wait is bounded; what was expected and what
   was found go into the vt::Error thrown. */
#ifndef VMT_HARNESS_H
#define VMT_HARNESS_H

#include <windows.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vt {

const DWORD kWait = 10000;   /* ms: the bound of every wait */

struct Error : std::runtime_error {
    explicit Error(const std::string &what) : std::runtime_error(what) {}
};

void WaitFor(const std::function<bool()> &done, const std::string &what, DWORD ms = kWait);
std::vector<std::string> Lines(const std::string &text);   /* split at \r\n */
std::string Text(HWND hwnd);                                /* WM_GETTEXT */

/* The program (--program=PATH, a Unix path taken as Z:), and its own text
   of a string-table id. */
void        SetProgram(const char *path);
extern std::string g_program;
std::string T(UINT id);

struct Box {
    HWND hwnd = NULL, owner = NULL;
    std::string caption, text;
    std::vector<int> buttons;   /* visible button ids, in order */
};

/* One run of the program; the destructor ends a copy still running. */
class App {
public:
    explicit App(int show = -1);   /* STARTUPINFO.wShowWindow, -1 none */
    ~App();
    App(const App &) = delete;
    App &operator=(const App &) = delete;

    HWND main = NULL, pane = NULL;
    DWORD pid = 0;

    /* Posts a command and waits until it has been handled or waits for
       the operator in a modal window. */
    void Menu(WORD id);
    void Settle();
    /* The log, a line each: "" for an empty line, else its look and text:
       "n " regular, "h " bold, "r " bold red, "b " bold blue ("? ..."
       anything else).  Waits until the pane paints again first. */
    std::vector<std::string> Log();
    Box NextBox();
    void Answer(const Box &box, int button);
    /* A dialog of the program with that caption. */
    HWND Dialog(const std::string &caption);
    /* Posts File/Exit or the close box; the exit code. */
    DWORD End(bool closeBox);
    DWORD Exited();
    /* The lines it sent to the debugger. */
    std::vector<std::string> Trace();

private:
    HANDLE process_ = NULL;
    void *remote_ = nullptr;   /* a CHARFORMATA in the program */
};

/* The "ACPI Filter Options" sheet, opened by the program. */
class Sheet {
public:
    explicit Sheet(App &app);
    HWND hwnd;
    void Page(int index);
    HWND Control(int id);                      /* of the current page */
    void Click(int id);                        /* refused when disabled */
    void Type(int id, const std::string &keys);
    void Close(int id);                        /* IDOK or IDCANCEL */
private:
    App &app_;
};

/* The "Save Log File" dialog. */
class SaveAs {
public:
    explicit SaveAs(App &app);
    HWND hwnd, field;
    void Type(const std::string &keys);        /* the field's limit applies */
    void Pair(int index);                      /* 1 text, 2 RTF */
    void Press(int id);                        /* IDOK or IDCANCEL */
private:
    App &app_;
};

/* What the program and the driver keep: the settings file (nullptr: none),
   the journal, the driver's settings and its service. */
void        WriteIni(const char *text);
std::string ReadIni();                         /* "(none)" when missing */
std::vector<std::string> Journal();
void        DriverReset();                     /* every setting its default, empty journal */
void        DriverSet(const std::string &name, const std::string &value);   /* digits: a DWORD */
void        DriverRunning(bool on);
/* A shell command on the Linux side; its exit status. */
int         Unix(const std::string &command);

}  // namespace vt

#endif
