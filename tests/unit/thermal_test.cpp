#include "pages/thermalrules.h"
#include <gtest/gtest.h>

TEST(ThermalPercent, ReadsTheFieldLikeAnUnsignedDialogInteger)
{
    EXPECT_EQ(ThermalReadPercent(""), 0u);
    EXPECT_EQ(ThermalReadPercent(nullptr), 0u);
    EXPECT_EQ(ThermalReadPercent("0"), 0u);
    EXPECT_EQ(ThermalReadPercent("50"), 50u);
    EXPECT_EQ(ThermalReadPercent("007"), 7u);
    EXPECT_EQ(ThermalReadPercent("  42"), 42u);
    EXPECT_EQ(ThermalReadPercent("12ab"), 12u);
    EXPECT_EQ(ThermalReadPercent("abc"), 0u);
    /* The largest unsigned 32-bit value still reads; one more reads as 0,
       however many digits follow. */
    EXPECT_EQ(ThermalReadPercent("4294967295"), 4294967295u);
    EXPECT_EQ(ThermalReadPercent("4294967296"), 0u);
    EXPECT_EQ(ThermalReadPercent("99999999999999999999999999999999999999"), 0u);
    /* Leading zeros do not count as digits of a large number. */
    EXPECT_EQ(ThermalReadPercent("0000000000000000000000000000000000150"), 150u);
}

TEST(ThermalPercent, BoundsOnlyFromAbove)
{
    EXPECT_FALSE(ThermalPercentTooHigh(0));
    EXPECT_FALSE(ThermalPercentTooHigh(1));
    EXPECT_FALSE(ThermalPercentTooHigh(100));
    EXPECT_TRUE(ThermalPercentTooHigh(101));
    EXPECT_TRUE(ThermalPercentTooHigh(150));
    EXPECT_TRUE(ThermalPercentTooHigh(4294967295u));
    /* What the button sends never exceeds the bound, and keeps 0. */
    EXPECT_EQ(ThermalDutyValue(0), 0u);
    EXPECT_EQ(ThermalDutyValue(50), 50u);
    EXPECT_EQ(ThermalDutyValue(100), 100u);
    EXPECT_EQ(ThermalDutyValue(4294967295u), 100u);
}

TEST(ThermalPercent, SpinRangeIsOneToHundredInUdmSetRangeOrder)
{
    EXPECT_EQ(ThermalSpinRange(), 0x00010064u);
    EXPECT_EQ(ThermalSpinRange() & 0xFFFF, DUTY_PERCENT_MAX);
    EXPECT_EQ(ThermalSpinRange() >> 16, DUTY_PERCENT_MIN);
}
