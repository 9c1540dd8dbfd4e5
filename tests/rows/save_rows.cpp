/* "&Save As...": both formats, the name rules, replacing, and errors. */
#include "tests/rows/rows.h"
#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kSkippedLog = With({BANNER_LINE, "", NO_DRIVER_LINE}, AllSkipped());

const Row kSaveRows[] = {
    /* The pair chosen gives the extension and the format; the RTF keeps the looks. */
    {"TextAndRichText", "off", nullptr,
     "start saveas pair:1 name:C:\\save\\session save saveas pair:2 name:C:\\save\\session save files",
     {"session.RTF=rtf \\red255\\green0\\blue0 \\red0\\green127\\blue255 skipped... bold session.TXT=log"},
     kSkippedLog, {}, nullptr},

    /* A folder in the way; an added extension naming a file that exists
       (No keeps it, Yes replaces it); a name of its own extension. */
    {"NameRulesAndErrors", "off", nullptr,
     "mkdir:taken.TXT put:report.TXT=older saveas name:C:\\save\\taken save O saveas name:C:\\save\\report save N "
     "files saveas name:C:\\save\\report save Y saveas pair:2 name:C:\\save\\mixed.txt save files",
     {"ACPI VMT - Error: Error [5] saving C:\\save\\taken.TXT",
      "C:\\save\\report.TXT already exists.\nDo you want to replace it?", "report.TXT=older taken.TXT/",
      "C:\\save\\report.TXT already exists.\nDo you want to replace it?",
      "mixed.txt=log report.TXT=log taken.TXT/"},
     {BANNER_LINE, "", NO_DRIVER_LINE}, {}, nullptr},

    /* Typed on, a long name stops where the dialog can still hand it back,
       and the log is saved under it. */
    {"ALongTypedName", "off", nullptr, "saveas name:C:\\save\\L*300 field save files",
     {"field=C:\\save\\L*243", "L*243.TXT=log"}, {BANNER_LINE, "", NO_DRIVER_LINE}, {}, nullptr},

    /* Every write fails: the data lost is reported once. */
    {"ADiskThatIsFull", "off", nullptr, "link:full.TXT=/dev/full saveas name:C:\\save\\full.TXT save O",
     {"ACPI VMT - Error: Error [112] saving C:\\save\\full.TXT"},
     {BANNER_LINE, "", NO_DRIVER_LINE}, {}, nullptr},
};

}  // namespace

class Save : public ::testing::TestWithParam<Row> {};
TEST_P(Save, Row) { PlayRow(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Rows, Save, ::testing::ValuesIn(kSaveRows),
                         [](const ::testing::TestParamInfo<Row> &i) { return std::string(i.param.name); });
