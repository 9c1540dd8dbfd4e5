#include "pages/thermalrules.h"

uint32_t ThermalReadPercent(const char *text)
{
    if (!text)
        return 0;
    while (*text == ' ')
        text++;
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        value = value * 10 + (uint64_t)(*text - '0');
        if (value > UINT32_MAX)
            return 0;
    }
    return (uint32_t)value;
}

bool ThermalPercentTooHigh(uint32_t value)
{
    return value > ACPI_DUTY_MAX;
}

uint32_t ThermalDutyValue(uint32_t value)
{
    /* The field is bounded at every change; this only guards the request. */
    return ThermalPercentTooHigh(value) ? ACPI_DUTY_MAX : value;
}

uint32_t ThermalSpinRange(void)
{
    return (DUTY_PERCENT_MIN << 16) | ACPI_DUTY_MAX;
}
