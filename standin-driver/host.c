/* The host backend's kernel side: the files under SysfsRoot reached with
   ZwCreateFile (Wine's driver host maps \??\Z:\sys\... to /sys/...), the
   idle wait and the system clock with its time zone; the last two serve
   the simulated machine's sleeps too. */
#include "standin-driver/driver.h"
#include "standin-driver/hostrules.h"
#include "standin-driver/textrules.h"

NTSYSAPI NTSTATUS NTAPI ZwQuerySystemInformation(ULONG infoClass, PVOID info, ULONG length, PULONG returned);
NTSYSAPI NTSTATUS NTAPI RtlQueryTimeZoneInformation(PVOID zone);

#define SYSTEM_TIME_OF_DAY_INFORMATION 3
/* "\??\", the root, '\' and a path below the root. */
#define FILE_PATH_CHARS (4 + ACPISIM_ROOT_CHARS + 1 + HOST_PATH_CHARS)

typedef struct TIME_OF_DAY {
    LARGE_INTEGER BootTime, CurrentTime, TimeZoneBias;
    ULONG TimeZoneId, Reserved;
    ULONGLONG BootTimeBias, SleepTimeBias;
} TIME_OF_DAY;

/* The system's time-zone record: its dates in SYSTEMTIME order. */
typedef struct KERNEL_ZONE {
    LONG Bias;
    WCHAR StandardName[32];
    USHORT StandardDate[8];
    LONG StandardBias;
    WCHAR DaylightName[32];
    USHORT DaylightDate[8];
    LONG DaylightBias;
} KERNEL_ZONE;

/* root + '\' + path, '/' made '\'; a DOS root ("Z:\") gets "\??\" in front.
   Returns 0 when it does not fit. */
static int NtPath(WCHAR *out, const uint16_t *root, const char *path)
{
    ULONG n = NtPathOf(out, FILE_PATH_CHARS, (const WCHAR *)root);
    if (!n)
        return 0;
    if (out[n - 1] != L'\\')
        out[n++] = L'\\';
    for (; *path; path++) {
        if (n + 1 >= FILE_PATH_CHARS)
            return 0;
        out[n++] = *path == '/' ? L'\\' : (WCHAR)(unsigned char)*path;
    }
    out[n] = 0;
    return 1;
}

/* Opens an existing file, never creating one (asking to create a sysfs
   file is refused), with the exact case of its name. */
static NTSTATUS OpenFile(const uint16_t *root, const char *path, ACCESS_MASK access, HANDLE *file)
{
    WCHAR name[FILE_PATH_CHARS];
    if (!NtPath(name, root, path))
        return STATUS_OBJECT_NAME_INVALID;
    return OpenNtFile(file, name, access, FILE_OPEN, 0, 0);
}

/* Opens the file, reads or writes once at offset 0, and closes it. */
static uint32_t Transfer(const uint16_t *root, const char *path, int write,
                         void *buf, uint32_t length, uint32_t *done)
{
    HANDLE file;
    IO_STATUS_BLOCK iosb;
    LARGE_INTEGER at;
    *done = 0;
    NTSTATUS st = OpenFile(root, path, write ? FILE_WRITE_DATA : FILE_READ_DATA, &file);
    if (!NT_SUCCESS(st))
        return (uint32_t)st;
    at.QuadPart = 0;
    iosb.Information = 0;
    st = write ? ZwWriteFile(file, NULL, NULL, NULL, &iosb, buf, length, &at, NULL)
               : ZwReadFile(file, NULL, NULL, NULL, &iosb, buf, length, &at, NULL);
    if (NT_SUCCESS(st))
        *done = (uint32_t)iosb.Information;
    ZwClose(file);
    return (uint32_t)st;
}

static uint32_t KernelRead(void *ctx, const uint16_t *root, const char *path,
                           char *buf, uint32_t size, uint32_t *got)
{
    (void)ctx;
    return Transfer(root, path, 0, buf, size, got);
}

static uint32_t KernelWrite(void *ctx, const uint16_t *root, const char *path,
                            const char *text, uint32_t length, uint32_t *written)
{
    (void)ctx;
    return Transfer(root, path, 1, (void *)text, length, written);
}

static uint32_t KernelCanWrite(void *ctx, const uint16_t *root, const char *path)
{
    HANDLE file;
    (void)ctx;
    NTSTATUS st = OpenFile(root, path, FILE_WRITE_DATA, &file);
    if (NT_SUCCESS(st))
        ZwClose(file);
    return (uint32_t)st;
}

static void KernelIdle(void *ctx, uint32_t milliseconds)
{
    LARGE_INTEGER interval;
    (void)ctx;
    interval.QuadPart = -(LONGLONG)milliseconds * 10000;
    KeDelayExecutionThread(KernelMode, FALSE, &interval);
}

static void ZoneDate(HOST_ZONE_DATE *to, const USHORT from[8])
{
    to->Year = from[0];
    to->Month = from[1];
    to->DayOfWeek = from[2];
    to->Day = from[3];
    to->Hour = from[4];
    to->Minute = from[5];
    to->Second = from[6];
    to->Milliseconds = from[7];
}

static uint32_t KernelNow(void *ctx, HOST_CLOCK *clock)
{
    static TIME_OF_DAY tod;
    static KERNEL_ZONE zone;
    ULONG got = 0;
    (void)ctx;
    RtlZeroMemory(&tod, sizeof tod);
    RtlZeroMemory(&zone, sizeof zone);
    NTSTATUS st = ZwQuerySystemInformation(SYSTEM_TIME_OF_DAY_INFORMATION, &tod, sizeof tod, &got);
    if (NT_SUCCESS(st))
        st = RtlQueryTimeZoneInformation(&zone);
    if (!NT_SUCCESS(st)) {
        DbgPrint("acpisim: the system clock cannot be read (0x%08lx)\n", st);
        return (uint32_t)st;
    }
    clock->Utc = (int64_t)AcpiSimDivide((uint64_t)tod.CurrentTime.QuadPart, 10000000, 0);
    clock->Zone.Bias = zone.Bias;
    clock->Zone.StandardBias = zone.StandardBias;
    clock->Zone.DaylightBias = zone.DaylightBias;
    ZoneDate(&clock->Zone.StandardDate, zone.StandardDate);
    ZoneDate(&clock->Zone.DaylightDate, zone.DaylightDate);
    return ACPISIM_STATUS_SUCCESS;
}

static const HOST_PLATFORM g_Kernel = {
    0, KernelRead, KernelWrite, KernelCanWrite, KernelIdle, KernelNow,
};

void AcpiSimKernelStart(void)
{
    AcpiSimHostSetPlatform(&g_Kernel);
    AcpiSimSimulatedSetPlatform(&g_Kernel);
}
