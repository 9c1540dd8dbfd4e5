/* Entry of the soak and leak tests: the black-box harness's options and the
   soak's seed and step count.
   Usage: soak_tests.exe [--program=PATH] [--seed=N|random] [--steps=N] [GoogleTest options] */
#include "tests/harness/harness.h"
#include "tests/soak/soak.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>

namespace soak {
uint32_t g_seed = 20261207;
int      g_steps = 1500;
}  // namespace soak

static void TakeSeed(const char *text)
{
    soak::g_seed = strcmp(text, "random") == 0 ? (uint32_t)(GetTickCount() ^ (GetCurrentProcessId() << 16))
                                               : (uint32_t)strtoul(text, nullptr, 10);
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; i++) {
        if (strncmp(argv[i], "--program=", 10) == 0)
            bb::SetProgramPath(argv[i] + 10);
        else if (strncmp(argv[i], "--seed=", 7) == 0)
            TakeSeed(argv[i] + 7);
        else if (strncmp(argv[i], "--steps=", 8) == 0)
            soak::g_steps = atoi(argv[i] + 8);
    }
    char env[64];
    DWORD n = GetEnvironmentVariableA("VMT_SOAK_SEED", env, sizeof env);
    if (n > 0 && n < sizeof env)
        TakeSeed(env);
    n = GetEnvironmentVariableA("VMT_SOAK_STEPS", env, sizeof env);
    if (n > 0 && n < sizeof env)
        soak::g_steps = atoi(env);
    return RUN_ALL_TESTS();
}
