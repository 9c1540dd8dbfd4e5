/* "&Start ACPI tess", the settings file and the start without the driver. */
#include "tests/rows/rows.h"
#include <gtest/gtest.h>

namespace {

const Row kPassRows[] = {
    {"FirstRunEveryTestEveryAnswerYes", "", nullptr, "limit start Y journal Y Y Y Y Y Y Y Y Y Y Y Y Y focus",
     {"limit=2147483646", Q(2005), "journal 2", Q(2007), Q(2009), Q(2011), Q(2012), Q(2014), Q(2015), Q(2017), Q(2018),
      Q(2020), Q(2021), Q(2023), Q(2024), Q(2026), "focus on the pane"},
     {BANNER_LINE, "", "n Running the \"Placing the CPU into C1\" test.", "n Running the \"Placing the CPU into C2\" test.",
      "n Running the \"Placing the CPU into C3\" test.", "n Running the \"Placing the system into the S1 state\" test.",
      "n Running the \"Placing the system into the S2 state\" test.",
      "n Running the \"Placing the system into the S3 state\" test.", "n Running the \"Turning the fan ON\" test.",
      "n Running the \"Turning the fan OFF\" test.", "n Running the \"Throttle the CPU to 10%\" test.",
      "n Running the \"Throttle the CPU to 20%\" test.", "n Running the \"Throttle the CPU to 30%\" test.",
      "n Running the \"Throttle the CPU to 40%\" test.", "n Running the \"Throttle the CPU to 50%\" test.",
      "n Running the \"Throttle the CPU to 60%\" test.", "n Running the \"Throttle the CPU to 70%\" test.",
      "n Running the \"Throttle the CPU to 80%\" test.", "n Running the \"Throttle the CPU to 90%\" test."},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55", "IOCTL_SET_CPU_STATE 1 0x00000000",
      "IOCTL_SET_CPU_STATE 2 0x00000000", "IOCTL_SET_CPU_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 2 0x00000000",
      "IOCTL_SET_SLEEP_STATE 3 0x00000000", "IOCTL_SET_SLEEP_STATE 4 0x00000000", "IOCTL_SET_FAN 1 0x00000000",
      "IOCTL_SET_FAN 0 0x00000000", "IOCTL_SET_DUTY_CYCLE 10 0x00000000", "IOCTL_SET_DUTY_CYCLE 20 0x00000000",
      "IOCTL_SET_DUTY_CYCLE 30 0x00000000", "IOCTL_SET_DUTY_CYCLE 40 0x00000000", "IOCTL_SET_DUTY_CYCLE 50 0x00000000",
      "IOCTL_SET_DUTY_CYCLE 60 0x00000000", "IOCTL_SET_DUTY_CYCLE 70 0x00000000", "IOCTL_SET_DUTY_CYCLE 80 0x00000000",
      "IOCTL_SET_DUTY_CYCLE 90 0x00000000"},
     Ini("1111111111")},

