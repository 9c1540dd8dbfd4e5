/* The Thermal Control page's rules that need no window: how the percentage
   field is read, its bound, and the up-down control's range. */
#ifndef VMT_THERMALRULES_H
#define VMT_THERMALRULES_H

#include <stdint.h>
#include "driver/acpiioctl.h"

/* The field keeps at most ACPI_DUTY_MAX, the highest value the request takes. */
#define DUTY_PERCENT_MIN  1u    /* lowest step of the up-down arrows */

/* The field's text as GetDlgItemInt reads it unsigned: leading spaces
   skipped, then decimal digits up to the first other character.  No digits,
   or a number above 4294967295, reads as 0. */
uint32_t ThermalReadPercent(const char *text);

/* Bounding after each change of the field: true when the value read must be
   replaced by ACPI_DUTY_MAX.  Nothing below is raised (0 and empty stay). */
bool ThermalPercentTooHigh(uint32_t value);

/* The value the duty-cycle button sends for what the field reads. */
uint32_t ThermalDutyValue(uint32_t value);

/* lParam of UDM_SETRANGE: the upper bound in the low word, the lower bound
   in the high word. */
uint32_t ThermalSpinRange(void);

#endif
