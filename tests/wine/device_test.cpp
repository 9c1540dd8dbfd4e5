/* The driver link in-process, without the device (the test prefix has no
   driver): what a failed request leaves in the log. */
#include "tests/wine/wintest.h"
#include "driver/acpiioctl.h"

using DeviceLink = MainWindowTest;

TEST_F(DeviceLink, AFailedRequestAddsItsLineInBoldRed)
{
    ASSERT_EQ(g_hDevice, INVALID_HANDLE_VALUE);
    size_t before = WindowText(g_hwndLog).size();
    EXPECT_EQ(DeviceRequestValue(IOCTL_SET_FAN, 1), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(WindowText(g_hwndLog).substr(before),
              "The driver request IOCTL_SET_FAN failed with system error 6.\r\n");
    ExpectLook("The driver request IOCTL_SET_FAN", CFE_BOLD, RGB(255, 0, 0));
}
