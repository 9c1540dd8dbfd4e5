/* acpisim.sys: the journal file, one line per request. */
#include "standin-driver/driver.h"

void JournalAppend(const WCHAR *journalPath, const char *line, ULONG length)
{
    UNICODE_STRING path;
    OBJECT_ATTRIBUTES oa;
    IO_STATUS_BLOCK iosb;
    HANDLE file;
    LARGE_INTEGER end;
    NTSTATUS st;

    RtlInitUnicodeString(&path, journalPath);
    InitializeObjectAttributes(&oa, &path, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    st = ZwCreateFile(&file, FILE_APPEND_DATA | SYNCHRONIZE, &oa, &iosb, NULL,
                      FILE_ATTRIBUTE_NORMAL,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN_IF,
                      FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE | FILE_WRITE_THROUGH,
                      NULL, 0);
    if (!NT_SUCCESS(st)) {
        DbgPrint("acpisim: the journal cannot be opened (0x%08lx)\n", st);
        return;
    }
    end.HighPart = -1;
    end.LowPart = FILE_WRITE_TO_END_OF_FILE;
    st = ZwWriteFile(file, NULL, NULL, NULL, &iosb, (PVOID)line, length, &end, NULL);
    if (!NT_SUCCESS(st))
        DbgPrint("acpisim: journal write failed (0x%08lx)\n", st);
    ZwClose(file);
}
