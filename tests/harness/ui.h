/* UI automation: the windows of any process, their controls, message
   boxes, the filter-options property sheet and the Save As dialog, reached
   with messages that are bounded in time. */
#ifndef VMT_HARNESS_UI_H
#define VMT_HARNESS_UI_H

#include "tests/harness/common.h"

namespace bb {

/* A sent message that throws when the window does not answer within 5 s,
   and a posted one that throws when it cannot be posted; `what` names the
   action in the error. */
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const char *what);
void    Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const char *what);

/* ---- windows of any process ---------------------------------------------- */

std::string ClassName(HWND hwnd);
/* Caption of a top-level window or text of a control (WM_GETTEXT, bounded). */
std::string WindowText(HWND hwnd);
/* Visible top-level windows of a process, in z-order. */
std::vector<HWND> TopLevelWindows(DWORD pid);
/* Every top-level window of a class, any process, visible or not. */
std::vector<HWND> WindowsOfClass(const std::string &className);
/* Window rectangle of a child in its parent's client coordinates. */
RECT RectInParent(HWND child);

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
/* Posts a click of the dialog's button id (WM_COMMAND, BN_CLICKED, as the
   button sends it); returns at once.  PressAndWaitGone also waits until the
   dialog has closed. */
void PostPress(HWND dialog, int id, const char *what);
/* Waits until the window has closed; what describes the wait in the error. */
void WaitClosed(HWND window, const std::string &what, DWORD timeoutMs = kTimeout);
void PressAndWaitGone(HWND dialog, int id, const char *what);

/* ---- dialogs ------------------------------------------------------------- */

struct MessageBoxInfo {
    HWND hwnd = NULL;
    std::string caption;
    std::string text;       /* the static with id 0xFFFF */
    std::vector<int> buttons;   /* ids of its visible buttons (IDOK, IDYES, ...) */
};

/* A visible message box of the process (a dialog with a static 0xFFFF);
   hwnd NULL when there is none. */
MessageBoxInfo FindMessageBox(DWORD pid);
/* What the message box hwnd shows. */
MessageBoxInfo ReadMessageBox(HWND hwnd);
/* A visible dialog (#32770) of the process with that caption, or NULL. */
HWND FindDialog(DWORD pid, const std::string &caption);

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
    void Ok() { PressAndWaitGone(hwnd_, IDOK, "pressing OK on the property sheet"); }
    void Cancel() { PressAndWaitGone(hwnd_, IDCANCEL, "pressing Cancel on the property sheet"); }

private:
    HWND hwnd_;
};

/* The common Save As dialog. */
class SaveAsDialog {
public:
    explicit SaveAsDialog(HWND hwnd) : hwnd_(hwnd) {}
    HWND hwnd() const { return hwnd_; }
    /* Puts the name into the dialog's file name field (WM_SETTEXT). */
    void SetFileName(const std::string &name);
    /* Types it there one character at a time, as the keyboard would: the
       field's length limit applies.  FileName reads the field. */
    void TypeFileName(const std::string &name);
    std::string FileName() const;
    /* Chooses a pair of the file type list, 1 for the first. */
    void ChooseFilter(int index);
    /* Presses Save and waits until the dialog has closed. */
    void Save() { PressAndWaitGone(hwnd_, IDOK, "pressing Save"); }
    /* Presses Cancel and waits until the dialog has closed. */
    void Cancel() { PressAndWaitGone(hwnd_, IDCANCEL, "pressing Cancel in Save As"); }

private:
    HWND hwnd_;
};

}  // namespace bb

#endif
