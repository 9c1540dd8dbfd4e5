#include "log/saverules.h"
#include "res/texts.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

/* Buffers are heap vectors of exactly the size passed: ASan sees any overrun. */
TEST(SaveName, EveryRowOfTheRule)
{
    const std::string n255 = "C:\\" + std::string(252, 'x'), n256(256, 'y');
    struct { std::string typed; unsigned pair; int format; std::string final; } rows[] = {
        {"C:\\r\\report.txt", 1, 1, ""}, {"C:\\r\\report.txt", 2, 1, ""}, {"report.tXt", 2, 1, ""},
        {"report.Rtf", 1, 2, ""}, {"report.Rtf", 2, 2, ""}, {".rtf", 1, 2, ""}, {n256, 1, 0, ""},
        {"C:\\R\\Report", 1, 1, "C:\\R\\Report.TXT"}, {"report", 2, 2, "report.RTF"},
        {"report.doc", 2, 2, "report.doc.RTF"}, {"report.tx", 1, 1, "report.tx.TXT"},
        {"report_TXT", 2, 2, "report_TXT.RTF"}, {"", 1, 1, ".TXT"}, {"a", 2, 2, "a.RTF"},
        {"TXT", 1, 1, "TXT.TXT"}, {".tx", 1, 1, ".tx.TXT"}, {n255, 2, 2, n255 + ".RTF"},
        /* Only pair 2 is RTF: the dialog's index before any choice, or out of range. */
        {"report", 0, 1, "report.TXT"}, {"report", 3, 1, "report.TXT"}, {"report", 0xFFFFFFFFu, 1, "report.TXT"},
    };   /* final "": the name stays as typed; format 0: no room for the extension */
    for (const auto &row : rows) {
        SCOPED_TRACE(row.typed.substr(0, 20) + " pair " + std::to_string(row.pair));
        std::vector<char> buf(TEXT_SIZE);
        row.typed.copy(buf.data(), row.typed.size());
        bool appended = row.final.empty();   /* the wrong answer, to be overwritten */
        EXPECT_EQ(SettleSaveName(buf.data(), buf.size(), row.pair, &appended), row.format);
        EXPECT_EQ(appended, !row.final.empty());
        EXPECT_EQ(std::string(buf.data()), row.final.empty() ? row.typed : row.final);
    }
}

/* The folder, a backslash and the name: at most 255 characters, the most
   the dialog hands back; a folder too long for any name leaves one. */
TEST(SaveName, FieldLimitKeepsFolderAndNameWithinTheDialogsRoom)
{
    EXPECT_EQ(SaveNameFieldLimit(0), 254u);
    EXPECT_EQ(SaveNameFieldLimit(3), 251u);          /* C:\ */
    EXPECT_EQ(SaveNameFieldLimit(28), 226u);
    EXPECT_EQ(SaveNameFieldLimit(253), 1u);
    EXPECT_EQ(SaveNameFieldLimit(254), 1u);
    EXPECT_EQ(SaveNameFieldLimit(259), 1u);
}

TEST(SaveErrorText, LongNamesAreShortenedVisiblyNeverOverrun)
{
    /* Whatever the sizes: a terminated text of the length returned, within
       the buffer; the whole text when it fits, else one with "..." in it. */
    for (size_t size : {1u, 2u, 5u, 24u, 260u})   /* 240: a name filling the whole room */
        for (size_t len : {0u, 10u, 240u, 241u, 400u}) {
            SCOPED_TRACE(std::to_string(size) + " bytes, a name of " + std::to_string(len));
            std::vector<char> b(size, '#');
            size_t n = FormatSaveError(b.data(), size, 1, std::string(len, 'n').c_str(), nullptr);
            EXPECT_LT(n, size);
            EXPECT_EQ(b[n], '\0');
            EXPECT_EQ(strlen(b.data()), n);
            if (17 + len < size) {
                EXPECT_EQ(std::string(b.data()), "Error [1] saving " + std::string(len, 'n'));
            } else if (size > 20) {
                EXPECT_NE(std::string(b.data()).find("..."), std::string::npos) << b.data();
            }
        }

    /* Beginning and file name kept around "...", two-byte characters never split. */
    std::string deep = "C:\\" + std::string(400, '\x82') + "\\report.TXT";
    for (size_t size : {60u, 61u, 62u, 260u}) {
        std::vector<char> b(size);
        FormatSaveError(b.data(), size, 87, deep.c_str(), [](unsigned char c) { return c == 0x82; });
        std::string s = b.data();
        size_t dots = s.find("...");
        EXPECT_EQ(s.rfind("Error [87] saving C:\\", 0), 0u);
        EXPECT_EQ(s.substr(s.size() - 11), "\\report.TXT");
        ASSERT_NE(dots, std::string::npos) << size;
        EXPECT_EQ((dots - 21) % 2, 0u) << size << ": a character split before the dots";
        EXPECT_EQ((s.size() - dots - 3 - 11) % 2, 0u) << size << ": a character split after the dots";
        EXPECT_GE(s.size(), size - 3) << size;
    }
}
