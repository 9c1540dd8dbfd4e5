/* The operator soak: a long session of random operator actions against
   VERUVEZ.EXE and the stand-in driver, from a seed it prints.  Each step
   picks one action that an operator could take in what the program shows
   (menu commands, sheet pages, check boxes, "test" buttons, typing into the
   percentage and time fields, up-down clicks, OK and Cancel, answering the
   box that is up, names in the Save As dialog); between steps the driver's
   fault injection is switched on or off.  After every step the program must
   be alive and answering, its log must only have grown, and every request
   in the driver's journal must have its lines in the log (see ledger.h).
   At the end the close box ends it with exit code 0, and the settings file
   holds the ten keys as the session left them.

   A failure names the seed, the step and the last 20 steps; run that seed
   again with VMT_SOAK_SEED and VMT_SOAK_STEPS (docs/soak.md). */
#include "tests/blackbox/blackbox.h"
#include "tests/soak/ledger.h"
#include "tests/soak/soak.h"
#include "driver/acpiioctl.h"
#include "selection/selectionrules.h"
#include <commctrl.h>
#include <prsht.h>
#include <deque>
#include <random>
#include <set>
#include <sstream>

namespace {

enum Page { PROCESSOR, SYSTEM, THERMAL, RTC, PAGE_COUNT };

struct CheckBox { int id, entry; };

/* What an operator can reach on each page. */
struct PageControls {
    const char *name;
    std::vector<CheckBox> checks;
    std::vector<int> buttons;      /* "test" buttons */
    std::vector<int> fields;       /* fields to type into */
    std::vector<int> focusables;   /* fields and lists a click gives the focus */
    int spin;                      /* its up-down control, 0 for none */
};

const PageControls kPages[PAGE_COUNT] = {
    {PROCESSOR_PAGE_TITLE, {{IDC_C1, SEL_C1}, {IDC_C2, SEL_C2}, {IDC_C3, SEL_C3}},
     {IDC_C1_TEST, IDC_C2_TEST, IDC_C3_TEST}, {}, {}, 0},
    {SYSTEM_PAGE_TITLE, {{IDC_S1, SEL_S1}, {IDC_S2, SEL_S2}, {IDC_S3, SEL_S3}, {IDC_S4, SEL_S4}},
     {IDC_S1_TEST, IDC_S2_TEST, IDC_S3_TEST, IDC_S4_TEST}, {}, {}, 0},
    {THERMAL_PAGE_TITLE, {{IDC_FAN, SEL_FAN}, {IDC_DUTY, SEL_DUTY}},
     {IDC_FAN_ON_TEST, IDC_FAN_OFF_TEST, IDC_DUTY_TEST}, {IDC_DUTY_PERCENT}, {IDC_DUTY_PERCENT}, IDC_DUTY_SPIN},
    {RTC_PAGE_TITLE, {{IDC_RTC, SEL_RTC}}, {IDC_RTC_SET_TEST, IDC_RTC_GET_TEST},
     {IDC_RTC_HOUR, IDC_RTC_MINUTE, IDC_RTC_SECOND},
     {IDC_RTC_HOUR, IDC_RTC_MINUTE, IDC_RTC_SECOND, IDC_RTC_AMPM}, IDC_RTC_SPIN},
};

/* The codes whose faults the program can meet after start-up. */
const DWORD kFaultCodes[] = {IOCTL_SET_SLEEP_STATE, IOCTL_SET_CPU_STATE, IOCTL_SET_FAN,
                             IOCTL_SET_DUTY_CYCLE, IOCTL_SET_RTC_ALARM, IOCTL_GET_RTC_ALARM};
/* The driver's settings of fault injection. */
const char *const kFaultParameters[] = {"FailCode", "FailStatus", "ShortReply"};
/* Statuses an injected fault completes with (each with its known system error). */
const DWORD kFaultStatuses[] = {0xC0000001, 0xC0000185, 0xC000009A, 0x80000005};

const DWORD kAnswerMs = 5000;   /* the main window answers a sent message within this */
const size_t kKeptSteps = 20;

std::string Hex(DWORD v) { return bb::Format("0x%08lX", (unsigned long)v); }

std::string Shortened(const std::string &s, size_t n = 60)
{
    std::string q = bb::Quoted(s.size() > n ? s.substr(0, n) + "..." : s);
    return s.size() > n ? q + bb::Format(" (%u characters)", (unsigned)s.size()) : q;
}

enum class Screen { MAIN, BOX, SHEET, SAVE_AS, ABOUT };

struct Scene {
    Screen screen = Screen::MAIN;
    HWND hwnd = NULL;
};

class Soak {
public:
    Soak(uint32_t seed, int steps) : rng_(seed), seed_(seed), steps_(steps) {}
    /* Runs the session; "" when every step kept every invariant. */
    std::string Run();

private:
    /* ---- random choices ---- */
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    template <class T> const T &PickOf(const std::vector<T> &v) { return v[Pick((int)v.size())]; }
    int Weighted(const std::vector<int> &weights);
    std::string RandomText();
    void NoteKept(const std::string &text);
    std::string RandomSaveName();

