/* The operator harness: VERUVEZ.EXE started as a process of its own under
   Wine and driven from outside as an operator would (menu commands, boxes,
   the filter sheet, Save As); then what it shows and leaves behind.  Every
   wait is bounded; a failed one throws vt::Error saying what it waited for. */
#ifndef VMT_HARNESS_H
#define VMT_HARNESS_H

#include <windows.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vt {

const DWORD kWait = 10000;   /* ms */

struct Error : std::runtime_error {
    explicit Error(const std::string &what) : std::runtime_error(what) {}
};

void WaitFor(const std::function<bool()> &done, const std::string &what, DWORD ms = kWait);
std::vector<std::string> Lines(const std::string &text);   /* split at \r\n */
std::string Text(HWND hwnd);                                /* WM_GETTEXT */
/* The expected lines, each that matches the line got taken as got: a '*'
   in one stands for a number, and a line "..." for all the lines after. */
std::vector<std::string> Expect(std::vector<std::string> want, const std::vector<std::string> &got);

/* The program (--program=PATH; a Unix path is taken on drive Z:) and its
   string-table texts. */
extern std::string g_program;
void        SetProgram(const char *path);
std::string T(UINT id);

struct Box {
    HWND hwnd = NULL, owner = NULL;
    std::string caption, text;
    std::vector<int> buttons;
};

/* One run of the program, in C:\, once its main window or a box is up;
   the destructor ends a copy still running. */
struct App {
    explicit App(int show = -1);   /* STARTUPINFO.wShowWindow, -1 none */
    ~App();
    App(const App &) = delete;
    App &operator=(const App &) = delete;

    HWND main = NULL, pane = NULL;
    DWORD pid = 0;
    HANDLE process = NULL;

    /* A command posted; returns once the program has handled every message
       posted to it or waits for the operator in a modal window. */
    void Menu(WORD id);
    void Settle();
    /* The log, a line each: "" an empty line, else the look and the text:
       "n " regular, "h " bold, "r " bold red, "b " bold blue, "? ..." other. */
    std::vector<std::string> Log();
    Box NextBox();
    void Answer(const Box &box, int button);
    HWND Dialog(const std::string &caption);
    DWORD End(bool closeBox);      /* File/Exit or the close box; the exit code */
    DWORD Exited();                /* STILL_ACTIVE while it runs */
    std::vector<std::string> Trace();   /* its debugger lines */
    void *remote = nullptr;        /* a CHARFORMATA in the program */
};

/* The settings file (nullptr: none; "(none)" when read), the driver's
   journal, its settings and its service.  DriverReset: every setting its
   default, the driver restarted (its machine as at boot), no journal. */
std::string ReadFile(const std::string &path);   /* "(none)" when it cannot be read */
std::vector<std::string> FileLines(const std::string &path);   /* none then */
void        WriteIni(const char *text);
std::string ReadIni();
std::vector<std::string> Journal();
void        DriverReset();
void        DriverSet(const std::string &name, const std::string &value);   /* a number: DWORD */
void        DriverRunning(bool on);
/* A shell command on the Linux side ($WINEPREFIX set); its exit status. */
int         Unix(const std::string &command);
/* A picture of the window in build/ARCH/screenshots/NAME; the colour
   ("#RRGGBB") of its top left pixel. */
void        Shot(HWND hwnd, const std::string &name);
std::string Pixel(HWND hwnd);

}  // namespace vt

#endif
