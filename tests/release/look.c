/* The release test's eyes: "look version FILE" prints the file's fixed version and FileVersion text;
   "look banner" waits for VERUVEZ's window, prints its log pane and closes it. */
#include <windows.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    static char buf[8192];
    VS_FIXEDFILEINFO *v;
    char *text;
    UINT n;
    HWND main = NULL, pane = NULL;
    if (argc == 3)
        return !(GetFileVersionInfoA(argv[2], 0, sizeof buf, buf) && VerQueryValueA(buf, "\\", (void **)&v, &n) &&
                 VerQueryValueA(buf, "\\StringFileInfo\\040904B0\\FileVersion", (void **)&text, &n) &&
                 printf("%u.%u.%u.%u %s\n", HIWORD(v->dwFileVersionMS), LOWORD(v->dwFileVersionMS),
                        HIWORD(v->dwFileVersionLS), LOWORD(v->dwFileVersionLS), text) > 0);
    for (int i = 0; i < 300 && !pane; i++, Sleep(100))
        if ((main = FindWindowA("VERUVEZ", NULL)))
            pane = FindWindowExA(main, NULL, "RICHEDIT", NULL);
    return !(pane && SendMessageA(pane, WM_GETTEXT, sizeof buf, (LPARAM)buf) && printf("%s\n", buf) > 0 &&
             PostMessageA(main, WM_CLOSE, 0, 0));
}
