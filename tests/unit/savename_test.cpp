#include "log/savename.h"
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string.h>
#include <string>

namespace {

/* A heap buffer of exactly `size` bytes, so ASan sees any write past it. */
struct Buffer {
    std::unique_ptr<char[]> p;
    size_t size;
    explicit Buffer(size_t n, const std::string &init = "") : p(new char[n]), size(n)
    {
        memset(p.get(), 0, n);
        memcpy(p.get(), init.data(), init.size() < n ? init.size() : n - 1);
    }
    std::string str() const { return p.get(); }
};

struct Settled {
    int format;
    bool appended;
    std::string name;
};

Settled Settle(const std::string &name, unsigned index)
{
    Buffer buf(SAVE_NAME_SIZE, name);
    Settled s;
    s.format = SettleSaveName(buf.p.get(), buf.size, index, &s.appended);
    s.name = buf.str();
    return s;
}

/* Shift-JIS lead bytes. */
bool SjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::set<size_t> Boundaries(const std::string &s, LeadBytePredicate isLead)
{
    std::set<size_t> b;
    size_t i = 0;
    while (i < s.size()) {
        b.insert(i);
        i += (isLead && isLead((unsigned char)s[i]) && i + 1 < s.size()) ? 2 : 1;
    }
    b.insert(s.size());
    return b;
}

/* Checks that `out` is before + name + after when it fits the buffer, and
   otherwise before + (a beginning of name) + "..." + (an end of name) + after,
   both pieces cut between characters. */
void ExpectNameShownOrShortened(const std::string &out, size_t size, const std::string &before,
                                const std::string &name, const std::string &after,
                                LeadBytePredicate isLead)
{
    ASSERT_LT(out.size(), size);
    if (before.size() + name.size() + after.size() < size) {
        EXPECT_EQ(out, before + name + after);
        return;
    }
    if (before.size() + after.size() + 3 >= size - 1)
        return;   /* too small to show any of the name: bounded is all we ask */
    ASSERT_EQ(out.compare(0, before.size(), before), 0) << out;
    ASSERT_GE(out.size(), before.size() + 3 + after.size());
    ASSERT_EQ(out.compare(out.size() - after.size(), after.size(), after), 0) << out;
    std::string middle = out.substr(before.size(), out.size() - before.size() - after.size());
    size_t dots = middle.find("...");
    ASSERT_NE(dots, std::string::npos) << out;
    std::string front = middle.substr(0, dots), tail = middle.substr(dots + 3);
    EXPECT_EQ(name.compare(0, front.size(), front), 0);
    EXPECT_EQ(name.compare(name.size() - tail.size(), tail.size(), tail), 0);
    std::set<size_t> cuts = Boundaries(name, isLead);
    EXPECT_TRUE(cuts.count(front.size())) << "beginning cut inside a character";
    EXPECT_TRUE(cuts.count(name.size() - tail.size())) << "end cut inside a character";
    EXPECT_FALSE(tail.empty()) << "the file's own name should stay visible";
    if (!isLead) {
        EXPECT_EQ(out.size(), size - 1) << "a shortened name uses the whole buffer";
    }
}

}  // namespace

TEST(SaveName, ExtensionOfTheNameWinsOverThePair)
{
    for (unsigned index : {1u, 2u}) {
        Settled s = Settle("C:\\logs\\report.txt", index);
        EXPECT_EQ(s.format, SAVE_FORMAT_TEXT) << index;
        EXPECT_FALSE(s.appended);
        EXPECT_EQ(s.name, "C:\\logs\\report.txt");

        s = Settle("C:\\logs\\report.Rtf", index);
        EXPECT_EQ(s.format, SAVE_FORMAT_RTF) << index;
        EXPECT_FALSE(s.appended);
        EXPECT_EQ(s.name, "C:\\logs\\report.Rtf");
    }
    /* Mixed case after the dot counts; the dot itself must be there. */
    EXPECT_EQ(Settle("report.tXt", 2).format, SAVE_FORMAT_TEXT);
    EXPECT_EQ(Settle("report.RTF", 1).name, "report.RTF");
    Settled noDot = Settle("report_TXT", 2);
    EXPECT_EQ(noDot.format, SAVE_FORMAT_RTF);
    EXPECT_EQ(noDot.name, "report_TXT.RTF");
}

TEST(SaveName, OtherNamesGetThePairsExtensionInCapitals)
{
    Settled s = Settle("C:\\logs\\report", 1);
    EXPECT_EQ(s.format, SAVE_FORMAT_TEXT);
    EXPECT_TRUE(s.appended);
    EXPECT_EQ(s.name, "C:\\logs\\report.TXT");

    s = Settle("C:\\logs\\report", 2);
    EXPECT_EQ(s.format, SAVE_FORMAT_RTF);
    EXPECT_EQ(s.name, "C:\\logs\\report.RTF");

    s = Settle("C:\\logs\\report.doc", 2);
    EXPECT_EQ(s.format, SAVE_FORMAT_RTF);
    EXPECT_EQ(s.name, "C:\\logs\\report.doc.RTF");

    s = Settle("C:\\logs\\report.tx", 1);   /* "t.tx" is neither extension */
    EXPECT_EQ(s.format, SAVE_FORMAT_TEXT);
    EXPECT_EQ(s.name, "C:\\logs\\report.tx.TXT");

    s = Settle("C:\\Logs\\Report", 1);      /* the operator's case stays */
    EXPECT_EQ(s.name, "C:\\Logs\\Report.TXT");
}

