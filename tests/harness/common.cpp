/* Harness basics: see common.h. */
#include "tests/harness/common.h"
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace bb {

void WaitUntil(const std::function<bool()> &pred, DWORD timeoutMs, const std::string &what)
{
    const DWORD kPollMs = 10;
    DWORD start = GetTickCount();
    for (;;) {
        if (pred())
            return;
        if (GetTickCount() - start >= timeoutMs)
            throw HarnessError(Format("timed out after %lu ms waiting for ", (unsigned long)timeoutMs) + what);
        Sleep(kPollMs);
    }
}

std::string Format(const char *fmt, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

std::string Quoted(const std::string &s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "\"";
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                i++;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string TempPath(const std::string &name)
{
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir)
        throw HarnessError("GetTempPath failed");
    return dir + name;
}

std::string UnixPath(const std::string &windowsPath)
{
    typedef char *(CDECL *ToUnix)(LPCWSTR);
    static ToUnix toUnix = (ToUnix)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                          "wine_get_unix_file_name");
    if (!toUnix)
        throw HarnessError("not running under Wine: no wine_get_unix_file_name");
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH))
        throw HarnessError("path too long: " + windowsPath);
    char *unix = toUnix(wide);
    if (!unix)
        throw HarnessError("no Linux path for " + windowsPath);
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

int RunUnixCommand(const std::string &command, DWORD timeoutMs)
{
    static LONG s_serial;
    std::string base = TempPath(Format("vmt-unix-%lu-%ld", GetCurrentProcessId(),
                                       InterlockedIncrement(&s_serial)));
    std::string script = base + ".sh", status = base + ".status";
    DeleteFileA(status.c_str());
    std::string unixStatus = UnixPath(status);
    std::string text = command + "\necho $? > '" + unixStatus + ".tmp' && mv '" + unixStatus +
                       ".tmp' '" + unixStatus + "'\n";
    FILE *f = fopen(script.c_str(), "wb");
    if (!f || fwrite(text.data(), 1, text.size(), f) != text.size() || fclose(f) != 0)
        throw HarnessError("cannot write " + script);
    std::string line = "/bin/sh " + UnixPath(script);
    if (WinExec(line.c_str(), SW_HIDE) <= 31)
        throw HarnessError("could not start: " + line);
    try {
        WaitUntil([&] { return GetFileAttributesA(status.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  timeoutMs, "the end of: " + command);
    } catch (...) {
        DeleteFileA(script.c_str());
        throw;
    }
    int rc = -1;
    if (FILE *s = fopen(status.c_str(), "rb")) {
        if (fscanf(s, "%d", &rc) != 1)
            rc = -1;
        fclose(s);
    }
    DeleteFileA(script.c_str());
    DeleteFileA(status.c_str());
    return rc;
}

}  // namespace bb
