/* Entry of the in-process Wine tests: the program's names and common
   controls as WinMain would set them up, then every test. */
#include "tests/wine/wintest.h"
#include <commctrl.h>

int main(int argc, char **argv)
{
    g_hInst = GetModuleHandleA(NULL);
    LoadStringA(g_hInst, IDS_CLASSNAME, g_szClassName, sizeof g_szClassName);
    LoadStringA(g_hInst, IDS_TITLE, g_szTitle, sizeof g_szTitle);
    LoadStringA(g_hInst, IDS_ERRORCAPTION, g_szErrorCaption, sizeof g_szErrorCaption);
    InitCommonControls();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
