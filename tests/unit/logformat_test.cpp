#include "log/logrules.h"
#include <gtest/gtest.h>

TEST(LogLook, EachLevelHasItsEffectsAndColour)
{
    LogLook normal = LogLookForLevel(LOG_NORMAL);
    EXPECT_EQ(normal.effects, 0x40000000u);
    EXPECT_FALSE(normal.setsColor);

    LogLook error = LogLookForLevel(LOG_ERROR);
    EXPECT_EQ(error.effects, 1u);
    EXPECT_TRUE(error.setsColor);
    EXPECT_EQ(error.color, 0x000000FFu);   /* RGB(255, 0, 0) */

    LogLook skipped = LogLookForLevel(LOG_SKIPPED);
    EXPECT_EQ(skipped.effects, 1u);
    EXPECT_TRUE(skipped.setsColor);
    EXPECT_EQ(skipped.color, 0x00FF7F00u); /* RGB(0, 127, 255) */

    LogLook banner = LogLookForLevel(LOG_BANNER);
    EXPECT_EQ(banner.effects, 0x40000001u);
    EXPECT_FALSE(banner.setsColor);
}

TEST(LogLook, UnknownLevelsLookLikeNormal)
{
    for (int level : {0, 5, -1, 1000, -2147483647 - 1}) {
        LogLook look = LogLookForLevel(level);
        EXPECT_EQ(look.effects, 0x40000000u) << level;
        EXPECT_FALSE(look.setsColor) << level;
    }
}
