/* acpisim.sys: a kernel-mode stand-in for the ACPI power-control driver.
   It creates \Device\AcpiSim with the DOS name ACPI, re-reads its settings
   at every open (settings.c), answers the seven control codes through its
   rules and backend (acpisimrules) and appends one journal line per request
   (journal.c) before completing it.  When its last handle closes, the
   backends put back what they changed on the machine. */
#include "standin-driver/driver.h"
#include "standin-driver/hostrules.h"

static KMUTEX g_Lock;                    /* one request or open at a time */
static DRIVER_SETTINGS g_Settings;
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

/* A backend could not put back all it changed on the machine; it keeps
   the rest to try again at the next last close.  The debugger and the
   journal are told. */
static void PutBackFailed(const ACPISIM_BACKEND *be, uint32_t status)
{
    char line[ACPISIM_JOURNAL_LINE];
    size_t length = AcpiSimPutBackLine(be, status, line, sizeof line);
    DbgPrint("acpisim: the %s backend could not put back all it changed (0x%08lx); "
             "it tries again at the next last close\n", be->Name, (ULONG)status);
    if (g_Settings.JournalPath[0])
        JournalAppend(g_Settings.JournalPath, line, (ULONG)length);
}

/* Reads the settings and tells the backend they hold for this open. */
static NTSTATUS Configure(void)
{
    NTSTATUS status = LoadSettings(&g_Settings);
    if (NT_SUCCESS(status) && g_Settings.Backend->Open) {
        uint32_t st = g_Settings.Backend->Open(&g_Settings.Config);
        if (st)
            PutBackFailed(g_Settings.Backend, st);
    }
    return status;
}

/* Every open counts, refused ones too: Wine hands out the handle before
   the open is answered, and closes it like any other. */
static NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT dev, PIRP irp)
{
    (void)dev;
    Lock();
    g_Opens++;
    NTSTATUS status = Configure();
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
        AcpiSimReleaseBackends(PutBackFailed);
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
    status = (NTSTATUS)AcpiSimRequest(g_Settings.Backend, &g_Settings.Config, &rq);
    if (g_Settings.JournalPath[0])
        JournalAppend(g_Settings.JournalPath, rq.Journal, (ULONG)rq.JournalLength);
    Unlock();
    return Complete(irp, status, rq.Information);
}

static VOID NTAPI Unload(PDRIVER_OBJECT drv)
{
    UNICODE_STRING dos = DosName();
    (void)drv;
    Lock();
    AcpiSimReleaseBackends(PutBackFailed);
    Unlock();
    IoDeleteSymbolicLink(&dos);
    if (g_Device)
        IoDeleteDevice(g_Device);
    g_Device = NULL;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT drv, PUNICODE_STRING registryPath)
{
    UNICODE_STRING dev = DeviceName(), dos = DosName();
    NTSTATUS st;

    if (!SettingsKeyFrom(registryPath))
        return STATUS_INVALID_PARAMETER;
    KeInitializeMutex(&g_Lock, 0);
    AcpiSimSimulatedReset();
    AcpiSimKernelStart();
    /* The device is made all the same: every open reads the settings
       again and can name a good backend. */
    st = Configure();
    if (!NT_SUCCESS(st))
        DbgPrint("acpisim: the settings at start cannot be used (0x%08lx); each open reads them again\n", st);

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
    DbgPrint("acpisim: started, backend %s\n", g_Settings.Backend ? g_Settings.Backend->Name : "(none)");
    return STATUS_SUCCESS;
}
