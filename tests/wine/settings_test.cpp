/* The settings file through the real private profile: each kind of bad file
   loads by the byte rule, and the save writes every key and keeps the rest. */
#include "tests/wine/wintest.h"
#include <fstream>
#include <iterator>
#include <vector>

namespace {

/* A new file name each time: the platform caches profiles by name. */
std::string WriteProfile(const std::string &bytes)
{
    static int serial;
    std::string path = "C:\\vmt-settings-" + std::to_string(++serial) + ".ini";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string ReadProfile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Load(const std::string &path)
{
    memset(g_TestSelection, 0xEE, sizeof g_TestSelection);
    LoadTestSelection(path.c_str());
    return std::vector<uint8_t>(g_TestSelection, g_TestSelection + SEL_COUNT);
}

} // namespace

TEST(Settings, BadFilesLoadByTheByteRuleAndSaveEveryKey)
{
    const std::string longValue(100000, 'x');
    const std::vector<uint8_t> all1(SEL_COUNT, 1);
    const struct { const char *what; std::string text; std::vector<uint8_t> loaded; std::vector<std::string> kept; } cases[] = {
        {"odd values, a missing key",
         "[ACPI VMT's]\r\nS1SystemState=2\r\nS2SystemState=3\r\nS3SystemState=7\r\nS4SystemState=256\r\nC1CPUState=65537\r\n"
         "C2CPUState=-1\r\nC3CPUState=yes\r\nFanOnOff=\r\nCPUDutyCycle=   0\r\n", {2, 3, 7, 0, 1, 255, 0, 1, 0, 1}, {}},
        {"empty file", "", all1, {}},
        {"no section of ours", "[Other]\r\nS1SystemState=0\r\n", all1, {"[Other]\r\nS1SystemState=0\r\n"}},
        {"sections and keys around ours", "; by hand\r\n[Before]\r\nC1CPUState=0\r\n[ACPI VMT's]\r\nColour=blue\r\nRTCAlarm=0\r\n[After]\r\nFanOnOff=0\r\n",
         {1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, {"; by hand\r\n[Before]\r\nC1CPUState=0\r\n", "Colour=blue\r\n", "[After]\r\nFanOnOff=0\r\n"}},
        {"line feeds only", "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n", {0, 1, 1, 1, 1, 3, 1, 1, 1, 1}, {}},
        {"very long lines", "[ACPI VMT's]\r\nS1SystemState=0\r\nNote=" + longValue + "\r\n" + longValue + "\r\nS2SystemState=0\r\n",
         {0, 0, 1, 1, 1, 1, 1, 1, 1, 1}, {"Note=" + longValue + "\r\n"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = WriteProfile(c.text);
        EXPECT_EQ(Load(path), c.loaded);
        SaveTestSelection(path.c_str());
        for (int i = 0; i < SEL_COUNT; i++)   /* every key, 2 saved as 1 */
            EXPECT_EQ(GetPrivateProfileIntA("ACPI VMT's", SelectionKey(i), 999, path.c_str()), c.loaded[i] == 2 ? 1u : c.loaded[i]) << SelectionKey(i);
        for (const std::string &kept : c.kept)
            EXPECT_NE(ReadProfile(path).find(kept), std::string::npos) << kept.substr(0, 40);
        DeleteFileA(path.c_str());
    }

    /* Read-only, or held open without write sharing: the save fails unseen
       (or, for an administrator, writes) and the file loads as before. */
    for (bool hold : {false, true}) {
        std::string original = "[ACPI VMT's]\r\nS1SystemState=3\r\n", path = WriteProfile(original);
        SetFileAttributesA(path.c_str(), hold ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY);
        HANDLE h = hold ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL) : NULL;
        EXPECT_EQ(Load(path)[SEL_S1], 3);
        SaveTestSelection(path.c_str());
        if (h)
            CloseHandle(h);
        EXPECT_EQ(hold ? ReadProfile(path) : original, original);
        EXPECT_EQ(Load(path)[SEL_S1], 3);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}
