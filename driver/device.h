/* The power-control driver device: opened at start-up into g_hDevice,
   closed at exit, and the requests sent through it. */
#ifndef VMT_DEVICE_H
#define VMT_DEVICE_H

#include <windows.h>
#include "driver/acpiioctl.h"

void  OpenAcpiDevice(void);
void  CloseAcpiDevice(void);
/* Sends one request with buf as input and output; returns 0 or the system
   error code.  DeviceRequest also writes the failure to the log. */
DWORD DeviceRequestQuiet(DWORD code, void *buf, DWORD size);
DWORD DeviceRequest(DWORD code, void *buf, DWORD size);
/* As DeviceRequest, with the ACPI_VALUE_SIZE bytes of one value. */
DWORD DeviceRequestValue(DWORD code, DWORD value);
/* As DeviceRequest; *pcbReply receives the number of bytes written back. */
DWORD DeviceRequestReply(DWORD code, void *buf, DWORD size, DWORD *pcbReply);

#endif
