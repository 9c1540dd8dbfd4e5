/* The link to the power-control driver that VERUVEZ.EXE and VMTCYCLE.EXE
   share: opening its device and sending one request. */
#ifndef VMT_LINK_H
#define VMT_LINK_H

#include <windows.h>
#include "driver/acpiioctl.h"

/* The device ("\\.\ACPI") opened for requests, or INVALID_HANDLE_VALUE
   with GetLastError() telling why. */
HANDLE AcpiOpenDevice(void);
/* One request, buf serving as input and output; returns 0 or the system
   error code, and *pcbReply the number of bytes written back. */
DWORD  AcpiSendRequest(HANDLE device, DWORD code, void *buf, DWORD size, DWORD *pcbReply);

#endif
