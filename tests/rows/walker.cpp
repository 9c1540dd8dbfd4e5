/* The steps of the rows and the soak, and one row played and compared. */
#include "tests/rows/rows.h"
#include "res/resource.h"
#include "res/texts.h"
#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <fstream>
#include <sstream>

using namespace vt;

namespace {

const char kSaveDir[] = "C:\\save\\";

const struct { const char *name; int id; } kControls[] = {
    {"C1", IDC_C1}, {"C2", IDC_C2}, {"C3", IDC_C3}, {"C1T", IDC_C1_TEST}, {"C2T", IDC_C2_TEST},
    {"C3T", IDC_C3_TEST}, {"S1", IDC_S1}, {"S2", IDC_S2}, {"S3", IDC_S3}, {"S4", IDC_S4},
    {"S1T", IDC_S1_TEST}, {"S2T", IDC_S2_TEST}, {"S3T", IDC_S3_TEST}, {"S4T", IDC_S4_TEST},
    {"FAN", IDC_FAN}, {"FANON", IDC_FAN_ON_TEST}, {"FANOFF", IDC_FAN_OFF_TEST},
    {"FANONL", IDC_FAN_ON_LABEL}, {"FANOFFL", IDC_FAN_OFF_LABEL}, {"DUTY", IDC_DUTY},
    {"PCT", IDC_DUTY_PERCENT}, {"SPIN", IDC_DUTY_SPIN}, {"DUTYT", IDC_DUTY_TEST},
    {"DUTYL", IDC_DUTY_LABEL}, {"RTC", IDC_RTC}, {"HOUR", IDC_RTC_HOUR}, {"MIN", IDC_RTC_MINUTE},
    {"SEC", IDC_RTC_SECOND}, {"AMPM", IDC_RTC_AMPM}, {"RSPIN", IDC_RTC_SPIN},
    {"SET", IDC_RTC_SET_TEST}, {"GET", IDC_RTC_GET_TEST}, {"GETL", IDC_RTC_GET_LABEL},
    {"COLON1", IDC_RTC_COLON1}, {"COLON2", IDC_RTC_COLON2},
};

int Id(const std::string &name)
{
    for (const auto &c : kControls)
        if (name == c.name)
            return c.id;
    throw Error("no control named " + name);
}

std::string NameOf(int id)
{
    for (const auto &c : kControls)
        if (id == c.id)
            return c.name;
    return std::to_string(id);
}

/* A control of the filter sheet's current page. */
HWND Control(Play &p, int id)
{
    HWND c = GetDlgItem((HWND)SendMessageA(p.sheet, PSM_GETCURRENTPAGEHWND, 0, 0), id);
    if (!c)
        throw Error("no control " + NameOf(id) + " on the page");
    return c;
}

/* Keys into a field, its whole text replaced, one WM_CHAR each; none: a Backspace, clearing it. */
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

/* The first Edit among a window's descendants: Save As's name field where it is a combo box's. */
HWND FindEdit(HWND parent)
{
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (HWND edit = lstrcmpiA(cls, "Edit") == 0 ? c : FindEdit(c))
            return edit;
    }
    return NULL;
}

/* "L*300": the character before '*' repeated. */
std::string Expand(std::string s)
{
    for (size_t star; (star = s.find('*')) != std::string::npos && star > 0;) {
        size_t end = s.find_first_not_of("0123456789", star + 1);
        int n = std::stoi(s.substr(star + 1, end - star - 1));
        s.replace(star - 1, (end == std::string::npos ? s.size() : end) - star + 1, n, s[star - 1]);
    }
    return s;
}

/* Runs of more than five equal characters written as "L*300" again. */
std::string Squeeze(const std::string &s)
{
    std::string out;
    for (size_t i = 0, j; i < s.size(); i = j) {
        for (j = i; j < s.size() && s[j] == s[i]; j++) {}
        out += j - i > 5 ? s.substr(i, 1) + "*" + std::to_string(j - i) : s.substr(i, j - i);
    }
    return out;
}

/* A saved file: "log" when it is the pane's text, the RTF's looks, else its text. */
std::string Saved(Play &p, const std::string &name)
{
    std::string text = ReadFile(kSaveDir + name);
    if (text == Text(p.app->pane))
        return "log";
    if (text.compare(0, 6, "{\\rtf1") != 0)
        return Squeeze(text);
    std::string looks = "rtf";
    for (const char *part : {"\\red255\\green0\\blue0", "\\red0\\green127\\blue255", "skipped..."})
        looks += text.find(part) != std::string::npos ? std::string(" ") + part : "";
    for (size_t at = 0; (at = text.find("\\b", at)) != std::string::npos; at += 2)
        if (!islower((unsigned char)text[at + 2]))
            return looks + " bold";
    return looks;
}

