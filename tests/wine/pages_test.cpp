/* The filter-options sheet run for real: the menu command opens the modal
   sheet, and a timer inside its message loop plays the operator. */
#include "tests/wine/wintest.h"
#include <commctrl.h>
#include <prsht.h>
#include <functional>
#include <string.h>
#include <vector>

namespace {

std::function<void(HWND)> s_operator;
bool s_sheetClosed;

HWND FindSheet()
{
    HWND hwnd = FindWindowA(NULL, "ACPI Filter Options");
    return hwnd && GetWindowThreadProcessId(hwnd, NULL) == GetCurrentThreadId() ? hwnd : NULL;
}

void Close(HWND sheet, int button)
{
    PropSheet_PressButton(sheet, button);
    s_sheetClosed = true;
}

void CALLBACK PlayOperator(HWND, UINT, UINT_PTR idTimer, DWORD)
{
    HWND sheet = FindSheet();
    if (!sheet)
        return;                 /* not up yet: the timer fires again */
    KillTimer(NULL, idTimer);
    s_operator(sheet);
    if (!s_sheetClosed)         /* a failed check ended the script early */
        PropSheet_PressButton(sheet, PSBTN_CANCEL);
}

void SetEntries(std::initializer_list<std::pair<int, uint8_t>> entries)
{
    for (auto &e : entries)
        g_TestSelection[e.first] = e.second;
}

HWND Item(HWND page, int id)
{
    HWND hwnd = GetDlgItem(page, id);
    EXPECT_NE(hwnd, (HWND)NULL) << "control " << id;
    return hwnd;
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(Item(page, id)) != FALSE; }
bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
void Click(HWND page, int id) { SendMessageA(Item(page, id), BM_CLICK, 0, 0); }

HWND ShowPage(HWND sheet, int index)
{
    PropSheet_SetCurSel(sheet, NULL, index);
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    EXPECT_EQ(page, PropSheet_IndexToHwnd(sheet, index));
    return page;
}

std::string FieldText(HWND page) { return WindowText(Item(page, IDC_DUTY_PERCENT)); }
void SetField(HWND page, const char *text) { SetDlgItemTextA(page, IDC_DUTY_PERCENT, text); }
void Type(HWND page, const char *keys)
{
    for (; *keys; keys++)
        SendMessageA(Item(page, IDC_DUTY_PERCENT), WM_CHAR, (WPARAM)*keys, 0);
}

/* Child ids in creation order, which is the template's and the tab order. */
std::vector<int> ChildIds(HWND page)
{
    std::vector<int> ids;
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        ids.push_back((short)GetDlgCtrlID(c));
    return ids;
}

class FilterSheet : public MainWindowTest {
protected:
    uint8_t saved[SEL_COUNT];
    void SetUp() override { memcpy(saved, g_TestSelection, sizeof saved); MainWindowTest::SetUp(); }
    void TearDown() override { MainWindowTest::TearDown(); memcpy(g_TestSelection, saved, sizeof saved); }

    /* Opens the sheet through the Test menu and returns when it has closed. */
    void Run(std::function<void(HWND)> script)
    {
        s_operator = std::move(script);
        s_sheetClosed = false;
        ASSERT_NE(SetTimer(NULL, 0, 20, PlayOperator), 0u);
        PostMessageA(hwndMain, WM_COMMAND, IDM_FILTER, 0);
        PumpMessages();
        EXPECT_EQ(FindSheet(), (HWND)NULL) << "the sheet stayed open";
    }

    bool LogHas(const std::string &line) { return WindowText(g_hwndLog).find(line) != std::string::npos; }
};

struct CheckAndDeps { int page, check; std::vector<int> deps; };

const CheckAndDeps kChecks[] = {
    { 0, IDC_C1, { IDC_C1_TEST } }, { 0, IDC_C2, { IDC_C2_TEST } }, { 0, IDC_C3, { IDC_C3_TEST } },
    { 1, IDC_S1, { IDC_S1_TEST } }, { 1, IDC_S2, { IDC_S2_TEST } },
    { 1, IDC_S3, { IDC_S3_TEST } }, { 1, IDC_S4, { IDC_S4_TEST } },
    { 2, IDC_FAN,  { IDC_FAN_ON_TEST, IDC_FAN_OFF_TEST, IDC_FAN_ON_LABEL, IDC_FAN_OFF_LABEL } },
    { 2, IDC_DUTY, { IDC_DUTY_PERCENT, IDC_DUTY_SPIN, IDC_DUTY_TEST, IDC_DUTY_LABEL } },
};

}  // namespace

