/* The filter-options property sheet: four pages over the selection table. */
#include "pages/pages.h"
#include "app/globals.h"
#include "res/resource.h"
#include <commctrl.h>
#include <prsht.h>
#include <stddef.h>

/* The sheet uses the first versions of the header and page records: 40 bytes
   each on 32-bit Windows, 72 bytes each on 64-bit Windows.  The pages are
   handed over as an array of such records. */
#define SHEET_HEADER_SIZE ((DWORD)(offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK)))
#define SHEET_PAGE_SIZE   ((DWORD)sizeof(PROPSHEETPAGEA_V1))
#ifdef _WIN64
#define SHEET_RECORD_SIZE 72
#else
#define SHEET_RECORD_SIZE 40
#endif
static_assert(SHEET_HEADER_SIZE == SHEET_RECORD_SIZE, "first-version sheet header");
static_assert(SHEET_PAGE_SIZE == SHEET_RECORD_SIZE, "first-version page record");

typedef BOOL (WINAPI *INITCOMMONCONTROLSEXPROC)(const INITCOMMONCONTROLSEX *);
typedef INT_PTR (WINAPI *PROPERTYSHEETPROC)(LPCPROPSHEETHEADERA);

struct FilterPage {
    int         idTemplate;
    const char *title;
    DLGPROC     proc;
};

static const FilterPage s_filterPages[] = {
    { IDD_PROCESSOR, PROCESSOR_PAGE_TITLE, (DLGPROC)ProcessorPageProc },
    { IDD_SYSTEM,    SYSTEM_PAGE_TITLE,    (DLGPROC)SystemPageProc },
    { IDD_THERMAL,   THERMAL_PAGE_TITLE,   (DLGPROC)ThermalPageProc },
    { IDD_RTC,       RTC_PAGE_TITLE,       (DLGPROC)RtcAlarmPageProc },
};
#define FILTER_PAGE_COUNT ((int)(sizeof s_filterPages / sizeof s_filterPages[0]))

/* Ctrl+Tab and Ctrl+PageDown turn to the next page, Ctrl+Shift+Tab and
   Ctrl+PageUp to the previous one, round the ends, as in every property
   sheet.  Wine's loop of a modal sheet hands the keys straight to
   IsDialogMessage, which takes Ctrl+Tab for a plain Tab; IsDialogMessage
   first offers each message to the thread's message filter, so the sheet
   turns its pages there while it is up.  (Where the sheet turns them itself,
   the keys never reach IsDialogMessage.) */
static HHOOK s_hSheetKeys;

static int PageStepForKey(const MSG *msg)
{
    if (msg->message != WM_KEYDOWN || !(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000))
        return 0;
    switch (msg->wParam) {
    case VK_TAB:   return (GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
    case VK_NEXT:  return 1;
    case VK_PRIOR: return -1;
    default:       return 0;
    }
}

static LRESULT CALLBACK SheetKeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG *msg = (const MSG *)lParam;
    int step = code == MSGF_DIALOGBOX ? PageStepForKey(msg) : 0;
    HWND hwndSheet = step ? GetAncestor(msg->hwnd, GA_ROOT) : NULL;
    HWND hwndTabs = hwndSheet ? PropSheet_GetTabControl(hwndSheet) : NULL;   /* NULL: a message box */
    if (hwndTabs && !(SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, (LPARAM)msg) & DLGC_WANTMESSAGE)) {
        int count = TabCtrl_GetItemCount(hwndTabs);
        if (count > 0) {
            int page = (TabCtrl_GetCurSel(hwndTabs) + step + count) % count;
            PropSheet_SetCurSel(hwndSheet, NULL, page);
            return 1;
        }
    }
    return CallNextHookEx(s_hSheetKeys, code, wParam, lParam);
}

int ShowFilterOptions(HWND hwndParent, int startPage)
{
    PROPSHEETPAGEA_V1 pages[FILTER_PAGE_COUNT];
    ZeroMemory(pages, sizeof pages);
    for (int i = 0; i < FILTER_PAGE_COUNT; i++) {
        pages[i].dwSize      = SHEET_PAGE_SIZE;
        pages[i].dwFlags     = PSP_USETITLE | PSP_USEICONID;   /* icon id 0: none */
        pages[i].hInstance   = g_hInst;
        pages[i].pszTemplate = MAKEINTRESOURCEA(s_filterPages[i].idTemplate);
        pages[i].pszIcon     = NULL;
        pages[i].pszTitle    = s_filterPages[i].title;
        pages[i].pfnDlgProc  = s_filterPages[i].proc;
        pages[i].lParam      = 0;
    }

    PROPSHEETHEADERA header;
    ZeroMemory(&header, sizeof header);
    header.dwSize     = SHEET_HEADER_SIZE;
    header.dwFlags    = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = hwndParent;
    header.hInstance  = g_hInst;
    header.hIcon      = NULL;
    header.pszCaption = FILTER_CAPTION;
    header.nPages     = FILTER_PAGE_COUNT;
    header.nStartPage = (UINT)startPage;
    header.ppsp       = (LPCPROPSHEETPAGEA)pages;

    /* The common controls are loaded with the first sheet, not at start-up. */
    INITCOMMONCONTROLSEXPROC pInitCommonControlsEx =
        (INITCOMMONCONTROLSEXPROC)GetCommandProc("COMCTL32.DLL", "InitCommonControlsEx");
    PROPERTYSHEETPROC pPropertySheet = (PROPERTYSHEETPROC)GetCommandProc("COMCTL32.DLL", "PropertySheetA");
    if (!pInitCommonControlsEx || !pPropertySheet)
        return -1;   /* no sheet, nothing changed */
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_UPDOWN_CLASS | ICC_TAB_CLASSES };
    pInitCommonControlsEx(&icc);

    s_hSheetKeys = SetWindowsHookExA(WH_MSGFILTER, SheetKeyFilter, NULL, GetCurrentThreadId());
    int result = (int)pPropertySheet(&header);
    if (s_hSheetKeys)
        UnhookWindowsHookEx(s_hSheetKeys);
    s_hSheetKeys = NULL;
    return result;
}