void Files(Play &p)
{
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((std::string(kSaveDir) + "*").c_str(), &fd);
    std::vector<std::string> found;
    for (BOOL more = f != INVALID_HANDLE_VALUE; more; more = FindNextFileA(f, &fd)) {
        std::string n = fd.cFileName;
        if (n != "." && n != "..")
            found.push_back(Squeeze(n) + ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "/" : "=" + Saved(p, n)));
    }
    FindClose(f);
    std::sort(found.begin(), found.end());
    p.seen.push_back(found.empty() ? "no files" : "");
    for (const std::string &s : found)
        p.seen.back() += (p.seen.back().empty() ? "" : " ") + s;
}

void AnswerBox(Play &p, char key)
{
    Box box = p.app->NextBox();
    bool ours = box.caption == T(IDS_MSGCAPTION);
    if (key == 'O' || !ours)
        p.seen.push_back(box.caption + ": " + box.text);
    else if (box.owner != p.app->main || box.buttons != std::vector<int>{IDYES, IDNO})
        p.seen.push_back("not a Yes/No box of the main window: " + box.text);
    else
        p.seen.push_back(box.text);
    p.app->Answer(box, key == 'Y' ? IDYES : key == 'N' ? IDNO : IDOK);
}

/* A second copy of the program: it must end at once and open no window. */
std::string SecondCopy(App &app)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + g_program + "\"";
    DWORD code = STILL_ACTIVE;
    if (CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi) && WaitForSingleObject(pi.hProcess, kWait) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    app.Settle();
    return "second=" + std::to_string(code) +
           (FindWindowExA(NULL, app.main, T(IDS_CLASSNAME).c_str(), NULL) ? " and a second window" : "");
}

std::string Fit(App &app)
{
    MoveWindow(app.main, 0, 0, 560, 300, TRUE);
    app.Settle();
    RECT client, pane;
    GetClientRect(app.main, &client);
    GetWindowRect(app.pane, &pane);
    MapWindowPoints(NULL, app.main, (POINT *)&pane, 2);
    return EqualRect(&client, &pane) ? "fits" : "pane does not fill the window";
}

std::string Spin(Play &p, int id)
{
    PostMessageA(Control(p, id), WM_SETFOCUS, 0, 0);   /* as a click into it */
    p.app->Settle();
    HWND spin = Control(p, IDC_RTC_SPIN);
    LRESULT range = SendMessageA(spin, UDM_GETRANGE, 0, 0);
    HWND buddy = (HWND)SendMessageA(spin, UDM_GETBUDDY, 0, 0);
    return "spin " + (buddy ? NameOf(GetDlgCtrlID(buddy)) : "-") + " " + std::to_string(HIWORD(range)) + "-" +
           std::to_string(LOWORD(range));
}

}  // namespace

