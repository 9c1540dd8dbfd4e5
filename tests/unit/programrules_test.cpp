/* The program's rules that need no window: the saved file's name and the texts naming it, the RTC page's fields and record, the percentage field, a
   pass's walk.  Buffers are heap blocks of the size handed over: ASan sees an overrun. */
#include "log/saverules.h"
#include "pages/rtcrules.h"
#include "pages/thermalrules.h"
#include "res/resource.h"
#include "res/texts.h"
#include "testpass/passrules.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <memory>

/* final: the name as settled, "" when it stays as typed; format 0: no room for the extension. */
TEST(SaveRules, TheNameSettledAndTheTextsNamingIt)
{
    const std::string n255 = "C:\\" + std::string(252, 'x'), n256(256, 'y');
    const struct { std::string typed; unsigned pair; int format; std::string final; } rows[] = {
        {"C:\\r\\report.txt", 2, 1, ""}, {"report.tXt", 2, 1, ""}, {".rtf", 1, 2, ""}, {n256, 1, 0, ""}, {"C:\\R\\Report", 1, 1, "C:\\R\\Report.TXT"},
        {"report.doc", 2, 2, "report.doc.RTF"}, {n255, 2, 2, n255 + ".RTF"},
    };
    for (const auto &row : rows) {
        std::vector<char> buf(TEXT_SIZE);
        row.typed.copy(buf.data(), row.typed.size());
        bool appended = row.final.empty();
        int format = SettleSaveName(buf.data(), buf.size(), row.pair, &appended);
        EXPECT_EQ(std::to_string(format) + (appended ? " appended " : " ") + buf.data(),
                  std::to_string(row.format) + (row.final.empty() ? " " + row.typed : " appended " + row.final));
    }
    /* The folder, a backslash and the name within 255 characters, and one for the name at least. */
    EXPECT_EQ(std::vector<size_t>({ SaveNameFieldLimit(3), SaveNameFieldLimit(253), SaveNameFieldLimit(254) }), std::vector<size_t>({ 251, 1, 1 }));
    /* The texts naming it: a name too long keeps its beginning and its end around "...", cut between characters. */
    auto lead = [](size_t n) { return std::string(n, '\x82'); };   /* a two-byte character's lead and trail bytes alike */
    const std::string deep = "C:\\" + lead(400) + "\\report.TXT";
    const char *e1 = "Error [1] saving ", *path = "C:\\folder\\subfolder\\report.TXT";
    const struct { size_t size; const char *before; std::string name; bool dbcs; std::string text; } texts[] = {
        {26, e1, "C:\\r.TXT", false, "Error [1] saving C:\\r.TXT"}, {25, e1, "C:\\r.TXT", false, "Error [1] saving C...TXT"},
        {40, e1, path, false, "Error [1] saving C:\\fol...er\\report.TXT"}, {12, e1, path, false, "Error [1] s"},
        {61, "Error [87] saving ", deep, true, "Error [87] saving C:\\" + lead(10) + "..." + lead(14) + "\\report.TXT"},
    };
    for (const auto &row : texts) {
        std::unique_ptr<char[]> buf(new char[row.size]);
        size_t n = FormatWithName(buf.get(), row.size, row.before, row.name.c_str(), "",
                                  row.dbcs ? LeadBytePredicate([](unsigned char c) { return c == 0x82; }) : nullptr);
        EXPECT_EQ(std::to_string(n) + " " + buf.get(), std::to_string(row.text.size()) + " " + row.text) << row.size;
    }
    char text[64];
    EXPECT_EQ(std::to_string(FormatSaveError(text, sizeof text, -5, "C:\\r.TXT", nullptr)) + " " + text, "26 Error [-5] saving C:\\r.TXT");
    EXPECT_EQ(std::to_string(FormatReplaceQuestion(text, 64, "C:\\r.TXT", nullptr)) + " " + text, "51 C:\\r.TXT already exists.\nDo you want to replace it?");
}

/* Each element's limits (minimum, maximum, acceleration: seconds and step twice); a typed value, as
   GetDlgItemInt read it, held to them as a signed number (-1: left alone). */
