/* The RTC Alarm page's rules that need no window. */
#ifndef VMT_RTCRULES_H
#define VMT_RTCRULES_H
#include "driver/acpiioctl.h"
#endif
