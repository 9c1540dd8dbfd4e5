/* Pictures: see pictures.h. */
#include "tests/harness/pictures.h"
#include "tests/harness/program.h"
#include <algorithm>
#include <cstdio>

namespace bb {

void SaveScreenshot(HWND hwnd, const std::string &name)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    std::string dir = ProgramPath();                       /* Z:\...\bin\VERUVEZ.EXE */
    dir = dir.substr(0, dir.rfind("\\bin\\")) + "\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    std::string dos = dir + "\\" + name, unix = dos.substr(2);
    std::replace(unix.begin(), unix.end(), '\\', '/');
    DeleteFileA(dos.c_str());
    char cmd[1024];
    snprintf(cmd, sizeof cmd,
             "/bin/sh -c \"import -window root -crop %ldx%ld+%ld+%ld 'png:%s.tmp' && mv '%s.tmp' '%s'\"",
             rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top, unix.c_str(), unix.c_str(), unix.c_str());
    if (WinExec(cmd, SW_HIDE) <= 31)
        throw HarnessError("could not start: " + std::string(cmd));
    WaitUntil([&] { return GetFileAttributesA(dos.c_str()) != INVALID_FILE_ATTRIBUTES; }, kTimeout, dos);
}

}  // namespace bb
