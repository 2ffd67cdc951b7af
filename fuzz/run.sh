#!/usr/bin/env bash
# fuzz/run.sh [seconds per target] [target...]: an open-ended fuzzing campaign. Builds the
# fuzz targets with clang into build/fuzz (FUZZ_BUILD overrides) and runs each from its seed
# and regression corpora for a fixed time (default 20 s), from a random seed. Any finding
# (sanitizer report, crash, hang, runaway memory) fails the run; its input is kept as
# build/fuzz/findings/<target>-crash-... for replay:
#   build/fuzz/fuzz_<target> "$PWD"/build/fuzz/findings/<file>   (an absolute path: the
#   targets move into the game folder before reading their arguments)
# Once mended, a finding goes into fuzz/regressions/<target>/, which fuzz/check.sh replays.
# New inputs found on the way go to build/fuzz/work/<target>/, never into the seeds.
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/build.sh"
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

mkdir -p "$build/findings"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/work/$t"
  log="$build/work/$t.log"
  regressions=()
  [ -d "$here/regressions/$t" ] && regressions=("$here/regressions/$t")
  # shellcheck disable=SC2046
  "$build/fuzz_$t" -max_total_time="$seconds" $(fuzz_options "$t") \
    -print_final_stats=1 -artifact_prefix="$build/findings/$t-" \
    "$build/work/$t" "$here/corpus/$t" "${regressions[@]}" >"$log" 2>&1
  rc=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  if [ $rc -eq 0 ]; then
    echo "fuzz $t: ${runs:-?} executions in ${seconds}s, no finding"
  else
    echo "fuzz $t: FINDING (exit $rc) after ${runs:-?} executions; log: $log"
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error)" "$log" | head -5
    status=1
  fi
done
exit $status