TEST(RtcRules, FieldsTheRecordAndItsTexts)
{
    const struct { int control; unsigned typed; const char *want; } rows[] = {
        {IDC_RTC_HOUR, 13, "1 12 2 0 1 2 1 12"}, {IDC_RTC_HOUR, 1, "1 12 2 0 1 2 1 -1"}, {IDC_RTC_HOUR, 0xFFFFFFFF, "1 12 2 0 1 2 1 1"},
        {IDC_RTC_MINUTE, 75, "0 59 2 0 1 2 5 59"}, {IDC_RTC_SECOND, 0, "0 59 2 0 1 2 5 -1"}, {IDC_RTC_AMPM, 2, "0 1 1 0 1 0 0 1"},
    };
    for (const auto &row : rows) {
        const RtcFieldLimits *l = RtcLimitsFor(row.control);
        unsigned v = 7;
        char got[64];
        std::snprintf(got, sizeof got, "%d %d %d %u %u %u %u %d", l->minimum, l->maximum, l->nAccel, l->accel[0].seconds, l->accel[0].step,
                      l->accel[1].seconds, l->accel[1].step, RtcClampTyped(l, row.typed, &v) ? (int)v : -1);
        EXPECT_STREQ(got, row.want) << row.control << " " << row.typed;
    }
    /* The editor shows the hour on the 12-hour clock (0 for 12); Set counts the hour field's 12 as 0 of
       its half of the day and keeps each field as 16 bits. */
    for (auto row : std::vector<std::vector<unsigned>>{ {15, 5, 9, 3, 1}, {12, 30, 0, 0, 1}, {0, 15, 0, 0, 0}, {11, 59, 59, 11, 0} }) {
        RtcEditorFields f = RtcFieldsFromTime(row[0], row[1], row[2]);
        EXPECT_EQ(std::vector<unsigned>({ row[0], f.minute, f.second, f.hour, f.pm }), row);
    }
    const RtcDate today = {2026, 12, 6, 3};
    const struct { unsigned hour, minute, second; bool pm; const char *record; } records[] = {
        {3, 5, 9, true, "2026,12,6,15,5,9,0,3"}, {12, 0, 0, false, "2026,12,6,0,0,0,0,3"}, {12, 0, 0, true, "2026,12,6,12,0,0,0,3"},
        {65536 + 12, 65537, 65538, false, "2026,12,6,0,1,2,0,3"}, {0x05000003, 0x09000000, 0, true, "2026,12,6,15,0,0,0,3"},   /* the fuzzer's find */
    };
    for (const auto &row : records) {
        RTC_ALARM_TIME a = RtcMakeAlarm(&today, row.hour, row.minute, row.second, row.pm);
        char got[64];
        std::snprintf(got, sizeof got, "%u,%u,%u,%u,%u,%u,%u,%u", a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second, a.Milliseconds, a.Weekday);
        EXPECT_STREQ(got, row.record) << row.hour << (row.pm ? " PM" : " AM");
    }
    const RTC_ALARM_TIME zero = {}, set = {2026, 12, 6, 15, 5, 9, 0, 0};
    char buf[RTC_MESSAGE_SIZE];
    auto text = [&](int length) { return std::to_string(length) + " " + buf; };
    EXPECT_EQ(text(RtcFormatSetLine(buf, sizeof buf, &set)), "41 Setting RTC Alarm to 12/6/2026 15:05:09\r\n");
    EXPECT_EQ(text(RtcFormatAlarmMessage(buf, sizeof buf, &zero)), "55 The RTC Wake Alarm is currently set for 0/0/0 at 0:0:00");
    EXPECT_EQ(text(RtcFormatReadFailure(buf, sizeof buf, 31)), "85 The RTC Wake Alarm could not be read: the driver request failed with system error 31.");
    EXPECT_EQ(text(RtcFormatSetLine(buf, 12, &set)) + "|" + text(RtcFormatSetLine(buf, 1, &set)), "11 Setting RTC|0 ");
}

