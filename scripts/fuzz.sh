#!/usr/bin/env bash
# Fuzzes the rules that read outside input: builds the libFuzzer targets
# (preset fuzz, clang, ASan and UBSan), runs each for a bounded time from its
# seeds, then replays every seed (ctest --preset
# fuzz).  Prints each target's executions and coverage.
#
#   VMT_FUZZ_SECONDS   seconds per target (default 20)
#   VMT_FUZZ_TARGETS   the targets to fuzz (default all; see tests/fuzz/)
#
# New inputs a run finds stay in build/fuzz/corpus/NAME for the next run.  An
# input that breaks a rule is saved in build/fuzz/crashes/NAME/ and fails the
# script; once the fault is mended it becomes a row of the unit tables, or a
# seed in tests/fuzz/corpus/NAME/ that ctest replays.
set -eu
cd "$(dirname "$0")/.."
seconds=${VMT_FUZZ_SECONDS:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
targets=${VMT_FUZZ_TARGETS:-$(cat build/fuzz/fuzz-targets.txt)}

failed=""
for name in $targets; do
  fuzzer=build/fuzz/tests/fuzz/fuzz_$name
  work=build/fuzz/corpus/$name
  crashes=build/fuzz/crashes/$name
  log=build/fuzz/$name.log
  mkdir -p "$work" "$crashes"
  seeds=(tests/fuzz/corpus/$name)
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$crashes/" "$work" "${seeds[@]}" >"$log" 2>&1; then
    # "#N DONE cov: EDGES ft: FEATURES corp: INPUTS/BYTES ..."
    read -r execs edges features inputs < <(sed -n \
      's/^#\([0-9]*\)[[:space:]]*DONE *cov: \([0-9]*\) ft: \([0-9]*\) corp: \([0-9]*\).*/\1 \2 \3 \4/p' "$log") || true
    printf 'fuzz %-13s %9s executions in %ss, %4s edges, %5s features, corpus %s\n' \
           "$name" "${execs:-?}" "$seconds" "${edges:-?}" "${features:-?}" "${inputs:-?}"
  else
    echo "fuzz $name FAILED: the input is in $crashes/ (log $log):" >&2
    grep -E 'invariant broken|ERROR: |runtime error|SUMMARY' "$log" | head -5 >&2 || tail -20 "$log" >&2
    echo "  replay: $fuzzer $crashes/<file>" >&2
    failed="$failed $name"
  fi
done

echo "== replay of the seeds"
ctest --preset fuzz || failed="$failed (replay)"
if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed" >&2
  exit 1
fi
