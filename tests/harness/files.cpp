/* Settings file, journal and driver settings: see files.h. */
#include "tests/harness/files.h"
#include "selection/selectionrules.h"
#include "standin-driver/acpisimrules.h"

namespace bb {

std::string ReadWholeFile(const std::string &path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    std::string data;
    char buf[4096];
    DWORD got;
    while (ReadFile(h, buf, sizeof buf, &got, NULL) && got)
        data.append(buf, got);
    CloseHandle(h);
    return data;
}

namespace {

void WriteWholeFile(const std::string &path, const std::string &contents)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        throw HarnessError(Format("cannot write %s (error %lu)", path.c_str(), GetLastError()));
    DWORD put = 0;
    BOOL ok = contents.empty() ||
              WriteFile(h, contents.data(), (DWORD)contents.size(), &put, NULL);
    CloseHandle(h);
    if (!ok || put != contents.size())
        throw HarnessError(Format("short write to %s", path.c_str()));
}

/* The program names the file without a folder: the platform keeps it in
   the Windows directory. */
std::string SettingsPath()
{
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir)
        throw HarnessError("GetWindowsDirectory failed");
    return std::string(dir) + "\\" SETTINGS_FILE;
}

void SetParameter(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, 0, NULL, 0,
                              KEY_SET_VALUE, NULL, &key, NULL);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS)
        throw HarnessError(Format("cannot set driver parameter %s (error %ld)", name, rc));
}

}  // namespace

/* ---- settings file ------------------------------------------------------- */

std::string ReadSettingsFile()
{
    return ReadWholeFile(SettingsPath());
}

void WriteSettingsFile(const std::string &contents)
{
    WriteWholeFile(SettingsPath(), contents);
}

void DeleteSettingsFile()
{
    std::string path = SettingsPath();
    if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        throw HarnessError(Format("cannot delete %s (error %lu)", path.c_str(), GetLastError()));
}

void WriteSettings(const std::vector<int> &values)
{
    std::string text = "[" SETTINGS_SECTION "]\r\n";
    for (size_t i = 0; i < values.size() && SelectionKey((int)i); i++)
        text += std::string(SelectionKey((int)i)) + "=" + std::to_string(values[i]) + "\r\n";
    WriteSettingsFile(text);
}

long SettingsValue(const std::string &key, long missing)
{
    bool inSection = false;
    for (std::string line : SplitLines(ReadSettingsFile())) {
        size_t b = line.find_first_not_of(" \t");
        line = b == std::string::npos ? "" : line.substr(b);
        if (!line.empty() && line[0] == '[') {
            inSection = lstrcmpiA(line.substr(0, line.find(']') + 1).c_str(), "[" SETTINGS_SECTION "]") == 0;
            continue;
        }
        size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos)
            continue;
        std::string name = line.substr(0, eq);
        name.erase(name.find_last_not_of(" \t") + 1);
        if (lstrcmpiA(name.c_str(), key.c_str()) == 0)
            return strtol(line.c_str() + eq + 1, nullptr, 10);
    }
    return missing;
}

/* ---- stand-in driver ----------------------------------------------------- */

std::vector<std::string> ReadJournal()
{
    return SplitLines(ReadWholeFile(ACPISIM_DEFAULT_JOURNAL));
}

void ClearJournal()
{
    if (GetFileAttributesA(ACPISIM_DEFAULT_JOURNAL) != INVALID_FILE_ATTRIBUTES)
        WriteWholeFile(ACPISIM_DEFAULT_JOURNAL, "");
}

std::vector<std::string> WaitForJournalLines(size_t n, DWORD timeoutMs)
{
    std::vector<std::string> lines;
    try {
        WaitUntil([&] { lines = ReadJournal(); return lines.size() >= n; }, timeoutMs,
                  Format("%u journal lines in %s", (unsigned)n, ACPISIM_DEFAULT_JOURNAL));
    } catch (const HarnessError &e) {
        std::string all;
        for (const std::string &l : lines)
            all += "\n  " + l;
        throw HarnessError(std::string(e.what()) + "; the journal holds:" + all);
    }
    return lines;
}

void SetDriverParameter(const char *name, DWORD value)
{
    SetParameter(name, REG_DWORD, &value, sizeof value);
}

void SetDriverParameter(const char *name, const std::string &value)
{
    SetParameter(name, REG_SZ, value.c_str(), (DWORD)value.size() + 1);
}

/* A missing key has nothing to delete: it is not created (the prefix
   without the driver stays without its key). */
void DeleteDriverParameter(const char *name)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, 0, KEY_SET_VALUE, &key);
    if (rc == ERROR_SUCCESS) {
        rc = RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
        throw HarnessError(Format("cannot delete driver parameter %s (error %ld)", name, rc));
}

void ReloadDriverSettings()
{
    HANDLE h = CreateFileA(ACPI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        throw HarnessError(Format("cannot open %s (error %lu)", ACPI_DEVICE_PATH, GetLastError()));
    CloseHandle(h);
}

DriverParameterOverride::DriverParameterOverride(const char *name, DWORD value) : name_(name)
{
    SetDriverParameter(name, value);
}

DriverParameterOverride::~DriverParameterOverride()
{
    try {
        DeleteDriverParameter(name_);
    } catch (const HarnessError &) {
        /* a destructor throws nothing */
    }
}

}  // namespace bb
