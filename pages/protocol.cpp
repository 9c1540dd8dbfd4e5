/* The page protocol shared by the filter-options pages. */
#include "pages/protocol.h"
#include "driver/device.h"
#include "log/logpane.h"
#include <commctrl.h>
#include <prsht.h>

void PageEnableDependents(HWND hwndPage, const PageCheck *check)
{
    BOOL checked = IsDlgButtonChecked(hwndPage, check->idCheck) == BST_CHECKED;
    for (int i = 0; i < PAGE_MAX_DEPENDENTS && check->dependents[i]; i++)
        EnableWindow(GetDlgItem(hwndPage, check->dependents[i]), checked);
}

void PageInitChecks(HWND hwndPage, const PageLayout *layout)
{
    for (int i = 0; i < layout->nChecks; i++) {
        const PageCheck *check = &layout->checks[i];
        uint8_t value = g_TestSelection[check->entry];
        CheckDlgButton(hwndPage, check->idCheck, value == SELECT_RUN ? BST_CHECKED : BST_UNCHECKED);
        if (value != SELECT_RUN && value != SELECT_SKIP)
            EnableWindow(GetDlgItem(hwndPage, check->idCheck), FALSE);
    }
    for (int i = 0; i < layout->nChecks; i++)
        PageEnableDependents(hwndPage, &layout->checks[i]);
}

const PageCheck *PageFindCheck(const PageLayout *layout, int id)
{
    for (int i = 0; i < layout->nChecks; i++)
        if (layout->checks[i].idCheck == id)
            return &layout->checks[i];
    return NULL;
}

void PageApplyChecks(HWND hwndPage, const PageLayout *layout)
{
    for (int i = 0; i < layout->nChecks; i++) {
        const PageCheck *check = &layout->checks[i];
        if (!IsWindowEnabled(GetDlgItem(hwndPage, check->idCheck)))
            continue;
        g_TestSelection[check->entry] =
            IsDlgButtonChecked(hwndPage, check->idCheck) == BST_CHECKED ? SELECT_RUN : SELECT_SKIP;
    }
}

BOOL PageNotify(HWND hwndPage, const PageLayout *layout, LPARAM lParam)
{
    switch (((const NMHDR *)lParam)->code) {
    case PSN_APPLY:
        PageApplyChecks(hwndPage, layout);
        return TRUE;
    case PSN_RESET:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL PageCheckCommand(HWND hwndPage, const PageLayout *layout, int id)
{
    const PageCheck *check = PageFindCheck(layout, id);
    if (!check)
        return FALSE;
    PageEnableDependents(hwndPage, check);
    return TRUE;
}

BOOL PagePressButton(const PageButton *buttons, int nButtons, int id)
{
    for (int i = 0; i < nButtons; i++) {
        if (buttons[i].id != id)
            continue;
        LogPrintf(LOG_NORMAL, "%s", buttons[i].logLine);
        DeviceRequestValue(buttons[i].code, buttons[i].value);
        return TRUE;
    }
    return FALSE;
}
