/* acpisim.sys: its settings, read from the service's Parameters key. */
#include "standin-driver/driver.h"

#define PARAMS_SUFFIX L"\\Parameters"

static WCHAR g_ParamsPath[512];          /* the service key + \Parameters */

/* Room for the longest string read: a path of TEXT_SIZE characters. */
typedef struct VALUE_BUFFER {
    KEY_VALUE_PARTIAL_INFORMATION Info;
    UCHAR More[TEXT_SIZE * sizeof(WCHAR)];
} VALUE_BUFFER;

/* Reads one value of the expected type: 1, or 0 when it is missing or of
   another type, or -1 when it is too long for the buffer. */
static int QueryValue(HANDLE key, PCWSTR name, ULONG type, VALUE_BUFFER *vb)
{
    UNICODE_STRING n;
    ULONG got = 0;
    RtlInitUnicodeString(&n, name);
    NTSTATUS st = ZwQueryValueKey(key, &n, KeyValuePartialInformation, vb, sizeof *vb, &got);
    if (st == STATUS_BUFFER_OVERFLOW || st == STATUS_BUFFER_TOO_SMALL)
        return -1;
    return NT_SUCCESS(st) && vb->Info.Type == type;
}

static ULONG ReadDword(HANDLE key, PCWSTR name, ULONG def)
{
    VALUE_BUFFER vb;
    if (QueryValue(key, name, REG_DWORD, &vb) != 1 || vb.Info.DataLength != sizeof(ULONG))
        return def;
    ULONG v;
    RtlCopyMemory(&v, vb.Info.Data, sizeof v);
    return v;
}

/* A REG_SZ value into out, NUL-terminated: 1, 0 when missing, -1 when it
   has outChars characters or more. */
static int ReadString(HANDLE key, PCWSTR name, WCHAR *out, ULONG outChars)
{
    VALUE_BUFFER vb;
    int found = QueryValue(key, name, REG_SZ, &vb);
    if (found != 1)
        return found;
    ULONG chars = vb.Info.DataLength / sizeof(WCHAR);
    const WCHAR *s = (const WCHAR *)vb.Info.Data;
    while (chars && s[chars - 1] == 0)
        chars--;
    if (chars >= outChars)
        return -1;
    RtlCopyMemory(out, s, chars * sizeof(WCHAR));
    out[chars] = 0;
    return 1;
}

BOOLEAN SettingsKeyFrom(PCUNICODE_STRING serviceKey)
{
    ULONG chars = serviceKey->Length / sizeof(WCHAR);
    ULONG suffix = sizeof PARAMS_SUFFIX / sizeof(WCHAR);   /* with its NUL */
    if (chars + suffix > sizeof g_ParamsPath / sizeof g_ParamsPath[0])
        return FALSE;
    RtlCopyMemory(g_ParamsPath, serviceKey->Buffer, chars * sizeof(WCHAR));
    RtlCopyMemory(g_ParamsPath + chars, PARAMS_SUFFIX, suffix * sizeof(WCHAR));
    return TRUE;
}

NTSTATUS LoadSettings(DRIVER_SETTINGS *s)
{
    UNICODE_STRING path;
    OBJECT_ATTRIBUTES oa;
    HANDLE key;
    WCHAR text[TEXT_SIZE];
    char backend[32];
    ULONG i;

    AcpiSimDefaultConfig(&s->Config);
    NtPathOf(s->JournalPath, NT_PATH_CHARS, L"" ACPISIM_DEFAULT_JOURNAL);

    RtlInitUnicodeString(&path, g_ParamsPath);
    InitializeObjectAttributes(&oa, &path, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &oa))) {
        s->Backend = AcpiSimFindBackend("");
        return STATUS_SUCCESS;
    }

    s->Config.CapabilityMask = ReadDword(key, L"CapabilityMask", s->Config.CapabilityMask);
    s->Config.FailCode = ReadDword(key, L"FailCode", 0);
    s->Config.FailStatus = ReadDword(key, L"FailStatus", s->Config.FailStatus);
    s->Config.ShortReply = ReadDword(key, L"ShortReply", 0);
    /* An idle time out of range keeps the default. */
    ULONG idle = ReadDword(key, L"HostIdleMilliseconds", s->Config.HostIdleMilliseconds);
    if (idle >= 1 && idle <= 60000)
        s->Config.HostIdleMilliseconds = idle;
    ULONG wake = ReadDword(key, L"SleepWake", s->Config.SleepWake);
    if (wake <= ACPISIM_WAKE_LATE)
        s->Config.SleepWake = wake;
    ULONG late = ReadDword(key, L"SleepLateSeconds", s->Config.SleepLateSeconds);
    if (late >= 1 && late <= 86400)
        s->Config.SleepLateSeconds = late;
    /* A root too long to keep turns host access off rather than falling
       back to the machine's own files. */
    if (ReadString(key, L"SysfsRoot", (WCHAR *)s->Config.SysfsRoot, ACPISIM_ROOT_CHARS) < 0) {
        DbgPrint("acpisim: SysfsRoot is too long, the host backend reaches no file\n");
        s->Config.SysfsRoot[0] = 0;
    }
    switch (ReadString(key, L"JournalFile", text, TEXT_SIZE)) {
    case 1:
        NtPathOf(s->JournalPath, NT_PATH_CHARS, text);
        break;
    case -1:
        DbgPrint("acpisim: JournalFile is too long, no journal\n");
        s->JournalPath[0] = 0;
        break;
    }

    /* Backend names are ASCII; compared without regard to case.  An unknown
       name refuses the open and leaves the driver without a backend, so
       every request fails until an open names a known one (Wine hands out
       the handle before the open is answered). */
    backend[0] = 0;
    switch (ReadString(key, L"Backend", text, sizeof backend)) {
    case 1:
        for (i = 0; text[i]; i++) {
            WCHAR c = text[i];
            backend[i] = c >= L'A' && c <= L'Z' ? (char)(c - L'A' + 'a')
                       : c < 0x80 ? (char)c : '?';
        }
        backend[i] = 0;
        break;
    case -1:
        RtlCopyMemory(backend, "(too long)", sizeof "(too long)");
        break;
    }
    ZwClose(key);
    s->Backend = AcpiSimFindBackend(backend);
    if (!s->Backend) {
        DbgPrint("acpisim: unknown Backend %s, the device does not open\n", backend);
        return STATUS_NOT_SUPPORTED;
    }
    return STATUS_SUCCESS;
}