TEST_F(FilterSheet, OpensWithFourTitledTabsOkCancelAndTemplateTabOrder)
{
    Run([](HWND sheet) {
        EXPECT_EQ(WindowText(sheet), "ACPI Filter Options");
        HWND tab = PropSheet_GetTabControl(sheet);
        ASSERT_EQ(TabCtrl_GetItemCount(tab), 4);
        EXPECT_EQ(TabCtrl_GetCurSel(tab), 0);
        const char *titles[] = { "Processor States", "System States", "Thermal Control", "RTC Alarm" };
        for (int i = 0; i < 4; i++) {
            char text[64] = "";
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ASSERT_TRUE(TabCtrl_GetItem(tab, i, &item));
            EXPECT_STREQ(text, titles[i]);
        }
        /* Icon id 0: no tab carries a picture. */
        HIMAGELIST icons = TabCtrl_GetImageList(tab);
        EXPECT_TRUE(!icons || ImageList_GetImageCount(icons) == 0);
        HWND apply = GetDlgItem(sheet, 0x3021);   /* the sheet's Apply button */
        EXPECT_TRUE(!apply || !IsWindowVisible(apply));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, IDOK)));
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, IDCANCEL)));

        /* Only the start page exists until another is shown. */
        EXPECT_EQ(PropSheet_IndexToHwnd(sheet, 1), (HWND)NULL);
        EXPECT_EQ(ChildIds(ShowPage(sheet, 0)),
                  (std::vector<int>{ 1000, 1003, 1001, 1004, 1002, 1005, -1 }));
        EXPECT_EQ(ChildIds(ShowPage(sheet, 1)),
                  (std::vector<int>{ 1006, 1010, 1007, 1011, 1008, 1012, 1009, 1013, -1 }));
        EXPECT_EQ(ChildIds(ShowPage(sheet, 2)),
                  (std::vector<int>{ 1014, 1015, 1016, 1021, 1022, -1, 1017, 1018, 1019, 1023, 1020, -1 }));
        Close(sheet, PSBTN_CANCEL);
    });
}

TEST_F(FilterSheet, EntriesSetBoxesAndDependentsAndOnlyEnabledBoxesAreStored)
{
    /* All 0: every box enabled and unchecked, every dependent disabled. */
    for (auto &e : g_TestSelection) e = SELECT_SKIP;
    Run([](HWND sheet) {
        for (const auto &c : kChecks) {
            HWND page = ShowPage(sheet, c.page);
            EXPECT_TRUE(Enabled(page, c.check)) << c.check;
            EXPECT_FALSE(Checked(page, c.check)) << c.check;
            for (int dep : c.deps)
                EXPECT_FALSE(Enabled(page, dep)) << dep;
        }
        EXPECT_EQ(FieldText(ShowPage(sheet, 2)), "");
        Close(sheet, PSBTN_OK);
    });
    for (auto e : g_TestSelection) EXPECT_EQ(e, SELECT_SKIP);

    /* Unsupported (2) or a hand-edited 7: disabled, unchecked, dependents
       disabled, and OK keeps the value; enabled boxes store what they show. */
    SetEntries({ { SEL_C1, 2 }, { SEL_C2, 1 }, { SEL_C3, 7 }, { SEL_S1, 1 }, { SEL_S2, 7 },
                 { SEL_S3, 0 }, { SEL_S4, 2 }, { SEL_FAN, 1 }, { SEL_DUTY, 2 }, { SEL_RTC, 0 } });
    Run([](HWND sheet) {
        HWND cpu = ShowPage(sheet, 0);
        EXPECT_FALSE(Enabled(cpu, IDC_C1));
        EXPECT_FALSE(Checked(cpu, IDC_C1));
        EXPECT_FALSE(Enabled(cpu, IDC_C1_TEST));
        EXPECT_TRUE(Checked(cpu, IDC_C2));
        EXPECT_TRUE(Enabled(cpu, IDC_C2_TEST));
        EXPECT_FALSE(Enabled(cpu, IDC_C3));
        EXPECT_FALSE(Enabled(cpu, IDC_C3_TEST));
        Click(cpu, IDC_C2);                      /* C2 off */

        HWND sys = ShowPage(sheet, 1);
        EXPECT_TRUE(Checked(sys, IDC_S1));
        EXPECT_FALSE(Enabled(sys, IDC_S2));
        EXPECT_FALSE(Enabled(sys, IDC_S2_TEST));
        EXPECT_FALSE(Enabled(sys, IDC_S4));
        Click(sys, IDC_S3);                      /* S3 on */

        HWND thermal = ShowPage(sheet, 2);
        EXPECT_TRUE(Checked(thermal, IDC_FAN));
        EXPECT_TRUE(Enabled(thermal, IDC_FAN_ON_LABEL));
        EXPECT_FALSE(Enabled(thermal, IDC_DUTY));
        for (int dep : { IDC_DUTY_PERCENT, IDC_DUTY_SPIN, IDC_DUTY_TEST, IDC_DUTY_LABEL })
            EXPECT_FALSE(Enabled(thermal, dep)) << dep;
        Close(sheet, PSBTN_OK);
    });
    EXPECT_EQ(g_TestSelection[SEL_C1], 2);
    EXPECT_EQ(g_TestSelection[SEL_C2], SELECT_SKIP);
    EXPECT_EQ(g_TestSelection[SEL_C3], 7);
    EXPECT_EQ(g_TestSelection[SEL_S1], SELECT_RUN);
    EXPECT_EQ(g_TestSelection[SEL_S2], 7);
    EXPECT_EQ(g_TestSelection[SEL_S3], SELECT_RUN);
    EXPECT_EQ(g_TestSelection[SEL_S4], 2);
    EXPECT_EQ(g_TestSelection[SEL_FAN], SELECT_RUN);
    EXPECT_EQ(g_TestSelection[SEL_DUTY], 2);
}

