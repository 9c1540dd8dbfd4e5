/* The save-name rule and the texts that carry a file name into a box: inside their buffers whatever the
   name; a settled name stays settled; a shortened name keeps its ends and never cuts a two-byte
   character.  Input: a 16-bit buffer size (below 600), the 32-bit filter index, a 32-bit error code, a
   flag byte (bit 0: a two-byte code page), 32 bytes naming its lead bytes, then the NUL-separated name,
   before and after texts.  Every buffer is a heap block of exactly the size handed over. */
#include "log/saverules.h"
#include "fuzz.h"
#include <memory>
#include <vector>

static uint8_t g_lead[32];
static bool IsLead(unsigned char c) { return g_lead[c / 8] >> (c % 8) & 1; }

/* Whether text is before, the name's beginning, "...", the name's end and after, cut where characters begin. */
static bool Shortened(const std::string &text, const std::string &before, const std::string &name, const std::string &after, bool dbcs)
{
    std::vector<bool> edge(name.size() + 1);   /* found walking from the start */
    for (size_t at = 0; at <= name.size(); at += dbcs && at + 1 < name.size() && IsLead((unsigned char)name[at]) ? 2 : 1)
        edge[at] = true;
    if (text.size() < before.size() + after.size() + 3 || text.compare(0, before.size(), before) || text.compare(text.size() - after.size(), after.size(), after))
        return false;
    std::string middle = text.substr(before.size(), text.size() - before.size() - after.size());
    for (size_t front = 0, tail; front + 3 <= middle.size() && front <= name.size(); front++)
        if ((tail = name.size() + front + 3 - middle.size()) <= name.size() && edge[front] && edge[tail] && !middle.compare(front, 3, "...")
            && !middle.compare(0, front, name, 0, front) && !middle.compare(front + 3, std::string::npos, name, tail, std::string::npos))
            return true;
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in{ data, size };
    size_t bufSize = in.Take<uint16_t>() % 600, room = bufSize - 1, n;
    unsigned filterIndex = in.Take<uint32_t>();
    long code = in.Take<int32_t>();
    LeadBytePredicate isLead = in.Take<uint8_t>() & 1 ? IsLead : NULL;
    for (uint8_t &b : g_lead)
        b = in.Take<uint8_t>();
    std::string name = in.Text(), before = in.Text(), after = in.Text(), whole = before + name + after;

    std::unique_ptr<char[]> buf(new char[bufSize + 1]), out(new char[bufSize]);
    memset(buf.get(), '#', bufSize);
    memcpy(buf.get(), name.c_str(), std::min(bufSize, name.size() + 1));
    std::string typed(buf.get(), bufSize);
    bool appended;
    int format = SettleSaveName(buf.get(), bufSize, filterIndex, &appended);
    std::string settled(buf.get(), bufSize);
    FUZZ_CHECK(format || (settled == typed && !appended));   /* no room, or no ended name: left alone */
    if (format) {
        CheckText(buf.get(), bufSize, name.size() + (appended ? 4 : 0));
        FUZZ_CHECK(SettleSaveName(buf.get(), bufSize, filterIndex ^ 3, &appended) == format && !appended && std::string(buf.get(), bufSize) == settled);
    }

    CheckText(out.get(), bufSize, n = FormatWithName(out.get(), bufSize, before.c_str(), name.c_str(), after.c_str(), isLead));
    std::string text(out.get(), bufSize ? n : 0);
    if (bufSize && whole.size() <= room)
        FUZZ_CHECK(text == whole);
    else if (bufSize && before.size() + after.size() + 3 >= room)
        FUZZ_CHECK(text == (before + "..." + after).substr(0, room));
    else if (bufSize)
        FUZZ_CHECK(Shortened(text, before, name, after, isLead != NULL));
    CheckText(out.get(), bufSize, n = FormatSaveError(out.get(), bufSize, code, name.c_str(), isLead));
    CheckText(out.get(), bufSize, n = FormatReplaceQuestion(out.get(), bufSize, name.c_str(), isLead));
    return 0;
}
