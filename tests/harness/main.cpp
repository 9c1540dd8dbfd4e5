/* The Wine tests' program: [--program=PATH, the last one counts] [--seed=N --steps=M] [GoogleTest options]. */
#include "tests/harness/harness.h"
#include <gtest/gtest.h>
#include <cstring>

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++)
        if (strncmp(argv[i], "--program=", 10) == 0)
            vt::SetProgram(argv[i] + 10);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
