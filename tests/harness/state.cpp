/* Waits, texts, and what the program and the driver leave behind. */
#include "tests/harness/harness.h"
#include "selection/selectionrules.h"
#include "standin-driver/acpisimrules.h"
#include <cstdio>
#include <fstream>
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

std::string Text(HWND hwnd)
{
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kWait, &n))
        throw Error("a window does not answer");
    std::string text(n * 2 + 2, '\0');   /* room for line ends widened to \r\n */
    SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), (LPARAM)&text[0], SMTO_ABORTIFHUNG, kWait, &n);
    text.resize(strnlen(text.c_str(), text.size()));
    return text;
}

void SetProgram(const char *path)
{
    g_program = path;
    if (path[0] == '/')
        g_program = "Z:" + g_program;
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

namespace {

std::string IniPath()
{
    char dir[MAX_PATH];
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

/* The driver's settings that a row may change. */
const char *const kSettings[] = {"CapabilityMask", "FailCode", "FailStatus", "ShortReply",
                                 "Backend", "SysfsRoot", "HostIdleMilliseconds", "JournalFile"};

}  // namespace

void WriteIni(const char *text)
{
    DeleteFileA(IniPath().c_str());
    if (text)
        std::ofstream(IniPath(), std::ios::binary) << text;
}

std::string ReadIni()
{
    return ReadFile(IniPath());
}

std::vector<std::string> Journal()
{
    std::string text = ReadFile(ACPISIM_DEFAULT_JOURNAL);
    return text == "(none)" ? std::vector<std::string>() : Lines(text);
}

void DriverReset()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, 0, NULL, 0, KEY_ALL_ACCESS,
                        NULL, &key, NULL) == ERROR_SUCCESS) {
        for (const char *name : kSettings)
            RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
    DriverRunning(false);   /* a fresh machine: the driver forgets its state */
    DriverRunning(true);
    DeleteFileA(ACPISIM_DEFAULT_JOURNAL);
}

void DriverSet(const std::string &name, const std::string &value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, ACPISIM_PARAMETERS_KEY, 0, NULL, 0, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        throw Error("cannot open the driver's settings");
    LONG rc;
    if (!value.empty() && isdigit((unsigned char)value[0])) {
        DWORD v = strtoul(value.c_str(), NULL, 0);
        rc = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, (const BYTE *)&v, sizeof v);
    } else {
        rc = RegSetValueExA(key, name.c_str(), 0, REG_SZ, (const BYTE *)value.c_str(), (DWORD)value.size() + 1);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        throw Error("cannot set the driver's " + name);
}

/* Through the service manager, as an administrator would. */
void DriverRunning(bool on)
{
    SC_HANDLE scm = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE svc = scm ? OpenServiceA(scm, "AcpiSim", SERVICE_ALL_ACCESS) : NULL;
    SERVICE_STATUS st = {};
    BOOL ok = svc && (on ? StartServiceA(svc, 0, NULL) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING
                         : ControlService(svc, SERVICE_CONTROL_STOP, &st) || GetLastError() == ERROR_SERVICE_NOT_ACTIVE);
    DWORD err = GetLastError();
    if (svc)
        WaitFor([&] {
            return QueryServiceStatus(svc, &st) && st.dwCurrentState == (on ? SERVICE_RUNNING : SERVICE_STOPPED);
        }, on ? "the driver to start" : "the driver to stop");
    CloseServiceHandle(svc);
    CloseServiceHandle(scm);
    if (!ok)
        throw Error(std::string("cannot ") + (on ? "start" : "stop") + " the driver: error " + std::to_string(err));
}

/* Through a script file, so any quoting survives; its status in a file. */
int Unix(const std::string &command)
{
    static int serial;
    std::string base = "C:\\vt-unix-" + std::to_string(++serial);
    typedef char *(CDECL * ToUnix)(LPCWSTR);
    static ToUnix toUnix = (ToUnix)(void *)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, base.c_str(), -1, wide, MAX_PATH);
    char *unixBase = toUnix ? toUnix(wide) : nullptr;
    if (!unixBase)
        throw Error("not under Wine: no Linux path for " + base);
    std::string ub = unixBase;
    HeapFree(GetProcessHeap(), 0, unixBase);
    DeleteFileA((base + ".rc").c_str());
    std::ofstream(base + ".sh", std::ios::binary) << command << "\necho $? > '" << ub << ".tmp' && mv '"
                                                 << ub << ".tmp' '" << ub << ".rc'\n";
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

}  // namespace vt