TEST_F(FilterSheet, CheckingTogglesDependentsAndTestButtonsFireWhateverOkOrCancel)
{
    for (auto &e : g_TestSelection) e = SELECT_SKIP;
    Run([this](HWND sheet) {
        for (const auto &c : kChecks) {
            HWND page = ShowPage(sheet, c.page);
            Click(page, c.check);
            for (int dep : c.deps) EXPECT_TRUE(Enabled(page, dep)) << dep;
            Click(page, c.check);
            for (int dep : c.deps) EXPECT_FALSE(Enabled(page, dep)) << dep;
        }
        /* Fire C2, S1, S4 and both fan buttons, then Cancel. */
        HWND cpu = ShowPage(sheet, 0);
        Click(cpu, IDC_C2);
        Click(cpu, IDC_C2_TEST);
        HWND sys = ShowPage(sheet, 1);
        Click(sys, IDC_S1);
        Click(sys, IDC_S1_TEST);
        Click(sys, IDC_S4);
        Click(sys, IDC_S4_TEST);
        HWND thermal = ShowPage(sheet, 2);
        Click(thermal, IDC_FAN);
        Click(thermal, IDC_FAN_ON_TEST);
        Click(thermal, IDC_FAN_OFF_TEST);
        Close(sheet, PSBTN_CANCEL);
    });
    for (auto e : g_TestSelection) EXPECT_EQ(e, SELECT_SKIP);
    /* No device in this prefix: each request fails and says so after its line. */
    EXPECT_TRUE(LogHas("Placing the processor into C2\r\n"
                       "The driver request IOCTL_SET_CPU_STATE failed with system error 6.\r\n"));
    EXPECT_TRUE(LogHas("Placing the System into S1\r\n"
                       "The driver request IOCTL_SET_SLEEP_STATE failed with system error 6.\r\n"));
    EXPECT_TRUE(LogHas("Placing the System into S4\r\n"));
    EXPECT_TRUE(LogHas("Turning the fan ON\r\nThe driver request IOCTL_SET_FAN failed"));
    EXPECT_TRUE(LogHas("Turning the fan OFF\r\nThe driver request IOCTL_SET_FAN failed"));
    EXPECT_FALSE(LogHas("into C1")) << "a button that was not pressed fired";
}

