/* The settings file through the real private profile: each kind of bad file
   loads by the byte rule, and the save writes every key and keeps the rest. */
#include "tests/wine/wintest.h"
#include <fstream>
#include <sstream>

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
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
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
    const std::string lng(100000, 'x');   /* far longer than any line buffer */
    const struct { const char *what; std::string text; std::vector<uint8_t> loaded; std::vector<std::string> kept; } cases[] = {
        {"odd values", "[ACPI VMT's]\r\nS1SystemState=2\r\nS2SystemState=3\r\nS3SystemState=7\r\nS4SystemState=256\r\n"
         "C1CPUState=65537\r\nC2CPUState=-1\r\nC3CPUState=yes\r\nFanOnOff=\r\nCPUDutyCycle=   0\r\nRTCAlarm=259\r\n",
         {2, 3, 7, 0, 1, 255, 0, 1, 0, 3}, {}},
        {"no section of ours", "[Other]\r\nS1SystemState=0\r\n", std::vector<uint8_t>(SEL_COUNT, 1), {}},
        {"sections and keys around ours",
         "; by hand\r\n[Before]\r\nC1CPUState=0\r\n[ACPI VMT's]\r\nColour=blue\r\nRTCAlarm=0\r\n[After]\r\nFanOnOff=0\r\n",
         {1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, {"; by hand\r\n[Before]\r\nC1CPUState=0\r\n", "Colour=blue\r\n", "[After]\r\nFanOnOff=0\r\n"}},
        {"line feeds only", "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n", {0, 1, 1, 1, 1, 3, 1, 1, 1, 1}, {}},
        {"very long lines", "[ACPI VMT's]\r\nS1SystemState=0\r\nNote=" + lng + "\r\n" + lng + "\r\nS2SystemState=0\r\n",
         {0, 0, 1, 1, 1, 1, 1, 1, 1, 1}, {"Note=" + lng + "\r\n"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = WriteProfile(c.text);
        EXPECT_EQ(Load(path), c.loaded);
        SaveTestSelection(path.c_str());
        for (int i = 0; i < SEL_COUNT; i++)   /* every key, 2 saved as 1 */
            EXPECT_EQ(GetPrivateProfileIntA(SETTINGS_SECTION, SelectionKey(i), 999, path.c_str()),
                      c.loaded[i] == SELECT_UNSUPPORTED ? 1u : c.loaded[i]) << SelectionKey(i);
        for (const std::string &kept : c.kept)
            EXPECT_NE(ReadProfile(path).find(kept), std::string::npos) << kept.substr(0, 40);
        DeleteFileA(path.c_str());
    }

    /* A read-only file held open by another program: the save fails unseen and the file keeps its bytes. */
    std::string original = "[ACPI VMT's]\r\nS1SystemState=3\r\n", path = WriteProfile(original);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE hold = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_EQ(Load(path)[SEL_S1], 3);
    SaveTestSelection(path.c_str());
    CloseHandle(hold);
    EXPECT_EQ(ReadProfile(path), original);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}
