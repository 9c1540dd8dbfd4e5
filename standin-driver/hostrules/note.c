/* What the host backend tells: the status the program gets for a file
   access's status, and the journal note of the request in progress. */
#include "standin-driver/hostrules/common.h"

uint32_t HostStatus(uint32_t s)
{
    switch (s) {
    case ACPISIM_STATUS_SUCCESS:
        return ACPISIM_STATUS_SUCCESS;
    case HOST_STATUS_OBJECT_NAME_NOT_FOUND:
    case HOST_STATUS_OBJECT_PATH_NOT_FOUND:
    case HOST_STATUS_NO_SUCH_DEVICE:
    case HOST_STATUS_NOT_IMPLEMENTED:
    case HOST_STATUS_FILE_IS_A_DIRECTORY:
    case ACPISIM_STATUS_INVALID_DEVICE_REQUEST:
    case ACPISIM_STATUS_NOT_SUPPORTED:
        return ACPISIM_STATUS_NOT_SUPPORTED;
    case HOST_STATUS_ACCESS_DENIED:
        return HOST_STATUS_ACCESS_DENIED;
    case HOST_STATUS_DEVICE_BUSY:
    case HOST_STATUS_SHARING_VIOLATION:
        return HOST_STATUS_DEVICE_BUSY;
    case ACPISIM_STATUS_INVALID_PARAMETER:
        return ACPISIM_STATUS_INVALID_PARAMETER;
    default:
        return HOST_STATUS_IO_DEVICE_ERROR;
    }
}

static char g_NoteBuffer[HOST_NOTE_CHARS], g_Taken[HOST_NOTE_CHARS];
static ACPISIM_TEXT g_Note = { g_NoteBuffer, sizeof g_NoteBuffer, 0 };

ACPISIM_TEXT *HostNoteText(void) { return &g_Note; }

void HostNote(const char *format, ...)
{
    va_list ap;
    if (g_Note.Length)
        AcpiSimPut(&g_Note, " ");
    va_start(ap, format);
    AcpiSimPutList(&g_Note, format, ap);
    va_end(ap);
}

int HostNoted(const char *word)
{
    for (uint32_t at = 0; at < g_Note.Length; at++) {
        uint32_t n = 0;
        if (at && g_NoteBuffer[at - 1] != ' ')
            continue;
        while (word[n] && at + n < g_Note.Length && g_NoteBuffer[at + n] == word[n])
            n++;
        if (!word[n] && (at + n == g_Note.Length || g_NoteBuffer[at + n] == ' '))
            return 1;
    }
    return 0;
}

const char *HostTakeNote(void)
{
    AcpiSimCopy(g_Taken, g_NoteBuffer, g_Note.Length + 1);
    g_Note.Length = 0;
    g_NoteBuffer[0] = 0;
    return g_Taken;
}
