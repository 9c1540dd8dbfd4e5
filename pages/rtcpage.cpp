/* The RTC Alarm page: the RTC alarm tests check box, a time editor made of
   three borderless fields, two ":" labels and a one-row AM/PM list inside
   one disabled edit frame, one up-down shared by the focused element, and
   the buttons that set and read the driver's wake alarm. */
#include "pages/pages.h"
#include "pages/protocol.h"
#include "pages/rtcrules.h"
#include "driver/device.h"
#include "log/logpane.h"
#include "app/globals.h"
#include <commctrl.h>

/* The alarm controls, usable only while the check box is checked, enabled
   in this order. */
static const PageCheck s_RtcChecks[] = {
    { IDC_RTC, SEL_RTC, { IDC_RTC_SET_TEST, IDC_RTC_HOUR, IDC_RTC_MINUTE, IDC_RTC_SECOND,
                          IDC_RTC_AMPM, IDC_RTC_SPIN, IDC_RTC_GET_LABEL, IDC_RTC_GET_TEST } },
};
static const PageLayout s_RtcLayout = { s_RtcChecks, COUNT(s_RtcChecks) };

#define AMPM_AM 0
#define AMPM_PM 1

static void ShowCurrentTime(HWND hwnd)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    RtcEditorFields fields = RtcFieldsFromTime(st.wHour, st.wMinute, st.wSecond);

    SetDlgItemInt(hwnd, IDC_RTC_HOUR, fields.hour, FALSE);
    SetDlgItemInt(hwnd, IDC_RTC_MINUTE, fields.minute, FALSE);
    SetDlgItemInt(hwnd, IDC_RTC_SECOND, fields.second, FALSE);
    SetDlgItemTextA(hwnd, IDC_RTC_COLON1, RTC_SEPARATOR_TEXT);
    SetDlgItemTextA(hwnd, IDC_RTC_COLON2, RTC_SEPARATOR_TEXT);

    /* A sunken edge makes the frame read as one edit field. */
    HWND hwndFrame = GetDlgItem(hwnd, IDC_RTC_FRAME);
    SetWindowLongA(hwndFrame, GWL_EXSTYLE, GetWindowLongA(hwndFrame, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(hwndFrame, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);

    SendDlgItemMessageA(hwnd, IDC_RTC_AMPM, LB_SETTOPINDEX, fields.pm ? AMPM_PM : AMPM_AM, 0);
}

/* Gives the shared up-down the range and steps of one element and makes
   that element its buddy. */
static void AttachSpin(HWND hwnd, int id, HWND hwndBuddy)
{
    const RtcFieldLimits *limits = RtcLimitsFor(id);
    UDACCEL accel[2];
    for (int i = 0; i < limits->nAccel; i++) {
        accel[i].nSec = limits->accel[i].seconds;
        accel[i].nInc = limits->accel[i].step;
    }
    HWND hwndSpin = GetDlgItem(hwnd, IDC_RTC_SPIN);
    SendMessageA(hwndSpin, UDM_SETRANGE, 0, MAKELPARAM(limits->maximum, limits->minimum));
    SendMessageA(hwndSpin, UDM_SETACCEL, limits->nAccel, (LPARAM)accel);
    SendMessageA(hwndSpin, UDM_SETBUDDY, (WPARAM)hwndBuddy, 0);
}

/* Only the operator's own edits raise EN_CHANGE in these multi-line
   fields, so only typed values are held to the limits. */
static void HoldTypedValue(HWND hwnd, int id)
{
    const RtcFieldLimits *limits = RtcLimitsFor(id);
    unsigned corrected;
    if (RtcClampTyped(limits, GetDlgItemInt(hwnd, id, NULL, FALSE), &corrected))
        SetDlgItemInt(hwnd, id, corrected, FALSE);
}

static void OnTimeField(HWND hwnd, int id, int code, HWND hwndField)
{
    if (code == EN_SETFOCUS)
        AttachSpin(hwnd, id, hwndField);
    else if (code == EN_CHANGE)
        HoldTypedValue(hwnd, id);
}

static void OnAmPmList(HWND hwnd, int code, HWND hwndList)
{
    if (code == LBN_SETFOCUS) {
        AttachSpin(hwnd, IDC_RTC_AMPM, hwndList);
    } else if (code == LBN_KILLFOCUS) {
        /* The shown row is the state; the highlight is no part of it. */
        SendMessageA(hwndList, LB_SETCURSEL, (WPARAM)-1, 0);
        HWND hwndSpin = GetDlgItem(hwnd, IDC_RTC_SPIN);
        if ((HWND)SendMessageA(hwndSpin, UDM_GETBUDDY, 0, 0) == hwndList)
            SendMessageA(hwndSpin, UDM_SETBUDDY, 0, 0);
    }
}

static void OnCheckBox(HWND hwnd)
{
    PageEnableDependents(hwnd, &s_RtcChecks[0]);
    if (IsDlgButtonChecked(hwnd, IDC_RTC) == BST_CHECKED)
        ShowCurrentTime(hwnd);
}

/* Programs the alarm for the editor's time of day on today's date. */
static void SetAlarm(HWND hwnd)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    RtcDate today = { st.wYear, st.wMonth, st.wDay, st.wDayOfWeek };
    unsigned second = GetDlgItemInt(hwnd, IDC_RTC_SECOND, NULL, FALSE);
    unsigned minute = GetDlgItemInt(hwnd, IDC_RTC_MINUTE, NULL, FALSE);
    unsigned hour = GetDlgItemInt(hwnd, IDC_RTC_HOUR, NULL, FALSE);
    bool pm = SendDlgItemMessageA(hwnd, IDC_RTC_AMPM, LB_GETTOPINDEX, 0, 0) == AMPM_PM;
    RTC_ALARM_TIME alarm = RtcMakeAlarm(&today, hour, minute, second, pm);

    char szLine[64];
    RtcFormatSetLine(szLine, sizeof szLine, &alarm);
    LogPrintf(LOG_NORMAL, "%s", szLine);
    DeviceRequest(IOCTL_SET_RTC_ALARM, &alarm, sizeof alarm);
}

