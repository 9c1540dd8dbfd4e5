/* The selection rules: an entry is the low 8 bits of the stored integer, is
   saved as decimal with "not supported" as 1, and a clear capability bit
   marks its entry. */
#include "selection/selection.h"
#include <gtest/gtest.h>
#include <vector>

TEST(Selection, LowEightBitsLoadedTwoSavedAsOneMarksFromTheMask)
{
    EXPECT_EQ(SelectionFromProfile(256), 0);
    EXPECT_EQ(SelectionFromProfile(259), 3);
    EXPECT_EQ(SelectionFromProfile(0xFFFFFFFFu), 255);   /* -1 */

    const struct { uint8_t entry; const char *text; } saved[] = {{0, "0"}, {1, "1"}, {2, "1"}, {3, "3"}, {100, "100"}, {255, "255"}};
    for (const auto &s : saved) {
        char text[SELECTION_TEXT_SIZE];
        SelectionToText(s.entry, text);
        EXPECT_STREQ(text, s.text);
    }

    /* 0x05 has S1 and S3 only: a clear bit marks its entry whatever it held. */
    uint8_t table[SEL_COUNT] = {0, 0, 3, 0, 0, 1, 0, 0, 0, 0};
    MarkUnsupported(table, 0x05);
    EXPECT_EQ(std::vector<uint8_t>(table, table + SEL_COUNT), (std::vector<uint8_t>{0, 2, 3, 0, 0, 2, 2, 0, 0, 0}));
}