TEST(SaveName, ShortNamesAlwaysGetAnExtension)
{
    EXPECT_EQ(Settle("", 1).name, ".TXT");
    EXPECT_EQ(Settle("a", 2).name, "a.RTF");
    EXPECT_EQ(Settle("TXT", 1).name, "TXT.TXT");
    EXPECT_EQ(Settle(".tx", 1).name, ".tx.TXT");
    EXPECT_EQ(Settle("RTF", 2).format, SAVE_FORMAT_RTF);
    /* Four characters are enough to be recognised. */
    Settled four = Settle(".rtf", 1);
    EXPECT_EQ(four.format, SAVE_FORMAT_RTF);
    EXPECT_EQ(four.name, ".rtf");
}

TEST(SaveName, LongestDialogNameStillFitsWithItsExtension)
{
    /* The dialog fills at most 256 bytes: 255 characters and the NUL. */
    std::string name = "C:\\" + std::string(SAVE_DIALOG_CHARS - 1 - 3, 'x');
    ASSERT_EQ(name.size(), 255u);
    Buffer buf(SAVE_NAME_SIZE, name);
    bool appended = false;
    EXPECT_EQ(SettleSaveName(buf.p.get(), buf.size, 2, &appended), SAVE_FORMAT_RTF);
    EXPECT_TRUE(appended);
    EXPECT_EQ(buf.str(), name + ".RTF");
    EXPECT_EQ(buf.str().size(), 259u);

    /* A name that leaves no room is refused, untouched, never overrun. */
    std::string full(256, 'y');
    Buffer tight(SAVE_NAME_SIZE, full);
    EXPECT_EQ(SettleSaveName(tight.p.get(), tight.size, 1, &appended), 0);
    EXPECT_FALSE(appended);
    EXPECT_EQ(tight.str(), full);

    Buffer unterminated(8);
    memset(unterminated.p.get(), 'z', 8);
    EXPECT_EQ(SettleSaveName(unterminated.p.get(), unterminated.size, 1, &appended), 0);
}

TEST(SaveErrorText, ShortNamesAreShownWhole)
{
    Buffer buf(SAVE_NAME_SIZE);
    FormatSaveError(buf.p.get(), buf.size, 5, "C:\\logs\\report.TXT", nullptr);
    EXPECT_EQ(buf.str(), "Error [5] saving C:\\logs\\report.TXT");
    FormatSaveError(buf.p.get(), buf.size, -2147483647L - 1, "x", nullptr);
    EXPECT_EQ(buf.str(), "Error [-2147483648] saving x");

    FormatReplaceQuestion(buf.p.get(), buf.size, "C:\\logs\\report.TXT", nullptr);
    EXPECT_EQ(buf.str(), "C:\\logs\\report.TXT already exists.\nDo you want to replace it?");
}

TEST(SaveErrorText, LongNamesAreShortenedVisiblyAndNeverOverrun)
{
    std::string longName = "C:\\windows\\desktop\\" + std::string(236, 'd') + "\\report.TXT";
    ASSERT_EQ(longName.size(), 266u);   /* longer than any file name buffer */
    Buffer buf(SAVE_NAME_SIZE);
    size_t n = FormatSaveError(buf.p.get(), buf.size, 3, longName.c_str(), nullptr);
    std::string out = buf.str();
    EXPECT_EQ(n, out.size());
    EXPECT_EQ(out.size(), 259u);
    EXPECT_EQ(out.rfind("Error [3] saving C:\\windows\\desktop\\", 0), 0u) << out;
    EXPECT_EQ(out.substr(out.size() - 11), "\\report.TXT") << out;
    EXPECT_NE(out.find("..."), std::string::npos);

    /* Every length of name against small and real buffers. */
    for (size_t size : {1u, 2u, 5u, 21u, 24u, 40u, 260u}) {
        for (size_t len = 0; len < 300; len += 7) {
            std::string name(len, 'n');
            for (size_t i = 0; i < len; i += 5)
                name[i] = (char)('a' + i % 26);
            Buffer b(size);
            size_t got = FormatSaveError(b.p.get(), b.size, 123, name.c_str(), nullptr);
            EXPECT_EQ(got, b.str().size());
            ExpectNameShownOrShortened(b.str(), size, "Error [123] saving ", name, "", nullptr);

            Buffer q(size);
            FormatReplaceQuestion(q.p.get(), q.size, name.c_str(), nullptr);
            ExpectNameShownOrShortened(q.str(), size, "", name,
                                       " already exists.\nDo you want to replace it?", nullptr);
        }
    }
    EXPECT_EQ(FormatSaveError(nullptr, 0, 1, "x", nullptr), 0u);
}

TEST(SaveErrorText, TwoByteCharactersAreNeverSplit)
{
    /* Two-byte characters (lead 0x82/0x8B, one trail byte in the ASCII
       letter range) mixed with single bytes, shifted to odd offsets. */
    for (size_t shift = 0; shift < 3; shift++) {
        std::string name = "C:\\" + std::string(shift, 'q');
        while (name.size() < 400)
            name += "\x82\xA0\x8B\x41z";
        for (size_t size : {60u, 61u, 62u, 260u}) {
            SCOPED_TRACE("shift " + std::to_string(shift) + ", size " + std::to_string(size));
            Buffer b(size);
            FormatSaveError(b.p.get(), b.size, 87, name.c_str(), SjisLead);
            ExpectNameShownOrShortened(b.str(), size, "Error [87] saving ", name, "", SjisLead);
            EXPECT_GE(b.str().size(), size - 3) << "at most one byte lost at each cut";
        }
    }
}