/* Reads the alarm the driver holds and shows it in the log and a box. */
static void GetAlarm(HWND hwnd)
{
    RTC_ALARM_TIME alarm;
    ZeroMemory(&alarm, sizeof alarm);
    DWORD err = DeviceRequestQuiet(IOCTL_GET_RTC_ALARM, &alarm, sizeof alarm);

    char szText[RTC_MESSAGE_SIZE];
    if (err) {
        RtcFormatReadFailure(szText, sizeof szText, err);
        LogPrintf(LOG_ERROR, "%s\r\n", szText);
    } else {
        RtcFormatAlarmMessage(szText, sizeof szText, &alarm);
        LogPrintf(LOG_NORMAL, "%s\r\n", szText);
    }
    MessageBoxA(hwnd, szText, g_szMsgCaption, MB_OK);
}

static BOOL OnCommand(HWND hwnd, int id, int code, HWND hwndCtl)
{
    switch (id) {
    case IDC_RTC_HOUR:
    case IDC_RTC_MINUTE:
    case IDC_RTC_SECOND:   OnTimeField(hwnd, id, code, hwndCtl); return TRUE;
    case IDC_RTC_AMPM:     OnAmPmList(hwnd, code, hwndCtl);      return TRUE;
    case IDC_RTC:          OnCheckBox(hwnd);                     return TRUE;
    case IDC_RTC_SET_TEST: SetAlarm(hwnd);                       return TRUE;
    case IDC_RTC_GET_TEST: GetAlarm(hwnd);                       return TRUE;
    default:               return FALSE;
    }
}

/* The frame and the two ":" labels paint like the edit fields among them. */
static INT_PTR OnCtlColorStatic(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    HWND hwndCtl = (HWND)lParam;
    if (hwndCtl == GetDlgItem(hwnd, IDC_RTC_COLON1) || hwndCtl == GetDlgItem(hwnd, IDC_RTC_COLON2)
        || hwndCtl == GetDlgItem(hwnd, IDC_RTC_FRAME))
        return (INT_PTR)DefWindowProcA(hwnd, WM_CTLCOLOREDIT, wParam, lParam);
    return FALSE;
}

static BOOL OnInitDialog(HWND hwnd)
{
    SendDlgItemMessageA(hwnd, IDC_RTC_AMPM, LB_INSERTSTRING, AMPM_AM, (LPARAM)RTC_AM_TEXT);
    SendDlgItemMessageA(hwnd, IDC_RTC_AMPM, LB_INSERTSTRING, AMPM_PM, (LPARAM)RTC_PM_TEXT);
    PageInitChecks(hwnd, &s_RtcLayout);
    ShowCurrentTime(hwnd);
    return TRUE;
}

INT_PTR CALLBACK RtcAlarmPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:     return OnInitDialog(hwnd);
    case WM_COMMAND:        return OnCommand(hwnd, LOWORD(wParam), HIWORD(wParam), (HWND)lParam);
    case WM_NOTIFY:         return PageNotify(hwnd, &s_RtcLayout, lParam);
    case WM_CTLCOLORSTATIC: return OnCtlColorStatic(hwnd, wParam, lParam);
    default:                return FALSE;
    }
}
