/* The fixture of every black-box test: one copy of the program at a time,
   a fresh settings file, an empty driver journal. */
#ifndef VMT_BLACKBOX_H
#define VMT_BLACKBOX_H

#include "tests/harness/harness.h"
#include "res/resource.h"
#include "res/texts.h"
#include <gtest/gtest.h>

class BlackBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        /* A copy left by an earlier test would turn every start into a
           second copy that ends at once. */
        ASSERT_TRUE(bb::WindowsOfClass(bb::ProgramText(IDS_CLASSNAME)).empty())
            << "a VERUVEZ window is still open before the test";
        bb::DeleteSettingsFile();
        bb::ClearJournal();
        /* Never the host backend left by an interrupted test. */
        UseSimulatedMachine();
    }

    /* The simulated machine unless a test asks for another: the host
       backend's driver settings deleted. */
    static void UseSimulatedMachine()
    {
        for (const char *name : { "Backend", "SysfsRoot", "HostIdleMilliseconds" })
            bb::DeleteDriverParameter(name);
    }
};

/* Tests of the run without the stand-in driver: their suite names start
   with NoDriver (CTest runs them in the prefix without the driver). */
class NoDriverTest : public BlackBoxTest {};

#endif