    /* ---- the session ---- */
    void Start();
    Scene Look() const;
    std::string Step(const Scene &scene);
    std::string OnMain();
    std::string OnBox(HWND box);
    std::string OnSheet(HWND sheet);
    std::string OnSaveAs(HWND dialog);
    std::string SwitchFault();
    void Record(int step, const std::string &what);
    std::string CheckInvariants();
    std::string Finish();

    /* ---- the sheet ---- */
    void CheckNewPages(HWND sheet);
    void StoreApplied(HWND sheet);
    enum Spot { MIDDLE, UPPER, LOWER };
    void ClickAt(HWND control, Spot spot = MIDDLE) const;

    std::mt19937 rng_;
    uint32_t seed_;
    int steps_;
    std::unique_ptr<bb::Program> app_;
    std::unique_ptr<soak::Ledger> ledger_;
    std::string dir_;                       /* the Save As folder */
    std::vector<std::string> saved_;        /* names typed in Save As */
    int names_ = 0;
    uint8_t model_[SEL_COUNT] = {};         /* the selection table as the program should hold it */
    HWND sheet_ = NULL;                     /* the sheet whose new pages were checked */
    std::set<HWND> checkedPages_;
    std::set<uint32_t> typed_;              /* numbers kept as the operator typed them */
    std::string log_;                       /* the log text after the previous step */
    std::deque<std::string> last_;          /* the last steps, for the report */
    std::map<std::string, int> counts_;     /* actions by kind */
    int faults_ = 0;
};

int Soak::Weighted(const std::vector<int> &weights)
{
    int total = 0;
    for (int w : weights)
        total += w;
    int r = Pick(total);
    for (size_t i = 0; i < weights.size(); i++) {
        if (r < weights[i])
            return (int)i;
        r -= weights[i];
    }
    return (int)weights.size() - 1;
}

/* Digits, letters, long runs, non-ASCII, numbers near every limit, or
   nothing (the field emptied with Backspace). */
std::string Soak::RandomText()
{
    static const char *const kEdges[] = {"0", "1", "11", "12", "13", "59", "60", "99", "100", "101",
                                         "-1", "+7", " 5", "65535", "65595", "2147483647",
                                         "2147483648", "4294967295", "4294967296", "99999999999"};
    std::string s;
    switch (Pick(8)) {
    case 0: s = std::to_string(Pick(1000)); break;
    case 1: for (int i = 0, n = 20 + Pick(200); i < n; i++) s += (char)('0' + Pick(10)); break;
    case 2: for (int i = 0, n = 1 + Pick(8); i < n; i++) s += (char)('a' + Pick(26)); break;
    case 3: for (int i = 0, n = 1 + Pick(6); i < n; i++) s += Chance(0.5) ? (char)('0' + Pick(10)) : (char)('A' + Pick(26)); break;
    case 4: for (int i = 0, n = 1 + Pick(5); i < n; i++) s += (char)(0xC0 + Pick(64)); break;
    case 5: s = "\b"; break;
    default: s = kEdges[Pick((int)(sizeof kEdges / sizeof kEdges[0]))]; break;
    }
    return s;
}

/* The number a field shows after the operator typed into it, as the page
   reads it: a value the program kept as typed counts as the operator's own
   if a request carries it.  (The pages hold every typed value to its
   limits, so none is expected.) */
void Soak::NoteKept(const std::string &text)
{
    const char *p = text.c_str();
    while (*p == ' ' || *p == '+')
        p++;
    if (*p >= '0' && *p <= '9')
        typed_.insert((uint32_t)strtoul(p, nullptr, 10));
}

std::string Soak::RandomSaveName()
{
    static const char *const kExtensions[] = {"", ".txt", ".TXT", ".rtf", ".Rtf", ".doc", ".tx"};
    names_++;
    switch (Pick(10)) {
    case 0: case 1:
        if (!saved_.empty())
            return PickOf(saved_);   /* one saved before: a question about replacing it */
        break;
    case 2: return dir_ + bb::Format("missing%d\\log.txt", names_);   /* no such folder */
    case 3: return dir_ + bb::Format("journ\xE9\xE8-%d.txt", names_);
    case 4: return dir_ + std::string(190 + Pick(70), 'L');           /* near and past the dialog's 256 */
    default: break;
    }
    return dir_ + bb::Format("log%d", names_) + kExtensions[Pick(7)];
}

void Soak::Record(int step, const std::string &what)
{
    last_.push_back(bb::Format("%5d  ", step) + what);
    if (last_.size() > kKeptSteps)
        last_.pop_front();
}

/* ---- the session ---------------------------------------------------------- */

void Soak::Start()
{
    dir_ = bb::TempPath("vmt-soak\\");
    CreateDirectoryA(dir_.c_str(), NULL);

    /* The choices stored from an earlier session (or none: every test
       selected), and which states the driver reports. */
    std::vector<int> stored(SEL_COUNT, 1);
    if (Chance(0.75)) {
        for (int &v : stored)
            v = Pick(2);
        bb::WriteSettings(stored);
    }
    DWORD mask = Chance(0.5) ? ACPI_CAP_ALL : ((DWORD)rng_() & ACPI_CAP_ALL);
    bb::SetDriverParameter("CapabilityMask", mask);
    for (int i = 0; i < SEL_COUNT; i++)
        model_[i] = (uint8_t)stored[i];
    const struct { DWORD bit; int entry; } kMarks[] = {{ACPI_CAP_S1, SEL_S1}, {ACPI_CAP_S2, SEL_S2},
        {ACPI_CAP_S3, SEL_S3}, {ACPI_CAP_C2, SEL_C2}, {ACPI_CAP_C3, SEL_C3}};
    for (const auto &m : kMarks)
        if (!(mask & m.bit))
            model_[m.entry] = SELECT_UNSUPPORTED;
    Record(0, bb::Format("start: settings %s, CapabilityMask %s",
                         stored == std::vector<int>(SEL_COUNT, 1) ? "none (all 1)" : "written",
                         Hex(mask).c_str()));

    std::map<std::string, std::string> names = {
        {"IOCTL_SET_CPU_STATE 1", bb::ProgramText(IDS_C1_NAME)},
        {"IOCTL_SET_CPU_STATE 2", bb::ProgramText(IDS_C2_NAME)},
        {"IOCTL_SET_CPU_STATE 3", bb::ProgramText(IDS_C3_NAME)},
        {"IOCTL_SET_SLEEP_STATE 2", bb::ProgramText(IDS_S1_NAME)},
        {"IOCTL_SET_SLEEP_STATE 3", bb::ProgramText(IDS_S2_NAME)},
        {"IOCTL_SET_SLEEP_STATE 4", bb::ProgramText(IDS_S3_NAME)},
        {"IOCTL_SET_FAN 1", bb::ProgramText(IDS_FANON_NAME)},
        {"IOCTL_SET_FAN 0", bb::ProgramText(IDS_FANOFF_NAME)},
    };
    ledger_.reset(new soak::Ledger(names, bb::ProgramText(IDS_THROTTLE_NAME)));
    app_.reset(new bb::Program());
    log_ = app_->LogText();
}

bool IsMessageBox(HWND hwnd)
{
    if (!GetDlgItem(hwnd, 0xFFFF))
        return false;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string cls = bb::ClassName(c);
        if (lstrcmpiA(cls.c_str(), "Static") != 0 && lstrcmpiA(cls.c_str(), "Button") != 0)
            return false;
    }
    return true;
}

