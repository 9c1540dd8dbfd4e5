#include "selection/selection.h"
#include "driver/acpiioctl.h"
#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const char *const kKeys[SEL_COUNT] = {
    "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
    "C1CPUState", "C2CPUState", "C3CPUState", "FanOnOff", "CPUDutyCycle", "RTCAlarm",
};

/* A profile in memory: integers for the keys it has, the default otherwise;
   every read and write is recorded. */
struct FakeProfile : ProfileStore {
    std::map<std::string, unsigned int> values;
    std::vector<std::string> reads;
    std::vector<std::pair<std::string, std::string>> writes;

    unsigned int ReadInt(const char *section, const char *key, int defaultValue) override
    {
        EXPECT_STREQ(section, "ACPI VMT's");
        EXPECT_EQ(defaultValue, 1);
        reads.push_back(key);
        auto it = values.find(key);
        return it == values.end() ? (unsigned int)defaultValue : it->second;
    }

    void WriteString(const char *section, const char *key, const char *text) override
    {
        EXPECT_STREQ(section, "ACPI VMT's");
        writes.emplace_back(key, text);
    }
};

std::vector<uint8_t> Table(const uint8_t (&t)[SEL_COUNT])
{
    return std::vector<uint8_t>(t, t + SEL_COUNT);
}

} // namespace

TEST(Selection, LoadsTheLowEightBitsOfEveryKeyInOrder)
{
    FakeProfile profile;
    profile.values = {
        {"S1SystemState", 256}, {"S2SystemState", 259}, {"S3SystemState", 0xFFFFFFFFu /* -1 */},
        {"S4SystemState", 2}, {"C1CPUState", 65537}, {"C2CPUState", 0},
        {"C3CPUState", 7}, {"CPUDutyCycle", 0x12345678u},
        /* FanOnOff and RTCAlarm missing: the default */
    };
    uint8_t table[SEL_COUNT];
    memset(table, 0xAA, sizeof table);
    LoadSelection(profile, table);

    EXPECT_EQ(Table(table), (std::vector<uint8_t>{0, 3, 255, 2, 1, 0, 7, 1, 0x78, 1}));
    ASSERT_EQ(profile.reads.size(), (size_t)SEL_COUNT);
    for (int i = 0; i < SEL_COUNT; i++) {
        EXPECT_EQ(profile.reads[i], kKeys[i]);
        EXPECT_STREQ(SelectionKey(i), kKeys[i]);
    }
    EXPECT_EQ(SelectionKey(-1), nullptr);
    EXPECT_EQ(SelectionKey(SEL_COUNT), nullptr);

    FakeProfile empty;   /* no file: every entry runs */
    LoadSelection(empty, table);
    EXPECT_EQ(Table(table), std::vector<uint8_t>(SEL_COUNT, SELECT_RUN));
}

TEST(Selection, SavesEveryKeyAsDecimalWithUnsupportedAsRun)
{
    const uint8_t table[SEL_COUNT] = {0, 1, 2, 3, 10, 99, 100, 200, 255, 2};
    FakeProfile profile;
    SaveSelection(profile, table);

    const char *const expected[SEL_COUNT] = {"0", "1", "1", "3", "10", "99", "100", "200", "255", "1"};
    ASSERT_EQ(profile.writes.size(), (size_t)SEL_COUNT);
    for (int i = 0; i < SEL_COUNT; i++) {
        EXPECT_EQ(profile.writes[i].first, kKeys[i]);
        EXPECT_EQ(profile.writes[i].second, expected[i]) << kKeys[i];
    }

    /* Every byte value fits the text buffer and reads back as itself (2 excepted). */
    for (int v = 0; v < 256; v++) {
        char text[SELECTION_TEXT_SIZE + 4];
        memset(text, 'x', sizeof text);
        SelectionToText((uint8_t)v, text);
        EXPECT_EQ(text[SELECTION_TEXT_SIZE], 'x') << v;
        EXPECT_EQ(std::stoi(text), v == SELECT_UNSUPPORTED ? SELECT_RUN : v);
        EXPECT_NE(text[0], v ? '0' : 'x') << "no leading zero for " << v;
    }

    /* What is saved loads back unchanged, except the marks of this run. */
    FakeProfile reload;
    for (auto &w : profile.writes)
        reload.values[w.first] = (unsigned int)std::stoul(w.second);
    uint8_t loaded[SEL_COUNT];
    LoadSelection(reload, loaded);
    EXPECT_EQ(Table(loaded), (std::vector<uint8_t>{0, 1, 1, 3, 10, 99, 100, 200, 255, 1}));
}

TEST(Selection, CapabilityMaskMarksOnlyItsFiveEntries)
{
    const uint8_t loaded[SEL_COUNT] = {1, 0, 3, 1, 1, 1, 0, 1, 1, 1};

    uint8_t table[SEL_COUNT];
    memcpy(table, loaded, sizeof table);
    MarkUnsupported(table, 0x05);   /* S1 and S3 only */
    EXPECT_EQ(Table(table), (std::vector<uint8_t>{1, 2, 3, 1, 1, 2, 2, 1, 1, 1}));

    memcpy(table, loaded, sizeof table);
    MarkUnsupported(table, ACPI_CAP_ALL);
    EXPECT_EQ(Table(table), Table(loaded));

    /* Bit 3 and bits 6 to 31 are not consulted; S4, C1, fan, duty and RTC
       are never marked. */
    memcpy(table, loaded, sizeof table);
    MarkUnsupported(table, ~ACPI_CAP_ALL);
    EXPECT_EQ(Table(table), (std::vector<uint8_t>{2, 2, 2, 1, 1, 2, 2, 1, 1, 1}));

    memcpy(table, loaded, sizeof table);
    MarkUnsupported(table, ACPI_CAP_ALL & ~ACPI_CAP_C3);
    EXPECT_EQ(Table(table), (std::vector<uint8_t>{1, 0, 3, 1, 1, 1, 2, 1, 1, 1}));

    /* A mark is saved as 1, so the next start asks the driver again. */
    FakeProfile profile;
    MarkUnsupported(table, 0);
    SaveSelection(profile, table);
    for (int i : {SEL_S1, SEL_S2, SEL_S3, SEL_C2, SEL_C3})
        EXPECT_EQ(profile.writes[i].second, "1") << kKeys[i];
}