void Step(Play &p, const std::string &step)
{
    App &app = *p.app;
    size_t colon = step.find(':'), eq = step.find('=');
    std::string op = step.substr(0, colon), arg = colon == std::string::npos ? "" : step.substr(colon + 1);
    std::string id = arg.substr(0, arg.find('=')), text = eq == std::string::npos ? "" : step.substr(eq + 1);
    HWND c = (op == "c" || op == "t" || op == "s" || op == "top" || op == "r" || op == "?" || op == "paint") ? Control(p, Id(id)) : NULL;
    if (op == "start") app.Menu(IDM_START);
    else if (op == "filter") {
        app.Menu(IDM_FILTER);
        p.sheet = app.Dialog(FILTER_CAPTION);
        WaitFor([&] { return SendMessageA(p.sheet, PSM_GETCURRENTPAGEHWND, 0, 0) != 0; }, "the first page");
    } else if (op == "saveas") {
        app.Menu(IDM_SAVEAS);
        p.save = app.Dialog(SAVE_CAPTION);
        if (!(p.field = GetDlgItem(p.save, edt1)) && !(p.field = FindEdit(GetDlgItem(p.save, cmb13))))
            throw Error("Save As has no file name field");
    }
    else if (op == "about") {
        app.Menu(IDM_ABOUT);
        HWND about = app.Dialog("About " ABOUT_NAME);
        p.seen.push_back("about");
        PostMessageA(about, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(about); }, "the About box to close");
    } else if (op == "exit" || op == "close") {
        if (app.main)
            p.log = app.Log();
        else
            WaitFor([&] { return app.Exited() != STILL_ACTIVE; }, "the program to end");
        if (DWORD code = app.main ? app.End(op == "close") : app.Exited())
            p.seen.push_back("exit=" + std::to_string(code));
    } else if (op == "restart") {
        app.End(false);
        p.app.reset(new App());
    } else if (op == "journal") p.seen.push_back("journal " + std::to_string(Journal().size()));
    else if (op == "Y" || op == "N" || op == "O") AnswerBox(p, op[0]);
    else if (op.size() == 2 && op[0] == 'p') {
        SendMessageA(p.sheet, PSM_SETCURSEL, op[1] - '0', 0);
        HWND tabs = (HWND)SendMessageA(p.sheet, PSM_GETTABCONTROL, 0, 0);
        WaitFor([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == op[1] - '0'; }, "page " + op);
    } else if (op == "c") {
        if (!IsWindowEnabled(c) || !IsWindowVisible(c))
            throw Error(id + " cannot be clicked: disabled or hidden");
        PostMessageA(c, BM_CLICK, 0, 0);
        app.Settle();
    }
    else if (op == "t") Keys(app, c, Expand(text));
    else if (op == "s") { SendMessageA(c, WM_SETTEXT, 0, (LPARAM)text.c_str()); app.Settle(); }
    else if (op == "top") SendMessageA(c, LB_SETTOPINDEX, std::stoi(text), 0);
    else if (op == "r") p.seen.push_back(id + "=" + Text(c));
    else if (op == "?")
        p.seen.push_back(id + (IsWindowEnabled(c) ? "" : " disabled") +
                         (SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? " checked" : ""));
    else if (op == "spin") p.seen.push_back(Spin(p, Id(arg)));
    else if (op == "paint") p.seen.push_back(arg + " " + Pixel(c));
    else if (op == "clock") {   /* the RTC page's time fields against the local time, a minute either way */
        SYSTEMTIME st;
        GetLocalTime(&st);
        auto field = [&](int id) { return (int)GetDlgItemInt(GetParent(Control(p, id)), id, NULL, FALSE); };
        int off = (field(IDC_RTC_HOUR) % 12 + 12 * (int)SendMessageA(Control(p, IDC_RTC_AMPM), LB_GETTOPINDEX, 0, 0)) * 3600 +
                  field(IDC_RTC_MINUTE) * 60 + field(IDC_RTC_SECOND) - (st.wHour * 3600 + st.wMinute * 60 + st.wSecond);
        p.seen.push_back((off + 86400 + 60) % 86400 <= 120 ? "the time now" : "not the time now");
    }
    else if (op == "ok" || op == "cancel") {
        Press(app, p.sheet, op == "ok" ? IDOK : IDCANCEL);
        WaitFor([&] { return !IsWindow(p.sheet); }, "the sheet to close");
        p.sheet = NULL;
    } else if (op == "name") Keys(app, p.field, Expand(arg));
    else if (op == "pair") {   /* CB_SETCURSEL does not notify: the dialog is told as a choice by hand would */
        HWND combo = GetDlgItem(p.save, cmb1);
        SendMessageA(combo, CB_SETCURSEL, std::stoi(arg) - 1, 0);
        for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
            SendMessageA(p.save, WM_COMMAND, MAKEWPARAM(cmb1, code), (LPARAM)combo);
    } else if (op == "save" || op == "dcancel") Press(app, p.save, op == "save" ? IDOK : IDCANCEL);
    else if (op == "field") p.seen.push_back("field=" + Squeeze(Text(p.field)));
    else if (op == "mkdir") CreateDirectoryA((kSaveDir + arg).c_str(), NULL);
    else if (op == "put") std::ofstream(kSaveDir + id, std::ios::binary) << text;
    else if (op == "link") Unix("ln -s '" + text + "' \"$WINEPREFIX/drive_c/save/" + id + "\"");
    else if (op == "files") Files(p);
    else if (op == "sel") SendMessageA(app.pane, EM_SETSEL, 2, GetWindowTextLengthA(app.pane) - 3);
    else if (op == "second") p.seen.push_back(SecondCopy(app));
    else if (op == "size") p.seen.push_back(Fit(app));
    else if (op == "shown")
        p.seen.push_back(IsIconic(app.main) ? "minimized" : IsZoomed(app.main) ? "maximized" : "normal");
    else if (op == "focus") {
        GUITHREADINFO gti = {};
        gti.cbSize = sizeof gti;
        GetGUIThreadInfo(GetWindowThreadProcessId(app.main, NULL), &gti);
        p.seen.push_back(gti.hwndFocus == app.pane ? "focus on the pane" : "focus elsewhere");
    } else if (op == "limit") p.seen.push_back("limit=" + std::to_string(SendMessageA(app.pane, EM_GETLIMITTEXT, 0, 0)));
    else if (op == "trace") for (const std::string &t : app.Trace()) p.seen.push_back("trace " + t);
    else if (op == "shot") Shot(p.sheet ? p.sheet : app.main, arg);
    else throw Error("unknown step " + step);
}
