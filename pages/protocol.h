/* The page protocol shared by the four filter-options pages: check boxes
   shown from the selection table, dependent controls enabled exactly while
   their box is checked, boxes stored back on OK. */
#ifndef VMT_PROTOCOL_H
#define VMT_PROTOCOL_H

#include <windows.h>
#include "res/resource.h"
#include "selection/selectionrules.h"

#define COUNT(a) ((int)(sizeof(a) / sizeof((a)[0])))

#define PAGE_MAX_DEPENDENTS 8

struct PageCheck {
    int idCheck;      /* check box */
    int entry;        /* index into g_TestSelection */
    /* controls usable only while the box is checked, in enabling order;
       the list ends at the first 0 */
    int dependents[PAGE_MAX_DEPENDENTS];
};

struct PageLayout {
    const PageCheck *checks; /* in the page's order */
    int              nChecks;
};

/* WM_INITDIALOG: each box from its entry (1 checked, 0 unchecked, anything
   else disabled and unchecked), then every box's dependents. */
void PageInitChecks(HWND hwndPage, const PageLayout *layout);

/* Enables or disables one box's dependents from its checked state. */
void PageEnableDependents(HWND hwndPage, const PageCheck *check);

/* The check-box entry for a control id, or NULL when id is no box of the page. */
const PageCheck *PageFindCheck(const PageLayout *layout, int id);

/* PSN_APPLY: each enabled box stores SELECT_RUN or SELECT_SKIP. */
void PageApplyChecks(HWND hwndPage, const PageLayout *layout);

/* WM_NOTIFY of the protocol: PSN_APPLY stores and answers TRUE, PSN_RESET
   answers TRUE, anything else FALSE. */
BOOL PageNotify(HWND hwndPage, const PageLayout *layout, LPARAM lParam);

/* WM_COMMAND from a check box: its dependents follow it again.  FALSE when
   id is no box of the page. */
BOOL PageCheckCommand(HWND hwndPage, const PageLayout *layout, int id);

/* A "test" button that fires one driver request with a 4-byte value. */
struct PageButton {
    int         id;
    const char *logLine;   /* written at LOG_NORMAL before the request */
    DWORD       code;
    DWORD       value;
};

/* WM_COMMAND from a "test" button of the table: log line, request (its
   result is not examined here), TRUE.  FALSE when id is no button of it. */
BOOL PagePressButton(const PageButton *buttons, int nButtons, int id);

#endif
