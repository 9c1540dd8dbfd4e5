/* The filter sheet and the Save As dialog, driven from outside. */
#include "tests/harness/harness.h"
#include "res/texts.h"
#include <commctrl.h>
#include <dlgs.h>
#include <prsht.h>

namespace vt {

namespace {

/* The first Edit among a window's descendants. */
HWND FindEdit(HWND parent)
{
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0)
            return c;
        if (HWND edit = FindEdit(c))
            return edit;
    }
    return NULL;
}

}  // namespace

void Keys(App &app, HWND field, const std::string &keys)
{
    PostMessageA(field, EM_SETSEL, 0, -1);
    for (unsigned char c : keys.empty() ? std::string("\b") : keys)
        PostMessageA(field, WM_CHAR, c, 1);
    app.Settle();
}

void Press(App &app, HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
    app.Settle();
}

Sheet::Sheet(App &app) : hwnd(app.Dialog(FILTER_CAPTION)), app_(app)
{
    WaitFor([&] { return SendMessageA(hwnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0; }, "the first page");
}

void Sheet::Page(int index)
{
    SendMessageA(hwnd, PSM_SETCURSEL, index, 0);
    HWND tabs = (HWND)SendMessageA(hwnd, PSM_GETTABCONTROL, 0, 0);
    WaitFor([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == index; },
            "page " + std::to_string(index));
}

HWND Sheet::Control(int id)
{
    HWND page = (HWND)SendMessageA(hwnd, PSM_GETCURRENTPAGEHWND, 0, 0);
    HWND c = GetDlgItem(page, id);
    if (!c)
        throw Error("no control " + std::to_string(id) + " on the page");
    return c;
}

void Sheet::Click(int id)
{
    HWND c = Control(id);
    if (!IsWindowEnabled(c) || !IsWindowVisible(c))
        throw Error("control " + std::to_string(id) + " cannot be clicked: disabled or hidden");
    PostMessageA(c, BM_CLICK, 0, 0);
    app_.Settle();
}

void Sheet::Close(int id)
{
    Press(app_, hwnd, id);
    WaitFor([&] { return !IsWindow(hwnd); }, "the sheet to close");
}

SaveAs::SaveAs(App &app) : hwnd(app.Dialog(SAVE_CAPTION)), field(GetDlgItem(hwnd, edt1))
{
    if (!field)
        field = FindEdit(GetDlgItem(hwnd, cmb13));
    if (!field)
        throw Error("Save As has no file name field");
}

/* CB_SETCURSEL does not notify: tell the dialog as a choice by hand would. */
void SaveAs::Pair(int index)
{
    HWND combo = GetDlgItem(hwnd, cmb1);
    SendMessageA(combo, CB_SETCURSEL, index - 1, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(cmb1, code), (LPARAM)combo);
}

}  // namespace vt
