/* The fixture of every black-box test: one copy of the program at a time,
   a fresh settings file, an empty driver journal. */
#ifndef VMT_BLACKBOX_H
#define VMT_BLACKBOX_H

#include "harness/harness.h"
#include "res/resource.h"
#include <gtest/gtest.h>

/* What the program writes first, every time. */
#define BANNER_TEXT "Advanced Configuration and Power Interface functional Velmont Test"
#define NO_DRIVER_TEXT "Could not find the WDM driver acpi.sys!"

class BlackBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        /* A copy left by an earlier test would turn every start into a
           second copy that ends at once. */
        std::vector<HWND> left = bb::WindowsOfClass("VERUVEZ");
        ASSERT_TRUE(left.empty()) << "a VERUVEZ window is still open before the test";
        bb::DeleteSettingsFile();
        bb::ClearJournal();
        /* The simulated machine unless a test asks for another: never the
           host backend left by an interrupted test. */
        for (const char *name : { "Backend", "SysfsRoot", "HostIdleMilliseconds" })
            bb::DeleteDriverParameter(name);
    }
};

/* Tests of the run without the stand-in driver: their suite names start
   with NoDriver (CTest runs them in the prefix without the driver). */
class NoDriverTest : public BlackBoxTest {};

#endif
