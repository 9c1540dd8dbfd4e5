/* The power-control driver device and its requests. */
#include "driver/device.h"
#include "log/logpane.h"
#include "app/globals.h"

void OpenAcpiDevice(void)
{
    g_hDevice = CreateFileA(ACPI_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, 0, NULL);
}

void CloseAcpiDevice(void)
{
    CloseHandle(g_hDevice);
    g_hDevice = INVALID_HANDLE_VALUE;
}

/* One request, buf serving as input and output; 0 or the system error code. */
static DWORD SendRequest(DWORD code, void *buf, DWORD size, DWORD *pcbReply)
{
    *pcbReply = 0;
    if (DeviceIoControl(g_hDevice, code, buf, size, buf, size, pcbReply, NULL))
        return 0;
    DWORD err = GetLastError();
    return err ? err : ERROR_GEN_FAILURE;
}

DWORD DeviceRequestQuiet(DWORD code, void *buf, DWORD size)
{
    DWORD bytes;
    return SendRequest(code, buf, size, &bytes);
}

DWORD DeviceRequestReply(DWORD code, void *buf, DWORD size, DWORD *pcbReply)
{
    DWORD err = SendRequest(code, buf, size, pcbReply);
    if (err) {
        const char *name = AcpiIoctlName(code);
        LogPrintf(LOG_ERROR, REQUEST_FAILED_FORMAT "\r\n", name ? name : REQUEST_UNKNOWN_NAME, err);
    }
    return err;
}

DWORD DeviceRequest(DWORD code, void *buf, DWORD size)
{
    DWORD bytes;
    return DeviceRequestReply(code, buf, size, &bytes);
}

DWORD DeviceRequestValue(DWORD code, DWORD value)
{
    uint32_t buf = value;
    static_assert(sizeof buf == ACPI_VALUE_SIZE, "a request value");
    return DeviceRequest(code, &buf, ACPI_VALUE_SIZE);
}
