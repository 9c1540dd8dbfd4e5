#!/usr/bin/env bash
# A fake machine's power-management files under DIR/sys for the host rows:
#   make-tree.sh laptop|bare DIR [--running]
# laptop: s2idle [deep], hibernation, intel_idle on CPUs 0-3 (4 offline),
# intel_pstate, cpufreq, a Fan cooling device, an RTC stopped at 1000000000;
# bare: nothing, like a virtual machine.  --running: until DIR goes, idle
# counters grow and sys/power/state reads as before once written.
set -eu
[ $# -ge 2 ] || { echo "usage: make-tree.sh laptop|bare DIR [--running]" >&2; exit 2; }
profile=$1 dir=$2
rm -rf "$dir"
mkdir -p "$dir"
cpu="$dir/sys/devices/system/cpu"

put() { mkdir -p "$(dirname "$1")"; printf '%s' "$2" >"$1"; }
line() { put "$1" "$2"$'\n'; }

idle() {   # DRIVER ONLINE CPUS NAME...
  local driver=$1 online=$2 cpus=$3 c k
  shift 3
  line "$cpu/online" "$online"
  line "$cpu/cpuidle/current_driver" "$driver"
  for c in $(seq 0 $((cpus - 1))); do
    k=0
    for name in "$@"; do
      local s="$cpu/cpu$c/cpuidle/state$k"
      line "$s/name" "$name"
      line "$s/disable" 0
      line "$s/usage" $((1000 * (k + 1) + c))
      line "$s/time" $((500000 * (k + 1)))
      k=$((k + 1))
    done
  done
}

cooling() {   # INDEX TYPE MAX
  local d="$dir/sys/class/thermal/cooling_device$1"
  line "$d/type" "$2"
  line "$d/max_state" "$3"
  line "$d/cur_state" 0
}

case $profile in
  laptop)
    line "$dir/sys/power/state" "freeze mem disk"
    line "$dir/sys/power/mem_sleep" "s2idle [deep]"
    line "$dir/sys/power/disk" "[platform] shutdown reboot suspend test_resume"
    idle intel_idle 0-3 5 POLL C1 C1E C3 C6 C8 C10
    cooling 0 intel_powerclamp 50
    cooling 1 Fan 3
    cooling 2 "TCC Offset" 63
    line "$cpu/intel_pstate/status" active
    line "$cpu/intel_pstate/max_perf_pct" 100
    line "$cpu/intel_pstate/min_perf_pct" 20
    for c in 0 1 2 3 4; do
      line "$cpu/cpu$c/cpufreq/cpuinfo_max_freq" 4700000
      line "$cpu/cpu$c/cpufreq/scaling_max_freq" 4700000
    done
    put "$dir/sys/class/rtc/rtc0/wakealarm" ""
    line "$dir/sys/class/rtc/rtc0/since_epoch" 1000000000
    ;;
  bare)
    ;;
  *)
    echo "make-tree.sh: unknown profile '$profile' (laptop or bare)" >&2
    exit 2 ;;
esac

[ "${3:-}" = --running ] || exit 0
perl -e '
  sub get { open my $f, "<", $_[0] or return; local $/; my $v = <$f>; close $f; $v }
  sub put { open my $f, ">", "$_[0].new" or return; print $f $_[1]; close $f; rename "$_[0].new", $_[0] }
  my ($dir) = @ARGV; my $state = "$dir/sys/power/state"; my $was = get($state);
  while (-d $dir) {
    put($_, get($_) + 1 . "\n") for glob "$dir/sys/devices/system/cpu/cpu*/cpuidle/state*/{usage,time}";
    put($state, $was) if defined $was && get($state) ne $was;
    select undef, undef, undef, 0.02;
  }' "$dir" </dev/null >/dev/null 2>&1 &
