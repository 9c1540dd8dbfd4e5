/* acpisim.sys: a kernel-mode stand-in for the ACPI power-control driver.
   It creates \Device\AcpiSim with the DOS name ACPI, re-reads its Parameters
   key at every open, answers the seven control codes through its backend
   and appends one journal line per request before completing it. */
#include <ntddk.h>
#include "acpisim/acpisim.h"
#include "acpisim/hostrules.h"

#define PARAMS_SUFFIX L"\\Parameters"
#define DEFAULT_JOURNAL L"C:\\acpisim-journal.txt"
#define MAX_PATH 260
#define PATH_CHARS (MAX_PATH + 4)

static WCHAR g_ParamsPath[512];          /* the service key + \Parameters */
static WCHAR g_JournalPath[PATH_CHARS];  /* NT path; empty: no journal */
static KMUTEX g_Lock;                    /* one request or open at a time */
static ACPISIM_CONFIG g_Config;
static const ACPISIM_BACKEND *g_Backend;
static PDEVICE_OBJECT g_Device;
static LONG g_Opens;                     /* handles open on the device */

static UNICODE_STRING DeviceName(void)
{
    UNICODE_STRING s;
    RtlInitUnicodeString(&s, L"\\Device\\AcpiSim");
    return s;
}

static UNICODE_STRING DosName(void)
{
    UNICODE_STRING s;
    RtlInitUnicodeString(&s, L"\\DosDevices\\ACPI");
    return s;
}

/* ---- Registry ---- */

typedef struct VALUE_BUFFER {
    KEY_VALUE_PARTIAL_INFORMATION Info;
    UCHAR More[PATH_CHARS * sizeof(WCHAR)];
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

/* The journal's NT path from a DOS path ("C:\x.txt" -> "\??\C:\x.txt");
   dos holds fewer than MAX_PATH characters. */
static void SetJournalPath(const WCHAR *dos)
{
    static const WCHAR prefix[] = L"\\??\\";
    ULONG n = 0, i;
    if (dos[0] && dos[0] != L'\\')
        for (; prefix[n]; n++)
            g_JournalPath[n] = prefix[n];
    for (i = 0; dos[i]; i++, n++)
        g_JournalPath[n] = dos[i];
    g_JournalPath[n] = 0;
}

/* Reads every setting; a missing key or value takes its default. */
static NTSTATUS LoadSettings(void)
{
    UNICODE_STRING path;
    OBJECT_ATTRIBUTES oa;
    HANDLE key;
    WCHAR text[PATH_CHARS];
    char backend[32];
    ULONG i;

    AcpiSimDefaultConfig(&g_Config);
    SetJournalPath(DEFAULT_JOURNAL);

    RtlInitUnicodeString(&path, g_ParamsPath);
    InitializeObjectAttributes(&oa, &path, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &oa))) {
        g_Backend = AcpiSimFindBackend("");
        if (g_Backend->Open)
            g_Backend->Open(&g_Config);
        return STATUS_SUCCESS;
    }

    g_Config.CapabilityMask = ReadDword(key, L"CapabilityMask", g_Config.CapabilityMask);
    g_Config.FailCode = ReadDword(key, L"FailCode", 0);
    g_Config.FailStatus = ReadDword(key, L"FailStatus", g_Config.FailStatus);
    g_Config.HostIdleMilliseconds = ReadDword(key, L"HostIdleMilliseconds", g_Config.HostIdleMilliseconds);
    if (g_Config.HostIdleMilliseconds < 1 || g_Config.HostIdleMilliseconds > 60000)
        g_Config.HostIdleMilliseconds = ACPISIM_DEFAULT_IDLE_MS;
    /* A root too long to keep turns host access off rather than falling
       back to the machine's own files. */
    switch (ReadString(key, L"SysfsRoot", text, ACPISIM_ROOT_CHARS)) {
    case 1:
        for (i = 0; text[i]; i++)
            g_Config.SysfsRoot[i] = text[i];
        g_Config.SysfsRoot[i] = 0;
        break;
    case -1:
        DbgPrint("acpisim: SysfsRoot is too long, the host backend reaches no file\n");
        g_Config.SysfsRoot[0] = 0;
        break;
    }
    switch (ReadString(key, L"JournalFile", text, MAX_PATH)) {
    case 1:
        SetJournalPath(text);
        break;
    case -1:
        DbgPrint("acpisim: JournalFile is too long, no journal\n");
        g_JournalPath[0] = 0;
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
    g_Backend = AcpiSimFindBackend(backend);
    if (!g_Backend) {
        DbgPrint("acpisim: unknown Backend %s, the device does not open\n", backend);
        return STATUS_NOT_SUPPORTED;
    }
    if (g_Backend->Open)
        g_Backend->Open(&g_Config);
    return STATUS_SUCCESS;
}

