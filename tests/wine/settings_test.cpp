/* The settings file through the real private-profile functions: every kind
   of bad file loads by the byte rule, and saving writes all ten keys. */
#include "tests/wine/wintest.h"
#include <map>
#include <vector>

namespace {

const char *const kKeys[SEL_COUNT] = {
    "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
    "C1CPUState", "C2CPUState", "C3CPUState", "FanOnOff", "CPUDutyCycle", "RTCAlarm",
};

typedef std::map<std::string, std::map<std::string, std::string>> Sections;

/* The sections of a profile text: names and keys as written, values trimmed. */
Sections ParseProfile(const std::string &text)
{
    Sections out;
    std::string section;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            out[section];
            continue;
        }
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            out[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

class Settings : public ::testing::Test {
protected:
    std::string dir;
    uint8_t savedTable[SEL_COUNT];
    bool savedLoaded;
    static int s_serial;

    void SetUp() override
    {
        memcpy(savedTable, g_TestSelection, sizeof savedTable);
        savedLoaded = g_bSelectionLoaded;
        char tmp[MAX_PATH];
        ASSERT_NE(GetTempPathA(sizeof tmp, tmp), 0u);
        dir = std::string(tmp) + "vmt-settings-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), NULL);
    }

    void TearDown() override
    {
        memcpy(g_TestSelection, savedTable, sizeof savedTable);
        g_bSelectionLoaded = savedLoaded;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "*.ini").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string path = dir + fd.cFileName;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }

    /* A new file name each time: the platform caches profiles by name. */
    std::string NewPath()
    {
        return dir + "vmt" + std::to_string(++s_serial) + ".ini";
    }

    std::string WriteProfile(const std::string &bytes)
    {
        std::string path = NewPath();
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, NULL);
        CloseHandle(h);
        return path;
    }

    static std::string ReadProfile(const std::string &path)
    {
        std::string bytes;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return bytes;
        char buf[4096];
        DWORD n;
        while (ReadFile(h, buf, sizeof buf, &n, NULL) && n)
            bytes.append(buf, n);
        CloseHandle(h);
        return bytes;
    }

    /* Loads as at start-up, from a table that holds none of the results. */
    static std::vector<uint8_t> Load(const std::string &path)
    {
        g_bSelectionLoaded = false;
        memset(g_TestSelection, 0xEE, sizeof g_TestSelection);
        LoadTestSelection(path.c_str());
        EXPECT_TRUE(g_bSelectionLoaded);
        return std::vector<uint8_t>(g_TestSelection, g_TestSelection + SEL_COUNT);
    }

    /* Saves the loaded table and returns our section as written. */
    static std::vector<std::string> Save(const std::string &path, Sections *all = nullptr)
    {
        SaveTestSelection(path.c_str());
        Sections sections = ParseProfile(ReadProfile(path));
        std::vector<std::string> values;
        for (const char *key : kKeys) {
            auto &ours = sections["ACPI VMT's"];
            values.push_back(ours.count(key) ? ours[key] : "<missing>");
        }
        if (all)
            *all = sections;
        return values;
    }
};
int Settings::s_serial;