/* What is up: the topmost of the program's dialogs, or only the main window. */
Scene Soak::Look() const
{
    for (HWND hwnd : bb::TopLevelWindows(app_->ProcessId())) {
        if (hwnd == app_->MainWindow() || bb::ClassName(hwnd) != "#32770")
            continue;
        std::string caption = bb::WindowText(hwnd);
        if (caption == "About " ABOUT_NAME)
            return {Screen::ABOUT, hwnd};
        if (IsMessageBox(hwnd))
            return {Screen::BOX, hwnd};
        if (caption == FILTER_CAPTION)
            return {Screen::SHEET, hwnd};
        if (caption == SAVE_CAPTION)
            return {Screen::SAVE_AS, hwnd};
        throw bb::HarnessError("an unknown dialog is up: " + bb::Quoted(caption));
    }
    return {};
}

std::string Soak::Step(const Scene &scene)
{
    switch (scene.screen) {
    case Screen::MAIN:    return OnMain();
    case Screen::BOX:     return OnBox(scene.hwnd);
    case Screen::SHEET:   return OnSheet(scene.hwnd);
    case Screen::SAVE_AS: return OnSaveAs(scene.hwnd);
    case Screen::ABOUT:
        counts_["about: OK"]++;
        bb::Post(scene.hwnd, WM_COMMAND, IDOK, 0, "closing the About box");
        return "About box: OK";
    }
    return "";
}