/* ---- Journal ---- */

/* Appends the line and closes the file again, so a reader sees it as soon
   as the request completes. */
static void JournalAppend(const char *line, ULONG length)
{
    UNICODE_STRING path;
    OBJECT_ATTRIBUTES oa;
    IO_STATUS_BLOCK iosb;
    HANDLE file;
    LARGE_INTEGER end;
    NTSTATUS st;

    RtlInitUnicodeString(&path, g_JournalPath);
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

/* ---- Dispatch ---- */

static void Lock(void)
{
    KeWaitForSingleObject(&g_Lock, Executive, KernelMode, FALSE, NULL);
}

static void Unlock(void)
{
    KeReleaseMutex(&g_Lock, FALSE);
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* Every open counts, refused ones too: Wine hands out the handle before
   the open is answered, and closes it like any other. */
static NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT dev, PIRP irp)
{
    (void)dev;
    Lock();
    g_Opens++;
    NTSTATUS status = LoadSettings();
    Unlock();
    return Complete(irp, status, 0);
}

static NTSTATUS NTAPI DispatchCleanup(PDEVICE_OBJECT dev, PIRP irp)
{
    (void)dev;
    return Complete(irp, STATUS_SUCCESS, 0);
}

/* The last handle closed: the backends put back what they changed. */
static NTSTATUS NTAPI DispatchClose(PDEVICE_OBJECT dev, PIRP irp)
{
    (void)dev;
    Lock();
    if (g_Opens > 0 && --g_Opens == 0)
        AcpiSimReleaseBackends();
    Unlock();
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT dev, PIRP irp)
{
    PIO_STACK_LOCATION sp = IoGetCurrentIrpStackLocation(irp);
    ACPISIM_REQUEST rq;
    NTSTATUS status;

    (void)dev;
    rq.Code = sp->Parameters.DeviceIoControl.IoControlCode;
    rq.Buffer = irp->AssociatedIrp.SystemBuffer;
    rq.InputLength = sp->Parameters.DeviceIoControl.InputBufferLength;
    rq.OutputLength = sp->Parameters.DeviceIoControl.OutputBufferLength;
    Lock();
    status = (NTSTATUS)AcpiSimRequest(g_Backend, &g_Config, &rq);
    if (g_JournalPath[0])
        JournalAppend(rq.Journal, (ULONG)rq.JournalLength);
    Unlock();
    return Complete(irp, status, rq.Information);
}

static VOID NTAPI Unload(PDRIVER_OBJECT drv)
{
    UNICODE_STRING dos = DosName();
    (void)drv;
    Lock();
    AcpiSimReleaseBackends();
    Unlock();
    IoDeleteSymbolicLink(&dos);
    if (g_Device)
        IoDeleteDevice(g_Device);
    g_Device = NULL;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT drv, PUNICODE_STRING registryPath)
{
    UNICODE_STRING dev = DeviceName(), dos = DosName();
    ULONG chars = registryPath->Length / sizeof(WCHAR);
    ULONG suffix = sizeof PARAMS_SUFFIX / sizeof(WCHAR);   /* with its NUL */
    NTSTATUS st;

    if (chars + suffix > sizeof g_ParamsPath / sizeof g_ParamsPath[0])
        return STATUS_INVALID_PARAMETER;
    RtlCopyMemory(g_ParamsPath, registryPath->Buffer, chars * sizeof(WCHAR));
    RtlCopyMemory(g_ParamsPath + chars, PARAMS_SUFFIX, suffix * sizeof(WCHAR));

    KeInitializeMutex(&g_Lock, 0);
    AcpiSimSimulatedReset();
    AcpiSimHostStart();
    g_Backend = AcpiSimFindBackend("");
    LoadSettings();

    st = IoCreateDevice(drv, 0, &dev, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE, &g_Device);
    if (!NT_SUCCESS(st))
        return st;
    st = IoCreateSymbolicLink(&dos, &dev);
    if (!NT_SUCCESS(st)) {
        IoDeleteDevice(g_Device);
        g_Device = NULL;
        return st;
    }
    g_Device->Flags &= ~DO_DEVICE_INITIALIZING;

    drv->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
    drv->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
    drv->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanup;
    drv->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    drv->DriverUnload = Unload;
    DbgPrint("acpisim: started, backend %s\n", g_Backend ? g_Backend->Name : "(none)");
    return STATUS_SUCCESS;
}
