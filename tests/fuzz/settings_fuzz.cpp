/* The settings value rule: each stored integer loads as its low byte, the
   capability mask marks only its five entries, and each entry saves as a
   short decimal text that loads again as the same entry (SELECT_UNSUPPORTED
   as 1).
   Input: ten 32-bit stored values, the 32-bit capability mask, a key index. */
#include "selection/selectionrules.h"
#include "fuzz.h"
#include <memory>

static const char *const kKeys[SEL_COUNT] = {
    "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
    "C1CPUState", "C2CPUState", "C3CPUState", "FanOnOff", "CPUDutyCycle", "RTCAlarm",
};

/* The text an entry saves as, written into a heap block of exactly
   SELECTION_TEXT_SIZE bytes: one to three digits, no sign, no leading zero. */
static unsigned long SavedValue(uint8_t entry)
{
    std::unique_ptr<char[]> text(new char[SELECTION_TEXT_SIZE]);
    memset(text.get(), '#', SELECTION_TEXT_SIZE);
    SelectionToText(entry, text.get());
    size_t n = strspn(text.get(), "0123456789");
    FUZZ_CHECK(n >= 1 && n <= 3 && n < SELECTION_TEXT_SIZE && text[n] == '\0');
    FUZZ_CHECK(text[0] != '0' || n == 1);
    return strtoul(text.get(), NULL, 10);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    uint32_t stored[SEL_COUNT];
    for (uint32_t &v : stored)
        v = in.Take<uint32_t>();
    uint32_t mask = in.Take<uint32_t>();
    int index = in.Take<int32_t>();

    uint8_t table[SEL_COUNT];
    for (int i = 0; i < SEL_COUNT; i++) {
        table[i] = SelectionFromProfile(stored[i]);
        FUZZ_CHECK(table[i] == stored[i] % 256);
    }

    /* Only S1, S2, S3, C2 and C3 are marked, each by its own bit. */
    static const struct { int index; uint32_t bit; } marks[] = {
        {SEL_S1, 0x01}, {SEL_S2, 0x02}, {SEL_S3, 0x04}, {SEL_C2, 0x10}, {SEL_C3, 0x20}};
    uint8_t marked[SEL_COUNT];
    memcpy(marked, table, sizeof table);
    MarkUnsupported(marked, mask);
    for (int i = 0; i < SEL_COUNT; i++) {
        uint8_t expect = table[i];
        for (const auto &m : marks)
            if (m.index == i && !(mask & m.bit))
                expect = SELECT_UNSUPPORTED;
        FUZZ_CHECK(marked[i] == expect);
    }

    /* Saved, then loaded back as the same entry. */
    for (int i = 0; i < SEL_COUNT; i++) {
        unsigned long written = SavedValue(marked[i]);
        FUZZ_CHECK(written == (marked[i] == SELECT_UNSUPPORTED ? SELECT_RUN : marked[i]));
        FUZZ_CHECK(SelectionFromProfile((unsigned)written) == written);
    }

    const char *key = SelectionKey(index);
    FUZZ_CHECK(index >= 0 && index < SEL_COUNT ? key && strcmp(key, kKeys[index]) == 0 : !key);
    return 0;
}
