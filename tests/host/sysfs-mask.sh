#!/usr/bin/env bash
# Prints the capability mask the stand-in driver's host backend should
# report for the machine whose files are under ROOT (default /), read with
# the shell alone: a reading independent of the driver's code.  Reads only.
#
#   sysfs-mask.sh [ROOT]
#
# Bits: 0x01 S1, 0x04 S3, 0x08 S4, 0x10 C2, 0x20 C3, 0x40 C1, 0x80 fan,
# 0x100 clock throttling, 0x200 RTC wake alarm (see docs/driver.md).
set -u
root=${1:-/}
sys="${root%/}/sys"
cpu="$sys/devices/system/cpu"

exists() { [ -f "$1" ] && [ -r "$1" ]; }
line() { exists "$1" && head -n 1 "$1" 2>/dev/null; }
# A word of the list, brackets ("[deep]") ignored.
has() { case " $(printf '%s' "$1" | tr -d '[]') " in *" $2 "*) return 0 ;; esac; return 1; }
# The indexes below MAX for which FILE, # standing for the index, exists;
# the search ends after eight absent in a row.
numbered() {   # FILE MAX
  local i misses=0
  for i in $(seq 0 $(($2 - 1))); do
    [ $misses -ge 8 ] && break
    if exists "${1//#/$i}"; then misses=0; echo "$i"; else misses=$((misses + 1)); fi
  done
}

mask=0
state=$(line "$sys/power/state")
mem=$(line "$sys/power/mem_sleep")
disk=$(line "$sys/power/disk")
if exists "$cpu/online"; then online=$(line "$cpu/online"); else online=0; fi
first=${online%%[-,]*}
has "$state" standby && [ -w "$sys/power/state" ] && mask=$((mask | 0x01))
has "$state" mem && has "$mem" deep && [ -w "$sys/power/state" ] && [ -w "$sys/power/mem_sleep" ] && mask=$((mask | 0x04))
has "$state" disk && has "$disk" platform && [ -w "$sys/power/state" ] && [ -w "$sys/power/disk" ] && mask=$((mask | 0x08))

# Processor idle states: under acpi_idle the state named Cn; where the
# firmware names them (Cn_ACPI) that one; otherwise POLL left out, C1 the
# shallowest, C3 the deepest, C2 the middle one.
driver=$(line "$cpu/cpuidle/current_driver")
if [ -n "$driver" ] && [ "$driver" != none ]; then
  if [ -n "$first" ]; then
    names=()
    for k in $(seq 0 15); do
      exists "$cpu/cpu$first/cpuidle/state$k/name" || break
      names+=("$(line "$cpu/cpu$first/cpuidle/state$k/name")")
    done
    firmware=""
    deep=()
    for k in "${!names[@]}"; do
      case ${names[$k]} in *_ACPI) firmware=1 ;; esac
      [ "${names[$k]}" != POLL ] && deep+=("$k")
    done
    bit=(0 0x40 0x10 0x20)   # C1, C2, C3
    for n in 1 2 3; do
      idx=""
      if [ "$driver" = acpi_idle ] || [ -n "$firmware" ]; then
        want="C$n"; [ "$driver" = acpi_idle ] || want="C${n}_ACPI"
        for k in "${!names[@]}"; do [ "${names[$k]}" = "$want" ] && { idx=$k; break; }; done
      else
        count=${#deep[@]}
        case $n in
          1) [ "$count" -ge 1 ] && idx=${deep[0]} ;;
          2) [ "$count" -ge 3 ] && idx=${deep[$(( (count - 1) / 2 ))]} ;;
          3) [ "$count" -ge 2 ] && idx=${deep[$((count - 1))]} ;;
        esac
      fi
      [ -n "$idx" ] && [ -w "$cpu/cpu$first/cpuidle/state$idx/disable" ] && mask=$((mask | bit[n]))
    done
  fi
fi

fan="" processor=""
for i in $(numbered "$sys/class/thermal/cooling_device#/type" 256); do
  case $(line "$sys/class/thermal/cooling_device$i/type") in
    Fan) [ -z "$fan" ] && fan=$i ;;
    Processor) [ -z "$processor" ] && processor=$i ;;
  esac
done
if [ -n "$fan" ]; then
  [ -w "$sys/class/thermal/cooling_device$fan/cur_state" ] && mask=$((mask | 0x80))
else
  for i in $(numbered "$sys/class/hwmon/hwmon#/name" 64); do
    for j in 1 2 3 4 5 6 7 8; do
      pwm="$sys/class/hwmon/hwmon$i/pwm$j"
      if exists "$pwm" && [ -w "$pwm" ]; then mask=$((mask | 0x80)); break 2; fi
    done
  done
fi

# Clock throttling: Processor cooling devices, else intel_pstate, else cpufreq.
if [ -n "$processor" ]; then
  throttle="$sys/class/thermal/cooling_device$processor/cur_state"
elif exists "$cpu/intel_pstate/max_perf_pct"; then
  throttle="$cpu/intel_pstate/max_perf_pct"
else
  throttle="$cpu/cpu$first/cpufreq/scaling_max_freq"
  exists "$throttle" || throttle=""
fi
[ -n "$throttle" ] && [ -w "$throttle" ] && mask=$((mask | 0x100))

exists "$sys/class/rtc/rtc0/since_epoch" && [ -w "$sys/class/rtc/rtc0/wakealarm" ] && mask=$((mask | 0x200))
echo $mask
