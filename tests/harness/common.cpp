/* Harness basics: see common.h. */
#include "tests/harness/common.h"
#include <cstdarg>
#include <cstdio>

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

}  // namespace bb
