#!/usr/bin/env bash
# The shell reading of the capability mask (sysfs-mask.sh) on the fake
# machines of make-tree.sh, and on variations of them, against the masks
# the host backend gives for the same machines.
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

check() {   # WHAT EXPECTED
  local got
  got=$("$here/sysfs-mask.sh" "$work/t")
  if [ "$got" = "$2" ]; then echo "ok   $1: $got"; else echo "FAIL $1: $got, expected $2"; failed=1; fi
}
tree() { "$here/make-tree.sh" "$1" "$work/t"; }

tree laptop;  check laptop 1020
tree desktop; check desktop 509
tree bare;    check bare 0

tree laptop
printf 's2idle\n' >"$work/t/sys/power/mem_sleep"
check "laptop, s2idle only" 1016
rm "$work/t/sys/class/rtc/rtc0/since_epoch"
check "laptop, RTC without since_epoch" 504
rm -r "$work/t/sys/devices/system/cpu/intel_pstate"
check "laptop, cpufreq throttling" 504
printf 'none\n' >"$work/t/sys/devices/system/cpu/cpuidle/current_driver"
check "laptop, no cpuidle driver" 392

tree laptop
for c in 0 1 2 3 4; do
  rm -r "$work/t/sys/devices/system/cpu/cpu$c/cpuidle/state"[3-6]
done
check "laptop, POLL C1 C1E" 1004
printf 'C1_ACPI\n' >"$work/t/sys/devices/system/cpu/cpu0/cpuidle/state1/name"
check "laptop, firmware names without C2 and C3" 972

tree desktop
rm -r "$work/t/sys/class/hwmon"
printf 'Fan\n' >"$work/t/sys/class/thermal/cooling_device1/type"
check "desktop, a Fan among the Processors" 509
mkdir -p "$work/t/sys/class/thermal/cooling_device12"
printf 'Fan\n' >"$work/t/sys/class/thermal/cooling_device12/type"
rm -r "$work/t/sys/class/thermal/cooling_device1"
check "desktop, a Fan after eight missing" 381
exit $failed
