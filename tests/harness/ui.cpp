/* UI automation: see ui.h. */
#include "tests/harness/ui.h"
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <prsht.h>
#include <cstring>

namespace bb {

namespace {

const DWORD kSendMs = 5000;   /* bound of one sent message */
const int kMessageBoxTextId = 0xFFFF;

std::string Hwnd(HWND hwnd)
{
    return Format("%p", (void *)hwnd);
}

bool IsDialog(HWND hwnd)
{
    return ClassName(hwnd) == "#32770";
}

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

void CheckClickable(HWND control)
{
    if (!IsWindowVisible(control) || !IsWindowEnabled(control))
        throw HarnessError(Format("cannot click control %d (%s): it is %s",
                                  GetDlgCtrlID(control), Quoted(WindowText(control)).c_str(),
                                  IsWindowVisible(control) ? "disabled" : "hidden"));
}

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

/* The Save As dialog's file name field: an edit (edt1), or the edit inside
   the combo box (cmb13, under Wine a ComboBoxEx holding a ComboBox holding
   the Edit). */
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

std::vector<HWND> TopLevelWindows(DWORD pid)
{
    EnumArgs args{pid, nullptr, {}};
    EnumWindows(CollectWindow, (LPARAM)&args);
    return args.found;
}

std::vector<HWND> WindowsOfClass(const std::string &className)
{
    EnumArgs args{0, className.c_str(), {}};
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

void PostPress(HWND dialog, int id, const char *what)
{
    Post(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id), what);
}

void WaitClosed(HWND window, const std::string &what, DWORD timeoutMs)
{
    WaitUntil([&] { return !IsWindow(window); }, timeoutMs, what);
}

void PressAndWaitGone(HWND dialog, int id, const char *what)
{
    PostPress(dialog, id, what);
    WaitClosed(dialog, std::string(what) + ": the window to close");
}

/* ---- dialogs ------------------------------------------------------------- */

MessageBoxInfo ReadMessageBox(HWND hwnd)
{
    MessageBoxInfo box;
    box.hwnd = hwnd;
    box.caption = WindowText(hwnd);
    box.text = WindowText(GetDlgItem(hwnd, kMessageBoxTextId));
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && lstrcmpiA(ClassName(c).c_str(), "Button") == 0)
            box.buttons.push_back(GetDlgCtrlID(c));
    return box;
}

MessageBoxInfo FindMessageBox(DWORD pid)
{
    for (HWND hwnd : TopLevelWindows(pid))
        if (IsDialog(hwnd) && GetDlgItem(hwnd, kMessageBoxTextId))
            return ReadMessageBox(hwnd);
    return MessageBoxInfo();
}

HWND FindDialog(DWORD pid, const std::string &caption)
{
    for (HWND hwnd : TopLevelWindows(pid))
        if (IsDialog(hwnd) && WindowText(hwnd) == caption)
            return hwnd;
    return NULL;
}

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

void SaveAsDialog::SetFileName(const std::string &name)
{
    bb::SetText(FileNameField(hwnd_), name);
}

void SaveAsDialog::TypeFileName(const std::string &name)
{
    bb::TypeText(FileNameField(hwnd_), name);
}

std::string SaveAsDialog::FileName() const
{
    return WindowText(FileNameField(hwnd_));
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

}  // namespace bb
