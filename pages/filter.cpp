/* The filter-options property sheet: four pages over the selection table. */
#include "app/veruvez.h"
#include "res/texts.h"
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

struct FilterPage {
    int         idTemplate;
    const char *title;
    DLGPROC     proc;
};

static const FilterPage s_filterPages[] = {
    { IDD_PROCESSOR, "Processor States", (DLGPROC)ProcessorPageProc },
    { IDD_SYSTEM,    "System States",    (DLGPROC)SystemPageProc },
    { IDD_THERMAL,   "Thermal Control",  (DLGPROC)ThermalPageProc },
    { IDD_RTC,       "RTC Alarm",        (DLGPROC)RtcAlarmPageProc },
};
#define FILTER_PAGE_COUNT ((int)(sizeof s_filterPages / sizeof s_filterPages[0]))

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
    return (int)PropertySheetA(&header);
}