TEST_F(FilterSheet, OkWithoutShowingAPageLeavesItsEntries)
{
    SetEntries({ { SEL_C1, 0 }, { SEL_C2, 0 }, { SEL_C3, 0 }, { SEL_S1, 1 }, { SEL_S2, 0 },
                 { SEL_S3, 1 }, { SEL_S4, 0 }, { SEL_FAN, 1 }, { SEL_DUTY, 0 } });
    Run([](HWND sheet) {
        Click(PropSheet_GetCurrentPageHwnd(sheet), IDC_C3);
        EXPECT_EQ(PropSheet_IndexToHwnd(sheet, 1), (HWND)NULL);
        EXPECT_EQ(PropSheet_IndexToHwnd(sheet, 2), (HWND)NULL);
        Close(sheet, PSBTN_OK);
    });
    EXPECT_EQ(g_TestSelection[SEL_C3], SELECT_RUN);
    EXPECT_EQ(g_TestSelection[SEL_S1], 1);
    EXPECT_EQ(g_TestSelection[SEL_S3], 1);
    EXPECT_EQ(g_TestSelection[SEL_S4], 0);
    EXPECT_EQ(g_TestSelection[SEL_FAN], 1);
    EXPECT_EQ(g_TestSelection[SEL_DUTY], 0);
}

TEST_F(FilterSheet, PercentFieldIsBoundedToHundredAndTheButtonSendsWhatItReads)
{
    SetEntries({ { SEL_FAN, 0 }, { SEL_DUTY, 1 } });
    Run([](HWND sheet) {
        HWND page = ShowPage(sheet, 2);
        EXPECT_EQ(FieldText(page), "") << "the page wrote a value into the field";
        int low = 0, high = 0;
        SendMessageA(Item(page, IDC_DUTY_SPIN), UDM_GETRANGE32, (WPARAM)&low, (LPARAM)&high);
        EXPECT_EQ(low, 1);
        EXPECT_EQ(high, 100);

        Type(page, "150");
        EXPECT_EQ(FieldText(page), "100");
        SetField(page, "100");
        EXPECT_EQ(FieldText(page), "100");
        SetField(page, "0");
        EXPECT_EQ(FieldText(page), "0");
        SetField(page, "99999999999");            /* too large to read: stays */
        EXPECT_EQ(FieldText(page), "99999999999");

        /* The arrow keys step within 1..100. */
        HWND field = Item(page, IDC_DUTY_PERCENT);
        SetField(page, "100");
        SendMessageA(field, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(FieldText(page), "100");
        SetField(page, "1");
        SendMessageA(field, WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(FieldText(page), "1");
        SetField(page, "41");
        SendMessageA(field, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(FieldText(page), "42");

        Click(page, IDC_DUTY_TEST);
        SetField(page, "");
        Click(page, IDC_DUTY_TEST);
        Close(sheet, PSBTN_OK);
    });
    EXPECT_TRUE(LogHas("Setting the CPU duty cycle to 42%\r\n"
                       "The driver request IOCTL_SET_DUTY_CYCLE failed with system error 6.\r\n"
                       "Setting the CPU duty cycle to 0%\r\n"));
    EXPECT_EQ(g_TestSelection[SEL_DUTY], SELECT_RUN);
}

TEST_F(FilterSheet, SecondOpeningShowsStoredEntriesAndAnEmptyField)
{
    SetEntries({ { SEL_FAN, 0 }, { SEL_DUTY, 0 } });
    Run([](HWND sheet) {
        HWND page = ShowPage(sheet, 2);
        Click(page, IDC_FAN);
        Click(page, IDC_DUTY);
        Type(page, "37");
        Close(sheet, PSBTN_OK);
    });
    ASSERT_EQ(g_TestSelection[SEL_FAN], SELECT_RUN);
    ASSERT_EQ(g_TestSelection[SEL_DUTY], SELECT_RUN);
    Run([](HWND sheet) {
        HWND page = ShowPage(sheet, 2);
        EXPECT_TRUE(Checked(page, IDC_FAN));
        EXPECT_TRUE(Checked(page, IDC_DUTY));
        EXPECT_TRUE(Enabled(page, IDC_DUTY_PERCENT));
        EXPECT_EQ(FieldText(page), "");
        Click(page, IDC_FAN);                     /* changed, then cancelled */
        Close(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(g_TestSelection[SEL_FAN], SELECT_RUN);
}
