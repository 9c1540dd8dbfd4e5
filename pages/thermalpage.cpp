/* The Thermal Control page: the fan and duty-cycle check boxes, the fan
   "test" buttons, and the percentage field with its up-down control. */
#include "pages/pages.h"
#include "pages/protocol.h"
#include "pages/thermalrules.h"
#include "driver/device.h"
#include "log/logpane.h"
#include "res/texts.h"
#include <commctrl.h>
#include <string>

static const PageCheck s_thermalChecks[] = {
    { IDC_FAN,  SEL_FAN,  { IDC_FAN_ON_TEST, IDC_FAN_OFF_TEST, IDC_FAN_ON_LABEL, IDC_FAN_OFF_LABEL } },
    { IDC_DUTY, SEL_DUTY, { IDC_DUTY_PERCENT, IDC_DUTY_SPIN, IDC_DUTY_TEST, IDC_DUTY_LABEL } },
};
static const PageLayout s_thermalLayout = { s_thermalChecks, COUNT(s_thermalChecks) };

static const PageButton s_fanButtons[] = {
    { IDC_FAN_ON_TEST,  FAN_ON_TEST_TEXT "\r\n",  IOCTL_SET_FAN, ACPI_FAN_ON },
    { IDC_FAN_OFF_TEST, FAN_OFF_TEST_TEXT "\r\n", IOCTL_SET_FAN, ACPI_FAN_OFF },
};

/* The field's whole text read as an unsigned number (a long run of digits
   is read in full, not cut at a buffer's end). */
static uint32_t ReadPercentField(HWND hwnd)
{
    HWND hwndField = GetDlgItem(hwnd, IDC_DUTY_PERCENT);
    std::string text(GetWindowTextLengthA(hwndField) + 1, '\0');
    GetWindowTextA(hwndField, &text[0], (int)text.size());
    return ThermalReadPercent(text.c_str());
}

/* Every change of the field: above 100 becomes 100.  The write notifies
   again, reads 100 and stops there. */
static void BoundPercentField(HWND hwnd)
{
    if (ThermalPercentTooHigh(ReadPercentField(hwnd)))
        SetDlgItemInt(hwnd, IDC_DUTY_PERCENT, ACPI_DUTY_MAX, FALSE);
}

static void SetDutyCycleNow(HWND hwnd)
{
    uint32_t percent = ThermalDutyValue(ReadPercentField(hwnd));
    LogPrintf(LOG_NORMAL, DUTY_TEST_FORMAT "\r\n", (int)percent);
    DeviceRequestValue(IOCTL_SET_DUTY_CYCLE, percent);
}

static BOOL OnThermalCommand(HWND hwnd, int id)
{
    if (PageCheckCommand(hwnd, &s_thermalLayout, id)
        || PagePressButton(s_fanButtons, COUNT(s_fanButtons), id))
        return TRUE;
    switch (id) {
    case IDC_DUTY_PERCENT: BoundPercentField(hwnd); return TRUE;
    case IDC_DUTY_TEST:    SetDutyCycleNow(hwnd); return TRUE;
    default:               return FALSE;
    }
}

INT_PTR CALLBACK ThermalPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        PageInitChecks(hwnd, &s_thermalLayout);
        SendDlgItemMessageA(hwnd, IDC_DUTY_SPIN, UDM_SETRANGE, 0, (LPARAM)ThermalSpinRange());
        return TRUE;
    case WM_COMMAND:
        return OnThermalCommand(hwnd, LOWORD(wParam));
    case WM_NOTIFY:
        return PageNotify(hwnd, &s_thermalLayout, lParam);
    default:
        return FALSE;
    }
}
