/* The release test's eyes, as Windows reports what it sees:
     look version FILE   the file's fixed version and its FileVersion text;
     look banner         waits for VERUVEZ's window, prints its log pane, closes it. */
#include <windows.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    static char buf[8192];
    if (argc == 3) {
        VS_FIXEDFILEINFO *fixed;
        char *text;
        UINT len;
        if (!GetFileVersionInfoA(argv[2], 0, sizeof buf, buf) || !VerQueryValueA(buf, "\\", (void **)&fixed, &len) ||
            !VerQueryValueA(buf, "\\StringFileInfo\\040904B0\\FileVersion", (void **)&text, &len))
            return 1;
        printf("%u.%u.%u.%u %s\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
               HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS), text);
        return 0;
    }
    HWND main = NULL, pane = NULL;
    for (int i = 0; i < 300 && !pane; i++, Sleep(100))
        if ((main = FindWindowA("VERUVEZ", NULL)))
            pane = FindWindowExA(main, NULL, "RICHEDIT", NULL);
    if (!pane || !SendMessageA(pane, WM_GETTEXT, sizeof buf, (LPARAM)buf))
        return 1;
    printf("%s\n", buf);
    return !PostMessageA(main, WM_CLOSE, 0, 0);
}