    /* S1 and S3 supported, S1's request failing; 0 entries skipped. */
    {"MaskWithAFailingRequest", "CapabilityMask=5 FailCode=0x220140", Ini("1100111000"), "start Y Y Y size shot:main-pass.png",
     {Q(2005), Q(2011), Q(2012), "fits"},
     {BANNER_LINE, "", "n Running the \"Placing the CPU into C1\" test.",
      "n The \"Placing the CPU into C2\" test is not supported on this machine.",
      "n The \"Placing the CPU into C3\" test is not supported on this machine.",
      "n Running the \"Placing the system into the S1 state\" test.",
      "r The driver request IOCTL_SET_SLEEP_STATE failed with system error 31.",
      "n The \"Placing the system into the S2 state\" test is not supported on this machine.",
      "b The \"Placing the system into the S3 state\" test was skipped...",
      "b The \"Turning the fan ON\" test was skipped...", "b The \"Turning the fan OFF\" test was skipped...",
      "b The \"Throttle the CPU\" tests were skipped..."},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=5", "IOCTL_SET_CPU_STATE 1 0x00000000",
      "IOCTL_SET_SLEEP_STATE 2 0xC0000001"},
     Ini("1100111000")},

    /* Replies the query must not trust: marked, every entry would read "not supported". */
    {"AFailedQueryMarksNothing", "CapabilityMask=0 FailCode=0x22014C", Ini("0000000000"), "start", {},
     With({BANNER_LINE, "", "r The driver request IOCTL_GET_CAPABILITIES failed with system error 31."}, AllSkipped()),
     {"IOCTL_GET_CAPABILITIES 0 0xC0000001"}, Ini("0000000000")},
    {"AShortReplyMarksNothing", "CapabilityMask=0 ShortReply=0x22014C", Ini("0000000000"), "start", {},
     With({BANNER_LINE, ""}, AllSkipped()), {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=0"}, Ini("0000000000")},

    /* 2 is "not supported" but for C1; 7 and 3 run like 1; No skips, a verdict's No changes nothing. */
    {"NoAnswersAndOddEntries", "", Ini("7210272730"), "start N Y Y N N Y N N N",
     {Q(2005), Q(2007), Q(2011), Q(2012), Q(2017), Q(2020), Q(2021), Q(2023), Q(2026)},
     {BANNER_LINE, "", "b The \"Placing the CPU into C1\" test was skipped...", "n Running the \"Placing the CPU into C2\" test.",
      "n The \"Placing the CPU into C3\" test is not supported on this machine.",
      "n Running the \"Placing the system into the S1 state\" test.",
      "n The \"Placing the system into the S2 state\" test is not supported on this machine.",
      "b The \"Placing the system into the S3 state\" test was skipped...", "n Running the \"Turning the fan ON\" test.",
      "b The \"Turning the fan OFF\" test was skipped...", "b The \"Throttle the CPU\" tests were skipped..."},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55", "IOCTL_SET_CPU_STATE 2 0x00000000",
      "IOCTL_SET_SLEEP_STATE 2 0x00000000", "IOCTL_SET_FAN 1 0x00000000"},
     Ini("7110171730")},

    /* A file edited by hand: each value loads as its low byte (no number: 0), a missing or empty key as 1;
       the other sections and keys stay. */
    {"AHandEditedSettingsFile", "",
     "; by hand\r\n[Before]\r\nC1CPUState=0\r\n[ACPI VMT's]\r\nS1SystemState=256\r\nS2SystemState=65537\r\n"
     "Colour=blue\r\nS3SystemState=-1\r\nC1CPUState=yes\r\nC2CPUState=\r\nC3CPUState=   0\r\nFanOnOff=259\r\n"
     "[After]\r\nFanOnOff=0\r\n",
     "", {}, {BANNER_LINE, ""}, {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55"},
     "; by hand\r\n[Before]\r\nC1CPUState=0\r\n[ACPI VMT's]\r\nS1SystemState=0\r\nS2SystemState=1\r\n"
     "Colour=blue\r\nS3SystemState=255\r\nC1CPUState=0\r\nC2CPUState=1\r\nC3CPUState=0\r\nFanOnOff=3\r\n"
     "S4SystemState=1\r\nCPUDutyCycle=1\r\nRTCAlarm=1\r\n[After]\r\nFanOnOff=0\r\n"},
    {"LineFeedsOnly", "", "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n", "", {}, {BANNER_LINE, ""},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=55"},
     "[ACPI VMT's]\r\nS1SystemState=0\r\nC2CPUState=3\r\nS2SystemState=1\r\nS3SystemState=1\r\nS4SystemState=1\r\n"
     "C1CPUState=1\r\nC3CPUState=1\r\nFanOnOff=1\r\nCPUDutyCycle=1\r\nRTCAlarm=1\r\n"},

    /* Without the driver: a start minimized opens normal; one copy only; the file is left alone. */
    {"NoDriver", "off min", "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n", "shown trace second size about start close",
     {"normal", "trace [VERUVEZ.EXE] ", "trace Could not find: c:\\windows\\system\\acpi.sys\n", "second=0", "fits",
      "about"},
     With({BANNER_LINE, "", NO_DRIVER_LINE}, AllSkipped()), {}, "[ACPI VMT's]\nS1SystemState=0\nC2CPUState=3\n"},

    /* No log pane, no program: the operator is told why. */
    {"WithoutRichEdit", "norichedit", nullptr, "O",
     {"ACPI VMT - Error: Could not load RICHED32.DLL (system error 126).\nThe program cannot run without its log pane."},
     {}, {}, nullptr},
};

}  // namespace

class Pass : public ::testing::TestWithParam<Row> {};
TEST_P(Pass, Row) { PlayRow(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Rows, Pass, ::testing::ValuesIn(kPassRows),
                         [](const ::testing::TestParamInfo<Row> &i) { return std::string(i.param.name); });
