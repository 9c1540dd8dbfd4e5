/* The selection table and the rules of its settings file. */
#include "selection/selectionrules.h"
#include "driver/acpiioctl.h"
#include <stdio.h>

uint8_t g_TestSelection[SEL_COUNT];
bool    g_bSelectionLoaded;

static const char *const s_keys[SEL_COUNT] = {
    "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
    "C1CPUState", "C2CPUState", "C3CPUState",
    "FanOnOff", "CPUDutyCycle", "RTCAlarm",
};

/* The entries the capability query can mark, with their bits. */
static const struct { int index; uint32_t bit; } s_capabilities[] = {
    { SEL_S1, ACPI_CAP_S1 },
    { SEL_S2, ACPI_CAP_S2 },
    { SEL_S3, ACPI_CAP_S3 },
    { SEL_C2, ACPI_CAP_C2 },
    { SEL_C3, ACPI_CAP_C3 },
};

const char *SelectionKey(int index)
{
    return index >= 0 && index < SEL_COUNT ? s_keys[index] : 0;
}

uint8_t SelectionFromProfile(unsigned int value)
{
    return (uint8_t)(value & 0xFFu);
}

void SelectionToText(uint8_t entry, char text[SELECTION_TEXT_SIZE])
{
    snprintf(text, SELECTION_TEXT_SIZE, "%u", entry == SELECT_UNSUPPORTED ? SELECT_RUN : entry);
}

void MarkUnsupported(uint8_t table[SEL_COUNT], uint32_t capabilityMask)
{
    for (const auto &cap : s_capabilities)
        if (!(capabilityMask & cap.bit))
            table[cap.index] = SELECT_UNSUPPORTED;
}
