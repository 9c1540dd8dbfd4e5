/* The save-name rule and the texts that carry a file name into a box.
   Input: a 16-bit buffer size (up to 599), the 32-bit filter index, a
   32-bit error code, a flag byte (bit 0: a two-byte code page), 32 bytes
   naming its lead bytes, then the NUL-separated name, before and after
   texts.  Every buffer is a heap block of exactly the size handed over. */
#include "log/saverules.h"
#include "res/texts.h"
#include "fuzz.h"
#include <memory>

static uint8_t g_lead[32];

static bool IsLead(unsigned char c)
{
    return (g_lead[c / 8] >> (c % 8)) & 1;
}

/* Its last four characters are ".TXT" or ".RTF" in any case of a to z. */
static int ExtensionFormat(const std::string &name)
{
    if (name.size() < 4 || name[name.size() - 4] != '.')
        return 0;
    std::string ext = name.substr(name.size() - 3);
    for (char &c : ext)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return ext == "TXT" ? SAVE_FORMAT_TEXT : ext == "RTF" ? SAVE_FORMAT_RTF : 0;
}

static void CheckSettle(const std::string &typed, size_t size, unsigned filterIndex)
{
    std::unique_ptr<char[]> buf(new char[size]);
    size_t copied = typed.size() < size ? typed.size() + 1 : size;   /* the NUL if it fits */
    memcpy(buf.get(), typed.c_str(), copied);
    memset(buf.get() + copied, '#', size - copied);
    std::string before(buf.get(), size);

    bool appended = true;
    int format = SettleSaveName(buf.get(), size, filterIndex, &appended);
    std::string after(buf.get(), size);

    int chosen = filterIndex == 2 ? SAVE_FORMAT_RTF : SAVE_FORMAT_TEXT;
    bool terminated = typed.size() < size;
    if (terminated && ExtensionFormat(typed)) {
        FUZZ_CHECK(format == ExtensionFormat(typed) && !appended && after == before);
    } else if (terminated && typed.size() + 5 <= size) {
        FUZZ_CHECK(format == chosen && appended);
        std::string final = typed + (chosen == SAVE_FORMAT_RTF ? ".RTF" : ".TXT");
        FUZZ_CHECK(after.compare(0, final.size() + 1, final.c_str(), final.size() + 1) == 0);
        FUZZ_CHECK(after.compare(final.size() + 1, std::string::npos, before, final.size() + 1,
                                 std::string::npos) == 0);
        /* Settled once is settled, whatever pair is chosen then. */
        FUZZ_CHECK(SettleSaveName(buf.get(), size, filterIndex ^ 3, NULL) == format);
        FUZZ_CHECK(after.compare(0, std::string::npos, buf.get(), size) == 0);
    } else {
        FUZZ_CHECK(format == 0 && !appended && after == before);   /* no room, or no name */
    }
}

/* Character boundaries of a name, found walking from its start. */
static std::string Boundaries(const std::string &name, bool dbcs)
{
    std::string at(name.size() + 1, 0);
    for (size_t i = 0;;) {
        at[i] = 1;
        if (i == name.size())
            return at;
        i += dbcs && IsLead((unsigned char)name[i]) && i + 1 < name.size() ? 2 : 1;
    }
}

/* before + name + after when it fits; otherwise before and after whole
   around the name's beginning, "..." and its end, cut between characters;
   with no room for any of the name, the whole text cut at the end. */
static void CheckWithName(const char *out, size_t size, size_t length, const std::string &before,
                          const std::string &name, const std::string &after, bool dbcs)
{
    CheckText(out, size, length);
    if (size == 0)
        return;
    size_t room = size - 1;
    std::string text(out, length), whole = before + name + after;
    if (whole.size() <= room) {
        FUZZ_CHECK(text == whole);
        return;
    }
    if (before.size() + after.size() + 3 >= room) {
        FUZZ_CHECK(text == (before + "..." + after).substr(0, room));
        return;
    }
    /* Nothing is given away: at most one byte at each cut of a two-byte character. */
    FUZZ_CHECK(text.size() <= room && text.size() + 2 >= room);
    FUZZ_CHECK(text.compare(0, before.size(), before) == 0);
    FUZZ_CHECK(text.compare(text.size() - after.size(), after.size(), after) == 0);
    std::string middle = text.substr(before.size(), text.size() - before.size() - after.size());
    std::string at = Boundaries(name, dbcs);
    bool found = false;
    for (size_t front = 0; !found && front + 3 <= middle.size(); front++) {
        size_t tail = name.size() - (middle.size() - 3 - front);
        found = at[front] && at[tail] && front < tail && middle.compare(front, 3, "...") == 0
             && middle.compare(0, front, name, 0, front) == 0
             && middle.compare(front + 3, std::string::npos, name, tail, std::string::npos) == 0;
    }
    FUZZ_CHECK(found);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    size_t bufSize = in.Take<uint16_t>() % 600;
    unsigned filterIndex = in.Take<uint32_t>();
    long code = in.Take<int32_t>();
    bool dbcs = in.Take<uint8_t>() & 1;
    for (uint8_t &b : g_lead)
        b = in.Take<uint8_t>();
    std::string name = in.Text(), before = in.Text(), after = in.Text();
    LeadBytePredicate isLead = dbcs ? IsLead : NULL;

    CheckSettle(name, bufSize, filterIndex);

    std::unique_ptr<char[]> out(new char[bufSize]);
    size_t n = FormatWithName(out.get(), bufSize, before.c_str(), name.c_str(), after.c_str(), isLead);
    CheckWithName(out.get(), bufSize, n, before, name, after, dbcs);

    char prefix[40];
    snprintf(prefix, sizeof prefix, SAVE_ERROR_FORMAT, code);
    n = FormatSaveError(out.get(), bufSize, code, name.c_str(), isLead);
    CheckWithName(out.get(), bufSize, n, prefix, name, "", dbcs);

    n = FormatReplaceQuestion(out.get(), bufSize, name.c_str(), isLead);
    CheckWithName(out.get(), bufSize, n, "", name, SAVE_REPLACE_TEXT, dbcs);
    return 0;
}
