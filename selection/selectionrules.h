/* The test selection table: one entry per test the system knows.
   No Windows headers: the rules are built natively for the unit tests too. */
#ifndef VMT_SELECTIONRULES_H
#define VMT_SELECTIONRULES_H

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

#define SETTINGS_FILE    "VERUVEZ.INI"  /* no folder: the Windows directory */
#define SETTINGS_SECTION "ACPI VMT's"
#define SETTINGS_DEFAULT 1          /* a missing key, section or file */
#define SELECTION_TEXT_SIZE 4       /* "255" and its terminator */

extern uint8_t g_TestSelection[SEL_COUNT];

/* True once LoadTestSelection has filled the table from the settings file.
   Without it the table holds no stored choices, so nothing is written back. */
extern bool g_bSelectionLoaded;

/* The settings key of an entry ("S1SystemState" ... "RTCAlarm"), or 0 for
   an index outside the table. */
const char *SelectionKey(int index);

/* The entry a profile integer loads as: its low 8 bits, no range test. */
uint8_t SelectionFromProfile(unsigned int value);

/* The text an entry is saved as: unsigned decimal, SELECT_UNSUPPORTED as 1
   (the capability query decides afresh at the next start). */
void SelectionToText(uint8_t entry, char text[SELECTION_TEXT_SIZE]);

/* Marks the entries whose capability bit is clear as SELECT_UNSUPPORTED;
   a set bit leaves the entry as it is. */
void MarkUnsupported(uint8_t table[SEL_COUNT], uint32_t capabilityMask);

#endif
