/* What the capability query's mask marks, one cleared bit at a time. */
#include "selection/selectionrules.h"
#include <gtest/gtest.h>
#include <vector>

TEST(SelectionRules, EachClearedCapabilityBitMarksItsOwnEntryOnly)
{
    /* Table order: S1 S2 S3 S4 C1 C2 C3 FAN DUTY RTC.  Bits: S1 0x01, S2
       0x02, S3 0x04, C2 0x10, C3 0x20; nothing marks S4, C1, fan, duty or RTC. */
    const struct { uint32_t mask; std::vector<uint8_t> marked; } rows[] = {
        {0x37, {1, 0, 7, 1, 0, 1, 0, 1, 0, 1}},
        {0x36, {2, 0, 7, 1, 0, 1, 0, 1, 0, 1}},
        {0x35, {1, 2, 7, 1, 0, 1, 0, 1, 0, 1}},
        {0x33, {1, 0, 2, 1, 0, 1, 0, 1, 0, 1}},
        {0x27, {1, 0, 7, 1, 0, 2, 0, 1, 0, 1}},
        {0x17, {1, 0, 7, 1, 0, 1, 2, 1, 0, 1}},
        {0xFFFFFFC8u, {2, 2, 2, 1, 0, 2, 2, 1, 0, 1}},
    };
    for (const auto &row : rows) {
        std::vector<uint8_t> table = {1, 0, 7, 1, 0, 1, 0, 1, 0, 1};
        MarkUnsupported(table.data(), row.mask);
        EXPECT_EQ(table, row.marked) << std::hex << row.mask;
    }
}