std::string Crlf(const std::string &lf)
{
    std::string out;
    for (char c : lf) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

TEST_F(Settings, ValuesLoadAsTheirLowByteAndSaveAsDecimal)
{
    std::string path = WriteProfile(Crlf(
        "[ACPI VMT's]\n"
        "S1SystemState=2\n"
        "S2SystemState=3\n"
        "S3SystemState=7\n"
        "S4SystemState=256\n"
        "C1CPUState=65537\n"
        "C2CPUState=-1\n"
        "C3CPUState=yes\n"
        "FanOnOff=\n"
        "CPUDutyCycle=   0\n"
        "RTCAlarm=259\n"));
    EXPECT_EQ(Load(path), (std::vector<uint8_t>{2, 3, 7, 0, 1, 255, 0, 1, 0, 3}));
    EXPECT_EQ(Save(path), (std::vector<std::string>{"1", "3", "7", "0", "1", "255", "0", "1", "0", "3"}));
    /* What was written loads as written. */
    EXPECT_EQ(Load(path), (std::vector<uint8_t>{1, 3, 7, 0, 1, 255, 0, 1, 0, 3}));
}

TEST_F(Settings, MissingFileSectionOrKeyLoadsAsRun)
{
    /* No file: every entry 1, and saving creates it with the ten keys. */
    std::string path = NewPath();
    EXPECT_EQ(Load(path), std::vector<uint8_t>(SEL_COUNT, SELECT_RUN));
    EXPECT_EQ(Save(path), std::vector<std::string>(SEL_COUNT, "1"));
    std::string text = ReadProfile(path);
    size_t at = text.find("[ACPI VMT's]");
    ASSERT_NE(at, std::string::npos) << text;
    for (const char *key : kKeys) {   /* in table order */
        size_t next = text.find(std::string(key) + "=1", at);
        EXPECT_NE(next, std::string::npos) << key;
        at = next;
    }

    /* Only another section: ours is added, the other kept. */
    path = WriteProfile("[Other]\r\nS1SystemState=0\r\n");
    EXPECT_EQ(Load(path), std::vector<uint8_t>(SEL_COUNT, SELECT_RUN));
    Sections all;
    EXPECT_EQ(Save(path, &all), std::vector<std::string>(SEL_COUNT, "1"));
    EXPECT_EQ(all["Other"]["S1SystemState"], "0");

    /* Some keys missing: those load as 1. */
    path = WriteProfile("[ACPI VMT's]\r\nS2SystemState=0\r\nRTCAlarm=0\r\n");
    EXPECT_EQ(Load(path), (std::vector<uint8_t>{1, 0, 1, 1, 1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(Save(path), (std::vector<std::string>{"1", "0", "1", "1", "1", "1", "1", "1", "1", "0"}));

    /* An empty file is a file without our section. */
    path = WriteProfile("");
    EXPECT_EQ(Load(path), std::vector<uint8_t>(SEL_COUNT, SELECT_RUN));
}

TEST_F(Settings, OtherSectionsAndKeysAreLeftAlone)
{
    std::string path = WriteProfile(Crlf(
        "; written by hand\n"
        "[Before]\n"
        "C1CPUState=0\n"
        "[ACPI VMT's]\n"
        "Colour=blue\n"
        "RTCAlarm=0\n"
        "C1CPUState=0\n"
        "S1SystemState=0\n"
        "Unknown=77\n"
        "[After]\n"
        "FanOnOff=0\n"
        "CPUDutyCycle=0\n"));
    EXPECT_EQ(Load(path), (std::vector<uint8_t>{0, 1, 1, 1, 0, 1, 1, 1, 1, 0}));

    g_TestSelection[SEL_FAN] = 0;   /* a change made on a page */
    Sections all;
    EXPECT_EQ(Save(path, &all), (std::vector<std::string>{"0", "1", "1", "1", "0", "1", "1", "0", "1", "0"}));
    EXPECT_EQ(all["Before"], (std::map<std::string, std::string>{{"C1CPUState", "0"}}));
    EXPECT_EQ(all["After"], (std::map<std::string, std::string>{{"FanOnOff", "0"}, {"CPUDutyCycle", "0"}}));
    EXPECT_EQ(all["ACPI VMT's"]["Colour"], "blue");
    EXPECT_EQ(all["ACPI VMT's"]["Unknown"], "77");
    EXPECT_EQ(all["ACPI VMT's"].size(), 12u);
}

TEST_F(Settings, LineFeedEndsAndVeryLongLines)
{
    std::string path = WriteProfile(
        "[ACPI VMT's]\n"
        "S1SystemState=0\n"
        "S2SystemState=3\n"
        "C2CPUState=0\n");
    EXPECT_EQ(Load(path), (std::vector<uint8_t>{0, 3, 1, 1, 1, 0, 1, 1, 1, 1}));
    EXPECT_EQ(Save(path), (std::vector<std::string>{"0", "3", "1", "1", "1", "0", "1", "1", "1", "1"}));

    /* A 100 000-character line of another key, a long line without '=',
       and a value far longer than any number. */
    std::string longValue(100000, 'x');
    std::string longNumber = "1" + std::string(5000, '0');
    path = WriteProfile(Crlf(
        "[ACPI VMT's]\n"
        "S1SystemState=0\n"
        "Comment=" + longValue + "\n" +
        std::string(20000, 'y') + "\n"
        "S2SystemState=0\n"
        "S3SystemState=" + longNumber + "\n"
        "S4SystemState=0\n"));
    std::vector<uint8_t> loaded = Load(path);
    EXPECT_EQ(loaded[SEL_S1], 0);
    EXPECT_EQ(loaded[SEL_S2], 0);
    EXPECT_EQ(loaded[SEL_S4], 0);
    EXPECT_EQ(loaded[SEL_C1], 1);
    Sections all;
    std::vector<std::string> saved = Save(path, &all);
    EXPECT_EQ(saved[SEL_S3], std::to_string(loaded[SEL_S3] == 2 ? 1 : loaded[SEL_S3]));
    EXPECT_EQ(saved[SEL_S4], "0");
    EXPECT_EQ(all["ACPI VMT's"]["Comment"], longValue);
}

TEST_F(Settings, FileThatCannotBeWrittenLoadsAndSurvivesTheSave)
{
    std::string original = "[ACPI VMT's]\r\nS1SystemState=3\r\nC3CPUState=0\r\n";
    const std::vector<uint8_t> expected = {3, 1, 1, 1, 1, 1, 0, 1, 1, 1};

    /* Read-only.  Whether the platform refuses the write depends on who runs
       it (an administrator under Wine may write anyway); either way the save
       fails unseen or writes the whole section, and the file stays readable. */
    std::string path = WriteProfile(original);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Load(path), expected);
    g_TestSelection[SEL_S1] = 0;
    HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               NULL, OPEN_EXISTING, 0, NULL);
    bool writable = probe != INVALID_HANDLE_VALUE;
    if (writable)
        CloseHandle(probe);
    SaveTestSelection(path.c_str());
    if (writable)
        EXPECT_EQ(ParseProfile(ReadProfile(path))["ACPI VMT's"]["S1SystemState"], "0");
    else
        EXPECT_EQ(ReadProfile(path), original);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, (DWORD)FILE_ATTRIBUTE_READONLY);

    /* Held open by another program without write sharing: every write fails,
       the file keeps its bytes, and it loads as before once released. */
    path = WriteProfile(original);
    EXPECT_EQ(Load(path), expected);
    g_TestSelection[SEL_S1] = 0;
    HANDLE hold = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    SaveTestSelection(path.c_str());
    CloseHandle(hold);
    EXPECT_EQ(ReadProfile(path), original);
    EXPECT_EQ(Load(path), expected);
}

TEST_F(Settings, TableNeverLoadedIsNotWrittenBack)
{
    std::string original = "[ACPI VMT's]\r\nS1SystemState=3\r\n";
    std::string path = WriteProfile(original);
    g_bSelectionLoaded = false;
    memset(g_TestSelection, 0, sizeof g_TestSelection);
    SaveTestSelection(path.c_str());
    EXPECT_EQ(ReadProfile(path), original);

    std::string none = NewPath();
    SaveTestSelection(none.c_str());
    EXPECT_EQ(GetFileAttributesA(none.c_str()), INVALID_FILE_ATTRIBUTES);
}