/* Read as an unsigned GetDlgItemInt; above 100 held at 100, nothing raised. */
TEST(ThermalRules, ThePercentageField)
{
    const struct { const char *text; uint32_t read, sent; } rows[] = {
        {"55", 55, 55}, {"  7%", 7, 7}, {"abc", 0, 0}, {"100", 100, 100}, {"101", 101, 100}, {"4294967295", 4294967295u, 100},
        {"4294967296", 0, 0}, {nullptr, 0, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(std::vector<uint32_t>({ ThermalReadPercent(row.text), ThermalDutyValue(row.read), ThermalPercentTooHigh(row.read) }),
                  std::vector<uint32_t>({ row.read, row.sent, row.sent != row.read })) << (row.text ? row.text : "(null)");
}

namespace {

/* Texts are "#ID"; events "?#ID" for a question, "LEVEL TEXT" for a log line (CRLF left out), "CODE VALUE" for a request. */
struct ScriptedOperator : PassOperator {
    std::string answers, events;   /* Y or N for each question in turn, then Yes */
    size_t asked = 0;
    void LoadText(int id, char *buf, int size) override { snprintf(buf, size, "#%d", id); }
    bool AskYes(const char *text) override { return Event(std::string("?") + text), asked >= answers.size() || answers[asked++] == 'Y'; }
    void Log(int level, const char *line) override
    {
        std::string s = line;
        Event(std::to_string(level) + " " + (s.size() > 1 && s.substr(s.size() - 2) == "\r\n" ? s.substr(0, s.size() - 2) : s + " (no CRLF)"));
    }
    void Request(uint32_t code, uint32_t value) override { Event(AcpiIoctlName(code) + 6 + (" " + std::to_string(value))); }
    void Event(const std::string &e) { events += (events.empty() ? "" : " | ") + e; }
};

}  // namespace

/* Table order S1 S2 S3 S4 C1 C2 C3 FAN DUTY RTC: 2 is unsupported but C1 runs it, 7 runs; a No skips the test, not after the verdict question. */
TEST(PassRules, EntriesAndAnswersGiveQuestionsLinesAndRequests)
{
    const struct { PassStep step; const char *table, *answers, *events; } rows[] = {
        {PASS_CPU, "0000222000", "", "?#2005 | 1 Running the \"#2004\" test. | SET_CPU_STATE 1 | 1 The \"#2006\" test is not supported on this "
                                     "machine. | 1 The \"#2008\" test is not supported on this machine."},
        {PASS_CPU, "0000017000", "NY", "3 The \"#2004\" test was skipped... | ?#2007 | 3 The \"#2006\" test was skipped... | ?#2009 | "
                                       "1 Running the \"#2008\" test. | SET_CPU_STATE 3"},
        {PASS_SYSTEM, "1720000000", "YN", "?#2011 | 1 Running the \"#2010\" test. | SET_SLEEP_STATE 2 | ?#2012 | ?#2014 | 1 Running the "
                                          "\"#2013\" test. | SET_SLEEP_STATE 3 | ?#2015 | 1 The \"#2016\" test is not supported on this machine."},
        {PASS_SYSTEM, "2210000000", "", "1 The \"#2010\" test is not supported on this machine. | 1 The \"#2013\" test is not supported on "
                                        "this machine. | ?#2017 | 1 Running the \"#2016\" test. | SET_SLEEP_STATE 4 | ?#2018"},
        {PASS_FAN, "0000000200", "", "1 The \"#2019\" test is not supported on this machine. | 1 The \"#2022\" test is not supported on this machine."},
        {PASS_THROTTLE, "0000000010", "", "?#2026 | 1 Running the \"#2025 to 10%\" test. | SET_DUTY_CYCLE 10 | 1 Running the \"#2025 to 20%\" "
         "test. | SET_DUTY_CYCLE 20 | 1 Running the \"#2025 to 30%\" test. | SET_DUTY_CYCLE 30 | 1 Running the \"#2025 to 40%\" test. | "
         "SET_DUTY_CYCLE 40 | 1 Running the \"#2025 to 50%\" test. | SET_DUTY_CYCLE 50 | 1 Running the \"#2025 to 60%\" test. | SET_DUTY_CYCLE 60 "
         "| 1 Running the \"#2025 to 70%\" test. | SET_DUTY_CYCLE 70 | 1 Running the \"#2025 to 80%\" test. | SET_DUTY_CYCLE 80 | 1 Running "
         "the \"#2025 to 90%\" test. | SET_DUTY_CYCLE 90"},
        {PASS_THROTTLE, "0000000010", "N", "?#2026 | 3 The \"#2025\" tests were skipped..."},
        {PASS_THROTTLE, "0000000020", "", "1 The \"#2025\" tests are not supported on this machine."},
    };
    for (const auto &row : rows) {
        uint8_t table[SEL_COUNT];
        std::transform(row.table, row.table + SEL_COUNT, table, [](char c) { return (uint8_t)(c - '0'); });
        ScriptedOperator op;
        op.answers = row.answers;
        RunPassStep(row.step, table, op);
        EXPECT_EQ(op.events, row.events) << row.table;
    }
}
