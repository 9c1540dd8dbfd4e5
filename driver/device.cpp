/* The power-control driver device and its requests. */
#include "driver/device.h"
#include "driver/link.h"
#include "log/logpane.h"
#include "app/globals.h"

void OpenAcpiDevice(void)
{
    g_hDevice = AcpiOpenDevice();
}

void CloseAcpiDevice(void)
{
    CloseHandle(g_hDevice);
    g_hDevice = INVALID_HANDLE_VALUE;
}

DWORD DeviceRequestQuiet(DWORD code, void *buf, DWORD size)
{
    DWORD bytes;
    return AcpiSendRequest(g_hDevice, code, buf, size, &bytes);
}

DWORD DeviceRequestReply(DWORD code, void *buf, DWORD size, DWORD *pcbReply)
{
    DWORD err = AcpiSendRequest(g_hDevice, code, buf, size, pcbReply);
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
