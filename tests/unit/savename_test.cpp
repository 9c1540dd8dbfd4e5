#include "log/savename.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

/* Buffers are heap vectors of exactly the size passed: ASan sees any write
   past them. */
TEST(SaveName, EveryRowOfTheRule)
{
    const std::string n255 = "C:\\" + std::string(252, 'x'), n256(256, 'y');
    struct { std::string typed; unsigned pair; int format; std::string final; } rows[] = {
        {"C:\\r\\report.txt", 1, 1, ""},      {"C:\\r\\report.txt", 2, 1, ""},
        {"report.Rtf", 1, 2, ""},             {"report.Rtf", 2, 2, ""},
        {"report.tXt", 2, 1, ""},             {"report_TXT", 2, 2, "report_TXT.RTF"},
        {"C:\\R\\Report", 1, 1, "C:\\R\\Report.TXT"}, {"report", 2, 2, "report.RTF"},
        {"report.doc", 2, 2, "report.doc.RTF"}, {"report.tx", 1, 1, "report.tx.TXT"},
        {"", 1, 1, ".TXT"},                   {"a", 2, 2, "a.RTF"},
        {"TXT", 1, 1, "TXT.TXT"},             {".tx", 1, 1, ".tx.TXT"},
        {".rtf", 1, 2, ""},                   {n255, 2, 2, n255 + ".RTF"},
        {n256, 1, 0, ""},   /* no room for the extension: refused, untouched */
    };   /* final "": the name stays as typed */
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed.substr(0, 20) + " pair " + std::to_string(row.pair));
        std::vector<char> buf(SAVE_NAME_SIZE);
        row.typed.copy(buf.data(), row.typed.size());
        bool appended = row.final.empty();   /* the wrong answer, to be overwritten */
        EXPECT_EQ(SettleSaveName(buf.data(), buf.size(), row.pair, &appended), row.format);
        EXPECT_EQ(appended, !row.final.empty());
        EXPECT_EQ(std::string(buf.data()), row.final.empty() ? row.typed : row.final);
    }
}

TEST(SaveErrorText, LongNamesAreShortenedVisiblyNeverOverrun)
{
    std::vector<char> buf(SAVE_NAME_SIZE);
    FormatSaveError(buf.data(), buf.size(), 5, "C:\\logs\\report.TXT", nullptr);
    EXPECT_STREQ(buf.data(), "Error [5] saving C:\\logs\\report.TXT");
    std::string deep = "C:\\windows\\desktop\\" + std::string(236, 'd') + "\\report.TXT";
    FormatSaveError(buf.data(), buf.size(), 3, deep.c_str(), nullptr);
    std::string out = buf.data();
    EXPECT_EQ(out.size(), SAVE_NAME_SIZE - 1u);
    EXPECT_EQ(out.rfind("Error [3] saving C:\\windows\\desktop\\", 0), 0u) << out;
    EXPECT_NE(out.find("d...d"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - 11), "\\report.TXT") << out;

    for (size_t size : {1u, 2u, 5u, 24u, 260u})   /* every length, tiny and real buffers */
        for (size_t len = 0; len < 300; len += 7) {
            std::vector<char> b(size);
            size_t got = FormatSaveError(b.data(), size, 123, std::string(len, 'n').c_str(), nullptr);
            EXPECT_EQ(got, strlen(b.data()));
        }

    /* Two-byte characters (lead 0x82) are never split at either cut. */
    std::string dbcs = "C:\\";
    while (dbcs.size() < 400)
        dbcs += "\x82\xA0";
    for (size_t size : {60u, 61u, 62u}) {
        std::vector<char> b(size);
        FormatSaveError(b.data(), size, 87, dbcs.c_str(), [](unsigned char c) { return c == 0x82; });
        std::string s = b.data();
        size_t dots = s.find("...");   /* 21: "Error [87] saving C:\\" */
        EXPECT_TRUE(dots != std::string::npos && (dots - 21) % 2 == 0 &&
                    (s.size() - dots - 3) % 2 == 0 && s.size() >= size - 3) << size;
    }
}