std::string Soak::OnMain()
{
    static const struct { WORD id; const char *name; int weight; } kMenu[] = {
        {IDM_START, "Test/Start ACPI tess", 15}, {IDM_FILTER, "Test/Filter out tests...", 45},
        {IDM_SAVEAS, "File/Save As...", 8}, {IDM_ABOUT, "Help/About...", 8},
    };
    std::vector<int> weights;
    for (const auto &m : kMenu)
        weights.push_back(m.weight);
    const auto &m = kMenu[Weighted(weights)];
    counts_[std::string("menu: ") + m.name]++;
    app_->Command(m.id);
    return std::string("menu ") + m.name;
}

std::string Soak::OnBox(HWND hwnd)
{
    bb::MessageBoxInfo box = bb::ReadMessageBox(hwnd);
    if (box.buttons.empty())
        throw bb::HarnessError("a message box without buttons: " + box.text);
    int id = PickOf(box.buttons);
    const char *name = id == IDYES ? "Yes" : id == IDNO ? "No" : id == IDOK ? "OK" : id == IDCANCEL ? "Cancel" : "?";
    counts_[std::string("box: ") + name]++;
    bb::PostPress(hwnd, id, "answering a box");
    return "box " + Shortened(box.text) + ": " + name;
}

/* A click as the mouse gives it: in the middle of the control, or in its
   upper or lower half (an up-down's two arrows). */
void Soak::ClickAt(HWND control, Spot spot) const
{
    RECT rc;
    GetClientRect(control, &rc);
    int x = rc.right / 2;
    int y = spot == UPPER ? rc.bottom / 4 : spot == LOWER ? rc.bottom * 3 / 4 : rc.bottom / 2;
    bb::Post(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y), "pressing the mouse button");
    bb::Post(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y), "releasing the mouse button");
}

