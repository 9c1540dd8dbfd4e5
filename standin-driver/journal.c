/* acpisim.sys: the journal file, one line per request. */
#include "standin-driver/driver.h"

void JournalAppend(const WCHAR *journalPath, const char *line, ULONG length)
{
    IO_STATUS_BLOCK iosb;
    HANDLE file;
    LARGE_INTEGER end;
    NTSTATUS st = OpenNtFile(&file, journalPath, FILE_APPEND_DATA, FILE_OPEN_IF, FILE_WRITE_THROUGH,
                             OBJ_CASE_INSENSITIVE);
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
