/* Black-box tests: start VERUVEZ.EXE as a separate process and drive it.
   Usage: blackbox_tests.exe [--program=PATH] [GoogleTest options] */
#include "tests/blackbox/harness.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

/* Without a window manager on the test display, Wine waits about two
   seconds for one each time a managed top-level window is hidden or
   destroyed (every message box, every exit).  For the run of the tests the
   program's windows are left unmanaged; the setting is removed afterwards
   so that an ordinary start of the program is not affected. */
const char *const kAppX11Keys[] = {
    "Software\\Wine\\AppDefaults\\VERUVEZ.EXE\\X11 Driver",
    "Software\\Wine\\AppDefaults\\harness_target.exe\\X11 Driver",
};

class UnmanagedWindows : public ::testing::Environment {
public:
    void SetUp() override
    {
        for (int i = 0; i < 2; i++) {
            HKEY key;
            DWORD disposition = 0;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppX11Keys[i], 0, NULL, 0, KEY_SET_VALUE,
                                NULL, &key, &disposition) != ERROR_SUCCESS)
                continue;
            created_[i] = disposition == REG_CREATED_NEW_KEY;
            RegSetValueExA(key, "Managed", 0, REG_SZ, (const BYTE *)"N", 2);
            RegCloseKey(key);
        }
    }
    void TearDown() override
    {
        for (int i = 0; i < 2; i++)
            if (created_[i])
                RegDeleteKeyA(HKEY_CURRENT_USER, kAppX11Keys[i]);
    }

private:
    bool created_[2] = {false, false};
};

}  // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; i++)
        if (strncmp(argv[i], "--program=", 10) == 0)
            bb::SetProgramPath(argv[i] + 10);
    ::testing::AddGlobalTestEnvironment(new UnmanagedWindows);
    return RUN_ALL_TESTS();
}