std::string Soak::OnSheet(HWND hwnd)
{
    CheckNewPages(hwnd);
    bb::PropertySheet sheet(hwnd);
    int page = sheet.CurrentIndex();
    const PageControls &pc = kPages[page];
    auto usable = [&](int id) { HWND h = sheet.Control(id); return IsWindowVisible(h) && IsWindowEnabled(h); };
    auto enabledOf = [&](const std::vector<int> &ids) {
        std::vector<int> out;
        for (int id : ids)
            if (usable(id))
                out.push_back(id);
        return out;
    };
    std::vector<int> checks;
    for (const CheckBox &c : pc.checks)
        checks.push_back(c.id);
    checks = enabledOf(checks);
    std::vector<int> buttons = enabledOf(pc.buttons), fields = enabledOf(pc.fields),
                     focusables = enabledOf(pc.focusables);
    bool spin = pc.spin && usable(pc.spin);
    std::string where = std::string(pc.name) + ": ";

    for (;;) {
        int choice = Weighted({10, 12, 12, 20, 12, 6, 4, 4, 1});
        switch (choice) {
        case 0: {
            int to = Pick(PAGE_COUNT);
            counts_["sheet: page"]++;
            sheet.SelectPage(to);
            return where + "page " + kPages[to].name;
        }
        case 1:
        case 2: {
            const std::vector<int> &ids = choice == 1 ? checks : buttons;
            if (ids.empty())
                continue;
            int id = PickOf(ids);
            std::string kind = choice == 1 ? "check box" : "test button";
            counts_["sheet: " + kind]++;
            sheet.PostClick(id);
            return where + bb::Format("click %s %d", kind.c_str(), id);
        }
        case 3:
            if (fields.empty())
                continue;
            {
                int id = PickOf(fields);
                std::string text = RandomText();
                counts_["sheet: typing"]++;
                ClickAt(sheet.Control(id));
                app_->Settle();
                sheet.TypeText(id, text);
                NoteKept(sheet.Text(id));
                return where + bb::Format("type %s into field %d", Shortened(text).c_str(), id);
            }
        case 4:
            if (!spin)
                continue;
            {
                bool up = Chance(0.5);
                counts_["sheet: up-down"]++;
                ClickAt(sheet.Control(pc.spin), up ? UPPER : LOWER);
                return where + bb::Format("up-down %d: %s arrow", pc.spin, up ? "upper" : "lower");
            }
        case 5:
            if (focusables.empty())
                continue;
            {
                int id = PickOf(focusables);
                counts_["sheet: focus"]++;
                ClickAt(sheet.Control(id));
                return where + bb::Format("click into %d", id);
            }
        case 6:
            counts_["sheet: OK"]++;
            StoreApplied(hwnd);
            bb::PostPress(hwnd, IDOK, "pressing OK");
            return where + "OK";
        case 7:
            counts_["sheet: Cancel"]++;
            bb::PostPress(hwnd, IDCANCEL, "pressing Cancel");
            return where + "Cancel";
        default:
            counts_["sheet: close box"]++;
            bb::Post(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0, "closing the sheet");
            return where + "close box";
        }
    }
}

/* A page shows the table as it stood when the sheet opened: checked for
   1, unchecked for 0, disabled for anything else. */
