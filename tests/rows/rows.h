/* The black-box rows: each is one start of VERUVEZ.EXE under Wine with the
   stand-in driver, operated by a script, and everything it leaves behind
   compared with literal expectations. */
#ifndef VMT_ROWS_H
#define VMT_ROWS_H

#include "tests/harness/harness.h"
#include <memory>
#include <ostream>

struct Row {
    const char *name;
    /* The driver: "" its defaults, "off" stopped, "host:PROFILE" the host
       backend on a copy of a fake machine (tests/host/make-tree.sh), else
       settings "Name=value ...".  "min"/"max" start the program so shown;
       "norichedit" without RICHED32.DLL, "classic" without a visual style. */
    const char *driver;
    const char *iniBefore;   /* nullptr: no settings file */
    /* Blank-separated steps:
         start filter saveas about exit close     menu commands, close box
         Y N O                                    answer the next box
         p0..p3  c:ID  t:ID=keys  s:ID=text       sheet page, click, type, paste
         top:ID=n  r:ID  ?:ID  spin:ID  ok cancel list top row, read, state, up-down
         name:keys pair:n save dcancel field      Save As
         mkdir:F put:F=text link:F=target files   the save folder C:\save
         paint:ID clock                           a control's top left pixel, the RTC page at the time now
         sel second size shown focus limit trace  pane, shell checks
         journal restart shot:NAME                journal lines so far, a new start, picture
       keys: "L*300" is 300 L; "" clears the field. */
    const char *operate;
    /* Boxes answered ("#ID": a string of the program; O boxes as "caption:
       text") and readouts, in order. */
    std::vector<std::string> seen;
    /* The log at the end: "" an empty line, else look and text (see
       vt::App::Log).  {m}/{d}/{y} {w}: today. */
    std::vector<std::string> log;
    std::vector<std::string> journal;   /* '*' stands for a number */
    const char *iniAfter;               /* after File/Exit; nullptr: no file */
    std::vector<std::string> machine = {};   /* host rows: "path=first line" after the last close */
};

std::string Q(unsigned id);   /* "#ID" */
/* Log lines many rows share, and a list of lines with more after it. */
#define BANNER_LINE    "h Advanced Configuration and Power Interface functional Velmont Test"
#define NO_DRIVER_LINE "r Could not find the WDM driver acpi.sys!"
std::vector<std::string> AllSkipped();
std::vector<std::string> With(std::vector<std::string> head, const std::vector<std::string> &tail);
/* A settings file with the ten keys in table order, one digit each. */
const char *Ini(const char *digits);
void PlayRow(const Row &row);

/* One operator step, for the rows and the soak alike. */
struct Play {
    std::unique_ptr<vt::App> app;
    HWND sheet = NULL, save = NULL, field = NULL;   /* the filter sheet, Save As and its name field, while up */
    std::vector<std::string> seen;
    std::vector<std::string> log;   /* read before the program ends */
};
void Step(Play &play, const std::string &step);

inline std::ostream &operator<<(std::ostream &os, const Row &row) { return os << row.name; }

#endif
