/* "&Filter out tests...": boxes from the entries, what OK and Cancel
   store, what the "test" buttons log and send, the RTC Alarm page. */
#include "tests/rows/rows.h"
#include <gtest/gtest.h>

namespace {

const Row kSheetRows[] = {
    /* Each button logs and sends at once, whatever Cancel does afterwards; the
       lines go to the end in their look whatever the operator selected. */
    {"EveryTestButtonThenCancel", "FailCode=0x220148", Ini("1111101110"),
     "sel filter c:C2 c:C1T c:C2T c:C3T p1 c:S1T c:S2T c:S3T c:S4T p2 c:FANON c:FANOFF t:PCT=50 c:DUTYT "
     "t:PCT=145 r:PCT c:DUTYT t:PCT=0 c:DUTYT t:PCT= r:PCT c:DUTYT s:PCT=4294967296 r:PCT c:DUTYT cancel",
     {"PCT=100", "PCT=", "PCT=4294967296"},
     {BANNER_LINE, "", "n Placing the processor into C1", "n Placing the processor into C2",
      "n Placing the processor into C3", "n Placing the System into S1", "n Placing the System into S2",
      "n Placing the System into S3", "n Placing the System into S4", "n Turning the fan ON",
      "r The driver request IOCTL_SET_FAN failed with system error 31.", "n Turning the fan OFF",
      "r The driver request IOCTL_SET_FAN failed with system error 31.", "n Setting the CPU duty cycle to 50%",
      "n Setting the CPU duty cycle to 100%", "n Setting the CPU duty cycle to 0%",
      "n Setting the CPU duty cycle to 0%", "n Setting the CPU duty cycle to 0%"},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55", "IOCTL_SET_CPU_STATE 1 0x00000000",
      "IOCTL_SET_CPU_STATE 2 0x00000000", "IOCTL_SET_CPU_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 2 0x00000000",
      "IOCTL_SET_SLEEP_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 4 0x00000000",
      "IOCTL_SET_SLEEP_STATE 5 0x00000000", "IOCTL_SET_FAN 1 0xC0000001", "IOCTL_SET_FAN 0 0xC0000001",
      "IOCTL_SET_DUTY_CYCLE 50 0x00000000", "IOCTL_SET_DUTY_CYCLE 100 0x00000000", "IOCTL_SET_DUTY_CYCLE 0 0x00000000",
      "IOCTL_SET_DUTY_CYCLE 0 0x00000000", "IOCTL_SET_DUTY_CYCLE 0 0x00000000"},
     Ini("1111101110")},

    /* 1 checks a box, 0 leaves it clear, anything else disables it and OK
       keeps the entry; a box's controls follow it. */
    {"BoxesFollowTheirEntriesThenOk", "", Ini("7012217172"),
     "filter shot:page-processor.png ?:C1 ?:C1T ?:C2 ?:C2T ?:C3 ?:C3T c:C2 ?:C2T c:C2 ?:C2T p1 shot:page-system.png "
     "?:S1 ?:S2 ?:S2T c:S2 ?:S2T ?:S3 ?:S4 ?:S4T p2 shot:page-thermal.png ?:FAN ?:FANONL ?:DUTY ?:PCT ?:DUTYT "
     "c:FAN ?:FANON ?:FANOFF ?:FANONL ?:FANOFFL p3 shot:page-rtc.png ?:RTC ?:HOUR ?:SET ?:GETL ok",
     {"C1 disabled", "C1T disabled", "C2 checked", "C2T", "C3 disabled", "C3T disabled", "C2T disabled", "C2T",
      "S1 disabled", "S2", "S2T disabled", "S2T", "S3 checked", "S4 disabled", "S4T disabled", "FAN checked", "FANONL",
      "DUTY disabled", "PCT disabled", "DUTYT disabled", "FANON disabled", "FANOFF disabled", "FANONL disabled",
      "FANOFFL disabled", "RTC disabled", "HOUR disabled", "SET disabled", "GETL disabled"},
     {BANNER_LINE, ""}, {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55"}, Ini("7111117071")},

    /* OK stores only the pages that were shown; each opening starts from
       the stored entries, with an empty percentage. */
    {"OkWithOnlyTheFirstPageShown", "", Ini("0101000010"),
     "filter c:C1 ok filter ?:C1 p2 ?:DUTY r:PCT t:PCT=55 ok filter p2 r:PCT cancel",
     {"C1 checked", "DUTY checked", "PCT=", "PCT="}, {BANNER_LINE, ""},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55"}, Ini("0101100010")},

    /* The page opens at the time now; the typed time is held to its limits
       and set for today; the up-down serves the focused field; clearing the
       box keeps the fields; the driver keeps the alarm for the next start. */
    {"RtcAlarmSetAndReadBack", "", nullptr,
     "filter p3 clock ?:RTC spin:HOUR spin:MIN spin:AMPM t:HOUR=3 t:MIN=75 t:SEC=ab top:AMPM=1 r:MIN r:SEC c:SET "
     "c:RTC ?:SEC ?:GET r:SEC cancel restart filter p3 c:GET O cancel",
     {"the time now", "RTC checked", "spin HOUR 1-12", "spin MIN 0-59", "spin AMPM 0-1", "MIN=59", "SEC=ab", "SEC disabled",
      "GET disabled", "SEC=ab", "ACPI VMT's: The RTC Wake Alarm is currently set for {m}/{d}/{y} at 15:59:00"},
     {BANNER_LINE, "", "n The RTC Wake Alarm is currently set for {m}/{d}/{y} at 15:59:00"},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55", "IOCTL_SET_RTC_ALARM {y},{m},{d},15,59,0,0,{w} 0x00000000",
      "IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55",
      "IOCTL_GET_RTC_ALARM 0,0,0,0,0,0,0,0 0x00000000 reply={y},{m},{d},15,59,0,0,{w}"},
     Ini("1111111111")},

    /* Without the driver both requests fail, and the operator is told; the
       line comes before the request; 12 AM is hour 0. */
    {"RtcAlarmWithoutTheDriver", "off classic", nullptr,
     "filter p3 ?:RTC c:RTC paint:COLON1 paint:COLON2 paint:GETL t:HOUR=12 t:MIN=5 t:SEC=9 top:AMPM=0 c:SET c:GET O cancel",
     {"RTC", "COLON1 #FFFFFF", "COLON2 #FFFFFF", "GETL #F5F5F5", "ACPI VMT's: The RTC Wake Alarm could not be read: the driver request failed with system error 6."},
     {BANNER_LINE, "", NO_DRIVER_LINE, "n Setting RTC Alarm to {m}/{d}/{y} 00:05:09",
      "r The driver request IOCTL_SET_RTC_ALARM failed with system error 6.",
      "r The RTC Wake Alarm could not be read: the driver request failed with system error 6."},
     {}, nullptr},
};

}  // namespace

class Sheet : public ::testing::TestWithParam<Row> {};
TEST_P(Sheet, Row) { PlayRow(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Rows, Sheet, ::testing::ValuesIn(kSheetRows),
                         [](const ::testing::TestParamInfo<Row> &i) { return std::string(i.param.name); });
