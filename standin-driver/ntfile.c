/* acpisim.sys: files by NT path, for the journal and the host backend. */
#include "standin-driver/driver.h"

ULONG NtPathOf(WCHAR *path, ULONG size, const WCHAR *dos)
{
    static const WCHAR prefix[] = L"\\??\\";
    const WCHAR *parts[2] = { dos[0] && dos[0] != L'\\' ? prefix : L"", dos };
    ULONG n = 0;
    for (int p = 0; p < 2; p++)
        for (const WCHAR *c = parts[p]; *c; c++) {
            if (n + 1 >= size) {
                path[0] = 0;
                return 0;
            }
            path[n++] = *c;
        }
    path[n] = 0;
    return n;
}

NTSTATUS OpenNtFile(HANDLE *file, const WCHAR *path, ACCESS_MASK access, ULONG disposition,
                    ULONG options, ULONG attributes)
{
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES oa;
    IO_STATUS_BLOCK iosb;
    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&oa, &name, attributes | OBJ_KERNEL_HANDLE, NULL, NULL);
    return ZwCreateFile(file, access | SYNCHRONIZE, &oa, &iosb, NULL, FILE_ATTRIBUTE_NORMAL,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, disposition,
                        FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE | options, NULL, 0);
}
