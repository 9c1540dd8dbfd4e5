/* Harness basics shared by every part: the error, the bound of every wait
   and a few text helpers. */
#ifndef VMT_HARNESS_COMMON_H
#define VMT_HARNESS_COMMON_H

#include <windows.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace bb {

/* Default bound of every wait, in milliseconds. */
const DWORD kTimeout = 10000;

struct HarnessError : std::runtime_error {
    explicit HarnessError(const std::string &what) : std::runtime_error(what) {}
};

/* Calls pred every few milliseconds until it returns true; throws with
   `what` when timeoutMs runs out. */
void WaitUntil(const std::function<bool()> &pred, DWORD timeoutMs, const std::string &what);

/* printf into a std::string (at most 1023 characters). */
std::string Format(const char *fmt, ...);
/* s in double quotes, line ends shown as \r and \n. */
std::string Quoted(const std::string &s);
/* The text split at line ends (\r\n, \r or \n); an ending line break gives
   no extra empty line. */
std::vector<std::string> SplitLines(const std::string &text);

/* The name in the temporary folder (GetTempPath). */
std::string TempPath(const std::string &name);

/* Runs a shell command on the Linux side of Wine (/bin/sh -c, from a script
   file, so any quoting survives) and waits for its end; returns its exit
   status.  Throws when it cannot be started or does not end in time. */
int RunUnixCommand(const std::string &command, DWORD timeoutMs = kTimeout);
/* The Linux path of a Windows path (Wine's own mapping). */
std::string UnixPath(const std::string &windowsPath);

}  // namespace bb

#endif
