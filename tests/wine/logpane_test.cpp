#include "tests/wine/wintest.h"
#include <richedit.h>

using LogPane = MainWindowTest;

TEST_F(LogPane, StartsWithBannerAndEmptyLine)
{
    std::string text = WindowText(g_hwndLog);
    EXPECT_EQ(text.rfind("Advanced Configuration and Power Interface functional Velmont Test\r\n\r\n", 0), 0u)
        << text;
}
