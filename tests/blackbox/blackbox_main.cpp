/* Black-box tests: start VERUVEZ.EXE as a separate process and drive it.
   Usage: blackbox_tests.exe [--program=PATH] [GoogleTest options] */
#include "tests/harness/harness.h"
#include <gtest/gtest.h>
#include <cstring>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; i++)
        if (strncmp(argv[i], "--program=", 10) == 0)
            bb::SetProgramPath(argv[i] + 10);
    return RUN_ALL_TESTS();
}