void Soak::CheckNewPages(HWND sheet)
{
    if (sheet != sheet_) {
        sheet_ = sheet;
        checkedPages_.clear();
    }
    for (int i = 0; i < PAGE_COUNT; i++) {
        HWND page = (HWND)bb::Send(sheet, PSM_INDEXTOHWND, i, 0, "asking the sheet for a page");
        if (!page || !checkedPages_.insert(page).second)
            continue;
        for (const CheckBox &c : kPages[i].checks) {
            HWND box = bb::Control(page, c.id);
            uint8_t v = model_[c.entry];
            if (bb::IsEnabled(box) != (v <= SELECT_RUN) || bb::IsChecked(box) != (v == SELECT_RUN))
                throw bb::HarnessError(bb::Format("page %s shows entry %s (%d) as %s, %s", kPages[i].name,
                                                  SelectionKey(c.entry), v,
                                                  bb::IsEnabled(box) ? "enabled" : "disabled",
                                                  bb::IsChecked(box) ? "checked" : "unchecked"));
        }
    }
}

/* OK stores every enabled box of every page the sheet has created. */
void Soak::StoreApplied(HWND sheet)
{
    for (int i = 0; i < PAGE_COUNT; i++) {
        HWND page = (HWND)bb::Send(sheet, PSM_INDEXTOHWND, i, 0, "asking the sheet for a page");
        if (!page)
            continue;
        for (const CheckBox &c : kPages[i].checks) {
            HWND box = bb::Control(page, c.id);
            if (bb::IsEnabled(box))
                model_[c.entry] = bb::IsChecked(box) ? SELECT_RUN : SELECT_SKIP;
        }
    }
}

std::string Soak::OnSaveAs(HWND hwnd)
{
    if (Chance(0.3)) {
        counts_["save as: Cancel"]++;
        bb::PostPress(hwnd, IDCANCEL, "pressing Cancel");
        return "Save As: Cancel";
    }
    bb::SaveAsDialog dialog(hwnd);
    int pair = 1 + Pick(2);
    std::string name = RandomSaveName();
    dialog.ChooseFilter(pair);
    dialog.TypeFileName(name);
    saved_.push_back(name);
    counts_["save as: Save"]++;
    bb::PostPress(hwnd, IDOK, "pressing Save");
    return bb::Format("Save As: type %s, type %d, Save", Shortened(name, 80).c_str(), pair);
}

/* Between steps: the driver's fault injection on or off. */
std::string Soak::SwitchFault()
{
    std::string what;
    for (const char *name : kFaultParameters)
        bb::DeleteDriverParameter(name);
    switch (Weighted({40, 45, 15})) {
    case 0:
        what = "fault injection off";
        break;
    case 1: {
        DWORD code = kFaultCodes[Pick(6)], status = kFaultStatuses[Pick(4)];
        bb::SetDriverParameter("FailCode", code);
        bb::SetDriverParameter("FailStatus", status);
        what = bb::Format("fault injection: %s fails with %s", AcpiIoctlName(code), Hex(status).c_str());
        break;
    }
    default: {
        DWORD code = kFaultCodes[Pick(6)];
        bb::SetDriverParameter("ShortReply", code);
        what = bb::Format("fault injection: %s answers one byte short", AcpiIoctlName(code));
        break;
    }
    }
    bb::ReloadDriverSettings();
    faults_++;
    return what;
}

std::string Soak::CheckInvariants()
{
    if (!app_->Running())
        return "the program has ended";
    if (!app_->Responsive(kAnswerMs))
        return bb::Format("the main window did not answer a message within %lu ms", (unsigned long)kAnswerMs);
    std::string log = app_->LogText();
    if (log.compare(0, log_.size(), log_) != 0) {
        size_t at = 0;
        while (at < log.size() && at < log_.size() && log[at] == log_[at])
            at++;
        return bb::Format("the log lost or changed text at character %u: it was %s, it is %s", (unsigned)at,
                          Shortened(log_.substr(at)).c_str(), Shortened(log.substr(at)).c_str());
    }
    log_ = log;
    return ledger_->Check(bb::SplitLines(log), bb::ReadJournal(),
                          [&](uint32_t v) { return typed_.count(v) != 0; });
}

/* Dismisses whatever is up, closes the program with the close box and
   checks what it left. */
