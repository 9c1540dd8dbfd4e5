/* The filter-options property sheet. */
#include "app/veruvez.h"

int ShowFilterOptions(HWND hwndParent, int startPage)
{
    (void)hwndParent;
    (void)startPage;
    return 0;
}
