/* The driver's device and one request to it. */
#include "driver/link.h"

HANDLE AcpiOpenDevice(void)
{
    return CreateFileA(ACPI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_EXISTING, 0, NULL);
}

DWORD AcpiSendRequest(HANDLE device, DWORD code, void *buf, DWORD size, DWORD *pcbReply)
{
    *pcbReply = 0;
    if (DeviceIoControl(device, code, buf, size, buf, size, pcbReply, NULL))
        return 0;
    DWORD err = GetLastError();
    return err ? err : ERROR_GEN_FAILURE;
}
