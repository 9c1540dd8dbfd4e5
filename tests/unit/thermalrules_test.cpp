/* The Thermal Control page's percentage field. */
#include "pages/thermalrules.h"
#include <gtest/gtest.h>

TEST(ThermalRules, TheFieldReadsLikeAnUnsignedGetDlgItemInt)
{
    const struct { const char *text; uint32_t value; } rows[] = {
        {"55", 55}, {"  7%", 7}, {"", 0}, {"abc", 0}, {"-5", 0}, {"0012", 12},
        {"4294967295", 4294967295u}, {"4294967296", 0}, {"99999999999999999999", 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ThermalReadPercent(row.text), row.value) << row.text;
    EXPECT_EQ(ThermalReadPercent(nullptr), 0u);
}

TEST(ThermalRules, AboveOneHundredIsBoundedNothingBelowIsRaised)
{
    const struct { uint32_t read; bool tooHigh; uint32_t sent; } rows[] = {
        {0, false, 0}, {1, false, 1}, {100, false, 100}, {101, true, 100}, {4294967295u, true, 100},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(ThermalPercentTooHigh(row.read), row.tooHigh) << row.read;
        EXPECT_EQ(ThermalDutyValue(row.read), row.sent) << row.read;
    }
    EXPECT_EQ(ThermalSpinRange(), 0x00010064u);   /* 100 in the low word, 1 in the high */
}
