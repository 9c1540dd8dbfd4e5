/* The test selection table: one entry per test the system knows.
   No Windows headers: the rules are built natively for the unit tests too. */
#ifndef VMT_SELECTION_H
#define VMT_SELECTION_H

#include <stdint.h>

/* Indices, in the order of the settings keys */
#define SEL_S1    0
#define SEL_S2    1
#define SEL_S3    2
#define SEL_S4    3
#define SEL_C1    4
#define SEL_C2    5
#define SEL_C3    6
#define SEL_FAN   7
#define SEL_DUTY  8
#define SEL_RTC   9
#define SEL_COUNT 10

/* Entry values */
#define SELECT_SKIP         0
#define SELECT_RUN          1
#define SELECT_UNSUPPORTED  2

#define SETTINGS_SECTION "ACPI VMT's"

extern uint8_t g_TestSelection[SEL_COUNT];

#endif
