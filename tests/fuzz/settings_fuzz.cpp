/* The settings value rule: each stored integer loads as its low byte, the
   capability mask marks only its five entries, and the table saves as short
   decimal texts that load again as the same entries (SELECT_UNSUPPORTED as 1).
   Input: ten 32-bit stored values, the 32-bit capability mask, a key index. */
#include "selection/selection.h"
#include "fuzz.h"

static const char *const kKeys[SEL_COUNT] = {
    "S1SystemState", "S2SystemState", "S3SystemState", "S4SystemState",
    "C1CPUState", "C2CPUState", "C3CPUState", "FanOnOff", "CPUDutyCycle", "RTCAlarm",
};

/* A settings file of ten values that records what is written back. */
class FuzzProfile : public ProfileStore {
public:
    uint32_t stored[SEL_COUNT];
    unsigned long written[SEL_COUNT];
    int reads = 0, writes = 0;

    unsigned int ReadInt(const char *section, const char *key, int defaultValue) override
    {
        FUZZ_CHECK(reads < SEL_COUNT && strcmp(section, "ACPI VMT's") == 0);
        FUZZ_CHECK(strcmp(key, kKeys[reads]) == 0 && defaultValue == 1);
        return stored[reads++];
    }

    void WriteString(const char *section, const char *key, const char *text) override
    {
        FUZZ_CHECK(writes < SEL_COUNT && strcmp(section, "ACPI VMT's") == 0);
        FUZZ_CHECK(strcmp(key, kKeys[writes]) == 0);
        /* One to three digits, no sign, no leading zero. */
        size_t n = strspn(text, "0123456789");
        FUZZ_CHECK(n >= 1 && n <= 3 && text[n] == '\0' && (text[0] != '0' || n == 1));
        written[writes++] = strtoul(text, NULL, 10);
    }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    FuzzProfile file;
    for (uint32_t &v : file.stored)
        v = in.Take<uint32_t>();
    uint32_t mask = in.Take<uint32_t>();
    int index = in.Take<int32_t>();

    uint8_t table[SEL_COUNT];
    LoadSelection(file, table);
    FUZZ_CHECK(file.reads == SEL_COUNT);
    for (int i = 0; i < SEL_COUNT; i++)
        FUZZ_CHECK(table[i] == file.stored[i] % 256);

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

    SaveSelection(file, marked);
    FUZZ_CHECK(file.writes == SEL_COUNT);
    for (int i = 0; i < SEL_COUNT; i++)
        FUZZ_CHECK(file.written[i] == (marked[i] == SELECT_UNSUPPORTED ? SELECT_RUN : marked[i]));

    /* The saved file loads back as the table saved. */
    FuzzProfile again;
    for (int i = 0; i < SEL_COUNT; i++)
        again.stored[i] = (uint32_t)file.written[i];
    uint8_t reloaded[SEL_COUNT];
    LoadSelection(again, reloaded);
    for (int i = 0; i < SEL_COUNT; i++)
        FUZZ_CHECK(reloaded[i] == file.written[i]);

    const char *key = SelectionKey(index);
    FUZZ_CHECK(index >= 0 && index < SEL_COUNT ? key && strcmp(key, kKeys[index]) == 0 : !key);
    return 0;
}
