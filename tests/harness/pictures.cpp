/* Pictures: see pictures.h. */
#include "tests/harness/pictures.h"
#include "tests/harness/program.h"

namespace bb {

namespace {

/* build/ARCH/screenshots/<name> as a Windows path, the folder made. */
std::string ScreenshotPath(const std::string &name)
{
    std::string dir = ProgramPath();                       /* Z:\...\bin\VERUVEZ.EXE */
    dir = dir.substr(0, dir.rfind("\\bin\\")) + "\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    std::string path = dir + "\\" + name;
    DeleteFileA(path.c_str());
    return path;
}

void Import(const std::string &options, const std::string &path)
{
    std::string unix = UnixPath(path);
    int rc = RunUnixCommand("import " + options + " 'png:" + unix + ".tmp' && mv '" + unix +
                            ".tmp' '" + unix + "'");
    if (rc != 0 || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw HarnessError(Format("import %s failed (exit %d)", options.c_str(), rc));
}

void Repaint(HWND hwnd)
{
    RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
}

}  // namespace

void SaveScreenshot(HWND hwnd, const std::string &name)
{
    Repaint(hwnd);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    Import(Format("-window root -crop %ldx%ld+%ld+%ld", rc.right - rc.left, rc.bottom - rc.top,
                  rc.left, rc.top), ScreenshotPath(name));
}

void SaveFramedScreenshot(HWND hwnd, const std::string &name)
{
    /* Wine keeps the X window of a top-level window in this property. */
    HANDLE xwindow = GetPropA(hwnd, "__wine_x11_whole_window");
    if (!xwindow)
        throw HarnessError(Format("window %p has no X window", (void *)hwnd));
    Repaint(hwnd);
    Import(Format("-frame -window 0x%lx", (unsigned long)(ULONG_PTR)xwindow), ScreenshotPath(name));
}

}  // namespace bb
