/* Names of the driver's control codes, for log lines and the journal. */
#include "acpiioctl.h"

const char *AcpiIoctlName(uint32_t code)
{
    switch (code) {
    case IOCTL_SET_SLEEP_STATE:  return "IOCTL_SET_SLEEP_STATE";
    case IOCTL_SET_CPU_STATE:    return "IOCTL_SET_CPU_STATE";
    case IOCTL_SET_FAN:          return "IOCTL_SET_FAN";
    case IOCTL_GET_CAPABILITIES: return "IOCTL_GET_CAPABILITIES";
    case IOCTL_SET_DUTY_CYCLE:   return "IOCTL_SET_DUTY_CYCLE";
    case IOCTL_SET_RTC_ALARM:    return "IOCTL_SET_RTC_ALARM";
    case IOCTL_GET_RTC_ALARM:    return "IOCTL_GET_RTC_ALARM";
    default:                     return 0;
    }
}
