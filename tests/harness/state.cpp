/* Waits, texts, and what the program and the driver leave behind. */
#include "tests/harness/harness.h"
#include "selection/selectionrules.h"
#include "standin-driver/acpisimrules.h"
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

namespace vt {

std::string g_program;

void WaitFor(const std::function<bool()> &done, const std::string &what, DWORD ms)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(10))
        if (GetTickCount() - start > ms)
            throw Error("waited " + std::to_string(ms) + " ms for " + what);
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    if (at < text.size())
        lines.push_back(text.substr(at));
    return lines;
}

std::vector<std::string> Expect(std::vector<std::string> want, const std::vector<std::string> &got)
{
    for (size_t i = 0; i < want.size() && i < got.size(); i++) {
        std::string pattern;
        for (char c : want[i])
            pattern += c == '*' ? std::string("[0-9]+") : (c && strchr("\\^$.|?+()[]{}", c) ? "\\" : "") + std::string(1, c);
        if (want[i] == "...")
            want.erase(want.begin() + i, want.end()), want.insert(want.end(), got.begin() + i, got.end());
        else if (std::regex_match(got[i], std::regex(pattern)))
            want[i] = got[i];
    }
    return want;
}

std::string Text(HWND hwnd)
{
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kWait, &n))
        throw Error("a window does not answer");
    std::string text(n * 2 + 2, '\0');   /* room for line ends widened to \r\n */
    SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_ABORTIFHUNG, kWait, &n);
    return text.substr(0, strnlen(text.c_str(), text.size()));
}

void SetProgram(const char *path)
{
    g_program = std::string(path[0] == '/' ? "Z:" : "") + path;
    for (char &c : g_program)
        c = c == '/' ? '\\' : c;
}

std::string T(UINT id)
{
    static HMODULE exe = LoadLibraryExA(g_program.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    char text[260] = "";
    if (!exe || LoadStringA(exe, id, text, sizeof text) <= 0)
        throw Error("no string " + std::to_string(id) + " in " + g_program);
    return text;
}

static std::string IniPath()
{
    char dir[MAX_PATH] = "";
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\" SETTINGS_FILE;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    return f ? text.str() : "(none)";
}

void WriteIni(const char *text)
{
    DeleteFileA(IniPath().c_str());
    if (text)
        std::ofstream(IniPath(), std::ios::binary) << text;
}

std::string ReadIni() { return ReadFile(IniPath()); }

std::vector<std::string> FileLines(const std::string &path)
{
    std::string text = ReadFile(path);
    return text == "(none)" ? std::vector<std::string>() : Lines(text);
}

std::vector<std::string> Journal() { return FileLines(ACPISIM_DEFAULT_JOURNAL); }

void DriverReset()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (const char *name : {"CapabilityMask", "FailCode", "FailStatus", "ShortReply", "Backend", "SysfsRoot",
                                 "HostIdleMilliseconds", "JournalFile", "SleepWake", "SleepLateSeconds"})
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    DriverRunning(false);
    DriverRunning(true);
    DeleteFileA(ACPISIM_DEFAULT_JOURNAL);
}

void DriverSet(const std::string &name, const std::string &value)
{
    DWORD v = strtoul(value.c_str(), NULL, 0);
    bool number = !value.empty() && isdigit((unsigned char)value[0]);
    if (RegSetKeyValueA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, name.c_str(), number ? REG_DWORD : REG_SZ,
                        number ? (const void *)&v : value.c_str(), number ? 4 : (DWORD)value.size() + 1))
        throw Error("cannot set the driver's " + name);
}

/* Through the service manager, as an administrator would. */
void DriverRunning(bool on)
{
    SC_HANDLE scm = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE svc = scm ? OpenServiceA(scm, "AcpiSim", SERVICE_ALL_ACCESS) : NULL;
    SERVICE_STATUS st = {};
    if (!svc || !(on ? StartServiceA(svc, 0, NULL) : ControlService(svc, SERVICE_CONTROL_STOP, &st)))
        if (GetLastError() != (on ? ERROR_SERVICE_ALREADY_RUNNING : ERROR_SERVICE_NOT_ACTIVE))
            throw Error("cannot start or stop the driver: error " + std::to_string(GetLastError()));
    WaitFor([&] { return QueryServiceStatus(svc, &st) && st.dwCurrentState == (on ? SERVICE_RUNNING : SERVICE_STOPPED); },
            "the driver to start or stop");
    CloseServiceHandle(svc);
    CloseServiceHandle(scm);
}

static std::string UnixPath(const std::string &path)
{
    typedef char *(CDECL * ToUnix)(LPCWSTR);
    static ToUnix toUnix = (ToUnix)(void *)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    std::wstring wide(path.begin(), path.end());
    char *unix = toUnix ? toUnix(wide.c_str()) : nullptr;
    if (!unix)
        throw Error("not under Wine: no Linux path for " + path);
    std::string found = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return found;
}

/* From a script file, so any quoting survives; the status comes in a file. */
int Unix(const std::string &command)
{
    static int serial;
    std::string base = "C:\\vt-unix-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    std::string ub = UnixPath(base);
    std::ofstream(base + ".sh", std::ios::binary)
        << command << "\necho $? > '" << ub << ".tmp' && mv '" << ub << ".tmp' '" << ub << ".rc'\n";
    if (WinExec(("/bin/sh " + ub + ".sh").c_str(), SW_HIDE) <= 31)
        throw Error("cannot run /bin/sh");
    WaitFor([&] { return GetFileAttributesA((base + ".rc").c_str()) != INVALID_FILE_ATTRIBUTES; },
            "the end of: " + command, 60000);
    int rc = -1;
    std::ifstream(base + ".rc") >> rc;
    DeleteFileA((base + ".sh").c_str());
    DeleteFileA((base + ".rc").c_str());
    return rc;
}

/* The window as the X server shows it, painted afresh, into a file: "import" crops the screen. */
static void Import(HWND hwnd, int width, int height, const std::string &file)
{
    RedrawWindow(GetAncestor(hwnd, GA_ROOT), NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT r;
    GetWindowRect(hwnd, &r);
    char crop[64];
    snprintf(crop, sizeof crop, "%ldx%ld+%ld+%ld", width ? width : r.right - r.left, height ? height : r.bottom - r.top, r.left, r.top);
    if (Unix("import -window root -crop " + std::string(crop) + " '" + UnixPath(file) + "'") != 0)
        throw Error("cannot take the picture " + file);
}

void Shot(HWND hwnd, const std::string &name)
{
    std::string dir = g_program.substr(0, g_program.rfind("\\bin\\")) + "\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    Import(hwnd, 0, 0, dir + "\\" + name);
}

std::string Pixel(HWND hwnd)
{
    Import(hwnd, 1, 1, "C:\\pixel.txt");
    std::string text = ReadFile("C:\\pixel.txt");   /* "# ImageMagick pixel enumeration: ...\n0,0: (...)  #RRGGBB  name" */
    DeleteFileA("C:\\pixel.txt");
    size_t at = text.find('#', text.find('\n'));
    return at == std::string::npos ? "no pixel" : text.substr(at, 7);
}

}  // namespace vt
