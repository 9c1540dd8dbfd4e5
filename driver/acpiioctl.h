/* Control codes and records of the ACPI power-control driver ("\\.\ACPI").
   Plain C, no Windows headers: shared by the program, the stand-in driver
   and the native tests. */
#ifndef VMT_ACPIIOCTL_H
#define VMT_ACPIIOCTL_H

#include <stdint.h>

/* The device as a program opens it. */
#define ACPI_DEVICE_PATH "\\\\.\\ACPI"

/* FILE_DEVICE_UNKNOWN (0x22), METHOD_BUFFERED, FILE_ANY_ACCESS, functions 0x50-0x56 */
#define IOCTL_SET_SLEEP_STATE   0x220140u /* 4 bytes: ACPI_SLEEP_STATE(1 ... 4) */
#define IOCTL_SET_CPU_STATE     0x220144u /* 4 bytes: 1 = C1 ... 3 = C3 */
#define IOCTL_SET_FAN           0x220148u /* 4 bytes: 1 = on, 0 = off */
#define IOCTL_GET_CAPABILITIES  0x22014Cu /* 4 bytes: 0 in, mask out */
#define IOCTL_SET_DUTY_CYCLE    0x220150u /* 4 bytes: clock reduction, percent */
#define IOCTL_SET_RTC_ALARM     0x220154u /* 16 bytes: RTC_ALARM_TIME */
#define IOCTL_GET_RTC_ALARM     0x220158u /* 16 bytes: RTC_ALARM_TIME */

/* The buffer of every code but the two alarm codes: one unsigned 32-bit
   little-endian value. */
#define ACPI_VALUE_SIZE 4u

/* The values each request takes.  The program sends them; the stand-in
   driver refuses any other. */
/* IOCTL_SET_SLEEP_STATE for Sn: the driver numbers the sleep states from
   S0 (1), so S1 is 2 and S4 is 5. */
#define ACPI_SLEEP_STATE(n)   ((n) + 1u)
#define ACPI_SLEEP_STATE_MIN  ACPI_SLEEP_STATE(1)
#define ACPI_SLEEP_STATE_MAX  ACPI_SLEEP_STATE(4)
/* IOCTL_SET_CPU_STATE: n for Cn */
#define ACPI_CPU_STATE_MIN    1u
#define ACPI_CPU_STATE_MAX    3u
/* IOCTL_SET_FAN */
#define ACPI_FAN_OFF          0u
#define ACPI_FAN_ON           1u
/* IOCTL_SET_DUTY_CYCLE: a percentage, 0 to 100 */
#define ACPI_DUTY_MAX         100u

/* Capability mask bits: a set bit means the state is supported */
#define ACPI_CAP_S1  0x01u
#define ACPI_CAP_S2  0x02u
#define ACPI_CAP_S3  0x04u
#define ACPI_CAP_C2  0x10u
#define ACPI_CAP_C3  0x20u
#define ACPI_CAP_ALL (ACPI_CAP_S1 | ACPI_CAP_S2 | ACPI_CAP_S3 | ACPI_CAP_C2 | ACPI_CAP_C3)

/* The alarm record: the field order of the kernel's TIME_FIELDS, eight
   unsigned 16-bit little-endian fields, 16 bytes. */
#pragma pack(push, 2)
typedef struct _RTC_ALARM_TIME {
    uint16_t Year;         /* four digits */
    uint16_t Month;        /* 1-12 */
    uint16_t Day;          /* 1-31 */
    uint16_t Hour;         /* 0-23 */
    uint16_t Minute;       /* 0-59 */
    uint16_t Second;       /* 0-59 */
    uint16_t Milliseconds; /* always sent as 0 */
    uint16_t Weekday;      /* 0 = Sunday */
} RTC_ALARM_TIME;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(RTC_ALARM_TIME) == 16, "RTC_ALARM_TIME is 16 bytes");
#else
typedef char vmt_rtc_alarm_time_size_check[sizeof(RTC_ALARM_TIME) == 16 ? 1 : -1];
#endif

/* The name of a control code ("IOCTL_SET_FAN"), or 0 for an unknown one. */
#ifdef __cplusplus
extern "C" {
#endif
const char *AcpiIoctlName(uint32_t code);
#ifdef __cplusplus
}
#endif

#endif
