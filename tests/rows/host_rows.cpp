/* The driver's host backend on fake machines (tests/host/make-tree.sh):
   what each request does there, and what the machine holds after the
   program has closed the device. */
#include "tests/rows/rows.h"
#include <gtest/gtest.h>

namespace {

const std::string kLongRoot = "host:laptop SysfsRoot=C:\\vmt-host\\" + std::string(200, 'x');
const std::string kLongJournal = "JournalFile=C:\\" + std::string(260, 'j');

const Row kHostRows[] = {
    {"Laptop", "host:laptop", nullptr, "start Y Y Y Y Y Y Y Y Y Y filter p1 c:S4T cancel",
     {Q(2005), Q(2007), Q(2009), Q(2017), Q(2018), Q(2020), Q(2021), Q(2023), Q(2024), Q(2026)},
     {BANNER_LINE, "", "n Running the \"Placing the CPU into C1\" test.", "n Running the \"Placing the CPU into C2\" test.",
      "n Running the \"Placing the CPU into C3\" test.",
      "n The \"Placing the system into the S1 state\" test is not supported on this machine.",
      "n The \"Placing the system into the S2 state\" test is not supported on this machine.",
      "n Running the \"Placing the system into the S3 state\" test.", "n Running the \"Turning the fan ON\" test.",
      "n Running the \"Turning the fan OFF\" test.", "n Running the \"Throttle the CPU to 10%\" test.",
      "n Running the \"Throttle the CPU to 20%\" test.", "n Running the \"Throttle the CPU to 30%\" test.",
      "n Running the \"Throttle the CPU to 40%\" test.", "n Running the \"Throttle the CPU to 50%\" test.",
      "n Running the \"Throttle the CPU to 60%\" test.", "n Running the \"Throttle the CPU to 70%\" test.",
      "n Running the \"Throttle the CPU to 80%\" test.", "n Running the \"Throttle the CPU to 90%\" test.",
      "n Placing the System into S4"},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=1020 idle=intel_idle C1=C1 C2=C3 C3=C10 fan=cooling_device1 "
      "throttle=intel_pstate rtc=rtc0",
      "IOCTL_SET_CPU_STATE 1 0x00000000 idle=C1 usage+=* time+=*us",
      "IOCTL_SET_CPU_STATE 2 0x00000000 idle=C3 usage+=* time+=*us",
      "IOCTL_SET_CPU_STATE 3 0x00000000 idle=C10 usage+=* time+=*us",
      "IOCTL_SET_SLEEP_STATE 4 0x00000000 state=mem mem_sleep=deep",
      "IOCTL_SET_FAN 1 0x00000000 mechanism=cooling_device1 applied=3",
      "IOCTL_SET_FAN 0 0x00000000 mechanism=cooling_device1 applied=0",
      "IOCTL_SET_DUTY_CYCLE 10 0x00000000 mechanism=intel_pstate applied=10",
      "IOCTL_SET_DUTY_CYCLE 20 0x00000000 mechanism=intel_pstate applied=20",
      "IOCTL_SET_DUTY_CYCLE 30 0x00000000 mechanism=intel_pstate applied=30",
      "IOCTL_SET_DUTY_CYCLE 40 0x00000000 mechanism=intel_pstate applied=40",
      "IOCTL_SET_DUTY_CYCLE 50 0x00000000 mechanism=intel_pstate applied=50",
      "IOCTL_SET_DUTY_CYCLE 60 0x00000000 mechanism=intel_pstate applied=60",
      "IOCTL_SET_DUTY_CYCLE 70 0x00000000 mechanism=intel_pstate applied=70",
      "IOCTL_SET_DUTY_CYCLE 80 0x00000000 mechanism=intel_pstate applied=80",
      "IOCTL_SET_DUTY_CYCLE 90 0x00000000 mechanism=intel_pstate applied=90",
      "IOCTL_SET_SLEEP_STATE 5 0x00000000 state=disk disk=platform"},
     Ini("1111111111"),
     {"sys/devices/system/cpu/intel_pstate/max_perf_pct=100", "sys/class/thermal/cooling_device1/cur_state=0",
      "sys/devices/system/cpu/cpu0/cpuidle/state1/disable=0", "sys/devices/system/cpu/cpu3/cpuidle/state6/disable=0",
      "sys/power/mem_sleep=s2idle [deep]", "sys/power/disk=[platform] shutdown reboot suspend test_resume"}},

    /* Nothing to drive: the query marks what it can, the rest fails as not supported (50). */
    {"BareMachine", "host:bare", nullptr, "start Y Y Y N N", {Q(2005), Q(2020), Q(2021), Q(2023), Q(2026)},
     {BANNER_LINE, "", "n Running the \"Placing the CPU into C1\" test.",
      "r The driver request IOCTL_SET_CPU_STATE failed with system error 50.",
      "n The \"Placing the CPU into C2\" test is not supported on this machine.",
      "n The \"Placing the CPU into C3\" test is not supported on this machine.",
      "n The \"Placing the system into the S1 state\" test is not supported on this machine.",
      "n The \"Placing the system into the S2 state\" test is not supported on this machine.",
      "n The \"Placing the system into the S3 state\" test is not supported on this machine.",
      "n Running the \"Turning the fan ON\" test.", "r The driver request IOCTL_SET_FAN failed with system error 50.",
      "b The \"Turning the fan OFF\" test was skipped...", "b The \"Throttle the CPU\" tests were skipped..."},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=0 idle=none fan=none throttle=none rtc=none",
      "IOCTL_SET_CPU_STATE 1 0xC00000BB idle=none", "IOCTL_SET_FAN 1 0xC00000BB mechanism=none"},
     Ini("1111111111"), {}},

    /* The driver's own settings: a backend named in any case; a root or a
       journal too long to keep reaches no file rather than another. */
    {"BackendNamedInAnyCase", "host:bare Backend=HoSt", nullptr, "", {}, {BANNER_LINE, ""},
     {"IOCTL_GET_CAPABILITIES 0 0x00000000 reply=0 idle=none fan=none throttle=none rtc=none"}, Ini("1111111111")},
    {"ARootTooLong", kLongRoot.c_str(), nullptr, "", {},
     {BANNER_LINE, "", "r The driver request IOCTL_GET_CAPABILITIES failed with system error 50."},
     {"IOCTL_GET_CAPABILITIES 0 0xC00000BB"}, Ini("1111111111")},
    {"AJournalTooLong", kLongJournal.c_str(), nullptr, "", {}, {BANNER_LINE, ""}, {}, Ini("1111111111")},
};

}  // namespace

class Host : public ::testing::TestWithParam<Row> {};
TEST_P(Host, Row) { PlayRow(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Rows, Host, ::testing::ValuesIn(kHostRows),
                         [](const ::testing::TestParamInfo<Row> &i) { return std::string(i.param.name); });