std::string Soak::Finish()
{
    for (int i = 0;; i++) {
        Scene s = Look();
        if (s.screen == Screen::MAIN)
            break;
        if (i == 200)
            return "the program still shows a window after 200 attempts to close them";
        int id = s.screen == Screen::ABOUT ? IDOK : IDCANCEL;
        if (s.screen == Screen::BOX)
            id = GetDlgItem(s.hwnd, IDNO) ? IDNO : GetDlgItem(s.hwnd, IDOK) ? IDOK : IDCANCEL;
        bb::PostPress(s.hwnd, id, "closing a dialog");
        app_->Settle();
    }
    std::string problem = CheckInvariants();
    if (!problem.empty())
        return problem;
    size_t journal = bb::ReadJournal().size();
    bb::Post(app_->MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0, "the close box");
    DWORD code = app_->WaitForExit();
    if (code != 0)
        return bb::Format("the program ended with exit code %lu", (unsigned long)code);
    if (bb::ReadJournal().size() != journal)
        return "a request at shut-down";
    for (int i = 0; i < SEL_COUNT; i++) {
        long expected = model_[i] == SELECT_UNSUPPORTED ? 1 : model_[i];
        long stored = bb::SettingsValue(SelectionKey(i));
        if (stored != expected)
            return bb::Format("the settings file holds %s=%ld, expected %ld:\n", SelectionKey(i), stored, expected) +
                   bb::ReadSettingsFile();
    }
    return "";
}

std::string Soak::Run()
{
    int step = 0;
    std::string problem;
    DWORD t0 = GetTickCount();
    try {
        Start();
        problem = CheckInvariants();
        for (step = 1; step <= steps_ && problem.empty(); step++) {
            if (Chance(0.08))
                Record(step, SwitchFault());
            Record(step, Step(Look()));
            app_->Settle();
            problem = CheckInvariants();
        }
        if (problem.empty()) {
            Record(step, "dismiss what is up, then the close box");
            problem = Finish();
        }
    } catch (const std::exception &e) {
        problem = e.what();
    }
    double seconds = (GetTickCount() - t0) / 1000.0;
    std::ostringstream out;
    if (!problem.empty()) {
        out << "soak seed " << seed_ << ", step " << std::min(step, steps_ + 1) << " of " << steps_ << ": "
            << problem << "\nthe last steps:\n";
        for (const std::string &s : last_)
            out << "  " << s << "\n";
        out << "replay: VMT_SOAK_SEED=" << seed_ << " VMT_SOAK_STEPS=" << std::min(step, steps_)
            << " ctest --preset ARCH -R '^soak$'\n";
        return out.str();
    }
    printf("soak seed %u: %d steps in %.1f s (%.0f ms a step), %u requests (%u failed, %u with a typed value "
           "out of range), %d fault switches\n", seed_, steps_, seconds, seconds * 1000 / steps_,
           (unsigned)ledger_->Requests(), (unsigned)ledger_->Failed(), (unsigned)ledger_->TypedOutOfRange(),
           faults_);
    for (const auto &c : counts_)
        printf("  %-32s %d\n", c.first.c_str(), c.second);
    return "";
}

/* The driver's settings that the soak changes, back to their defaults
   however it ends. */
struct DriverDefaults {
    DriverDefaults() { Reset(); }
    ~DriverDefaults()
    {
        try {
            Reset();
        } catch (const bb::HarnessError &) {
            /* a destructor throws nothing */
        }
    }
    static void Reset()
    {
        bb::DeleteDriverParameter("CapabilityMask");
        for (const char *name : kFaultParameters)
            bb::DeleteDriverParameter(name);
    }
};

}  // namespace

using SoakTest = BlackBoxTest;

TEST_F(SoakTest, RandomOperatorSession)
{
    printf("soak: seed %u, %d steps\n", soak::g_seed, soak::g_steps);
    fflush(stdout);
    DriverDefaults defaults;
    std::string problem = Soak(soak::g_seed, soak::g_steps).Run();
    EXPECT_EQ(problem, "");
}
