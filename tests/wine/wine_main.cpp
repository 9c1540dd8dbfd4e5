/* Entry of the in-process Wine tests: the program's names as WinMain would
   set them up, and the common controls as the filter sheet loads them, then
   every test. */
#include "tests/wine/wintest.h"
#include <commctrl.h>

int main(int argc, char **argv)
{
    g_hInst = GetModuleHandleA(NULL);
    if (!LoadProgramNames(g_hInst))
        return 2;
    InitCommonControls();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
