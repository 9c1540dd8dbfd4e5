/* Real input: see xinput.h. */
#include "tests/harness/xinput.h"
#include "tests/harness/ui.h"

namespace bb {

namespace {

/* Between two key events, so that each is handled as a separate press. */
const int kDelayMs = 60;

void Xdotool(const std::string &args)
{
    int rc = RunUnixCommand("xdotool " + args);
    if (rc != 0)
        throw HarnessError(Format("xdotool %s failed (exit %d)", args.c_str(), rc));
}

/* The text in single quotes for /bin/sh. */
std::string ShellQuoted(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

void XKeys(const std::string &keys)
{
    Xdotool(Format("key --delay %d ", kDelayMs) + keys);
}

void XType(const std::string &text)
{
    Xdotool(Format("type --delay %d -- ", kDelayMs) + ShellQuoted(text));
}

HWND FocusOf(HWND hwnd)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, NULL), &info))
        return NULL;
    return info.hwndFocus;
}

void WaitForForeground(HWND hwnd, DWORD timeoutMs)
{
    WaitUntil([&] { return GetForegroundWindow() == hwnd; }, timeoutMs,
              Format("window %p (%s) to become the foreground window; it is %p (%s)", (void *)hwnd,
                     Quoted(WindowText(hwnd)).c_str(), (void *)GetForegroundWindow(),
                     Quoted(WindowText(GetForegroundWindow())).c_str()));
}

}  // namespace bb
