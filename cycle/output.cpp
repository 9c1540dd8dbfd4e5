/* VMTCYCLE.EXE's console lines, log file and JUnit report. */
#include "cycle/output.h"
#include "cycle/junitrules.h"
#include <string.h>
#include <string>
#include <vector>

static HANDLE s_log = INVALID_HANDLE_VALUE, s_junit = INVALID_HANDLE_VALUE;
static DWORD s_error;                       /* the first failed write */
static std::vector<std::string> s_cases;    /* the report's testcases */
static unsigned s_failures;
static unsigned long s_ms;
static std::string s_suite;

static void Write(HANDLE file, const char *text, size_t length)
{
    DWORD done = 0;
    if (!WriteFile(file, text, (DWORD)length, &done, NULL) || done != length)
        s_error = s_error ? s_error : (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
}

static HANDLE Create(const char *path)
{
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
}

DWORD OutputOpen(const char *log, const char *junit, const char *suite, const char **failed)
{
    s_suite = suite;
    if (log && (s_log = Create(log)) == INVALID_HANDLE_VALUE) {
        *failed = log;
        return GetLastError();
    }
    if (junit && (s_junit = Create(junit)) == INVALID_HANDLE_VALUE) {
        *failed = junit;
        return GetLastError();
    }
    return 0;
}

void OutputText(const char *text, bool error)
{
    /* A console that cannot be written to (a closed pipe) has no one to
       tell; the log and the report still get every line. */
    DWORD done;
    WriteFile(GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text, (DWORD)strlen(text), &done, NULL);
}

void OutputLine(const char *line)
{
    std::string text = std::string(line) + "\r\n";
    OutputText(text.c_str(), false);
    if (s_log != INVALID_HANDLE_VALUE)
        Write(s_log, text.data(), text.size());
}

void OutputCase(const char *name, unsigned long ms, const char *failure, const char *line)
{
    static char part[JUNIT_PART_SIZE];
    if (s_junit == INVALID_HANDLE_VALUE)
        return;
    int n = JUnitCase(part, sizeof part, s_suite.c_str(), name, ms, failure, line);
    if (n < 0) {
        s_error = s_error ? s_error : ERROR_INSUFFICIENT_BUFFER;
        return;
    }
    s_cases.emplace_back(part, (size_t)n);
    s_failures += failure != NULL;
    s_ms += ms;
}

DWORD OutputClose(void)
{
    char start[JUNIT_PART_SIZE];
    if (s_junit != INVALID_HANDLE_VALUE) {
        int n = JUnitStart(start, sizeof start, s_suite.c_str(), (unsigned)s_cases.size(), s_failures, s_ms);
        if (n < 0)
            s_error = s_error ? s_error : ERROR_INSUFFICIENT_BUFFER;
        else
            Write(s_junit, start, (size_t)n);
        for (const std::string &c : s_cases)
            Write(s_junit, c.data(), c.size());
        Write(s_junit, JUNIT_END, strlen(JUNIT_END));
        CloseHandle(s_junit);
    }
    if (s_log != INVALID_HANDLE_VALUE)
        CloseHandle(s_log);
    return s_error;
}

void SystemErrorText(DWORD err, char *buf, DWORD size)
{
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, err, 0, buf, size, NULL);
    if (!n && size)
        lstrcpynA(buf, "the system has no text for it", (int)size);
    for (DWORD i = 0; i < n; i++)
        buf[i] = buf[i] == '\r' || buf[i] == '\n' ? ' ' : buf[i];
    while (n && buf[n - 1] == ' ')
        buf[--n] = '\0';
}
