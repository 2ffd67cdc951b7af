#!/usr/bin/env bash
# fuzz/check.sh [runs per target]: the deterministic fuzz step of ./test. For each target it
# first replays every committed input once (fuzz/regressions/<target>/, inputs that once found
# something, and the seed corpus fuzz/corpus/<target>/), each under the per-input time limit,
# then fuzzes for a fixed number of executions from a fixed seed, starting from those inputs
# in a fresh work folder. The counts below keep each target to about 10-30 s on two busy
# cores (the readers that load every picture of a fighter or stage manage a few executions a
# second); an argument replaces them all. The same tree gives the same result; it fails only
# on a finding, and prints the command that replays it.
set -uo pipefail
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/build.sh"
declare -A fixed_runs=([config_file]=20000 [anim_file]=2000 [fighter_file]=30 [stage_file]=20
  [controls_file]=5000 [colour_swap_file]=300 [png]=20000 [replay_file]=5000
  [net_packet]=50000 [checker]=300)
seed=15
# libFuzzer's per-input limit is wall-clock time. ./test runs this step at a low priority beside
# a busy pass, where an input that takes half a second alone can wait tens of seconds for the
# processor; a limit of minutes still catches a reader that never ends.
export FUZZ_TIMEOUT="${FUZZ_TIMEOUT:-300}"

status=0
for t in "${all_targets[@]}"; do
  runs="${1:-${fixed_runs[$t]}}"
  dirs=("$here/corpus/$t")
  [ -d "$here/regressions/$t" ] && dirs+=("$here/regressions/$t")
  inputs=()
  for d in "${dirs[@]}"; do inputs+=("$d"/*); done
  work="$build/check/$t"
  rm -rf "$work" && mkdir -p "$work/corpus" "$work/findings"
  log="$work/replay.log"
  # shellcheck disable=SC2046
  if ! "$build/fuzz_$t" $(fuzz_options "$t") -artifact_prefix="$work/findings/" "${inputs[@]}" >"$log" 2>&1; then
    echo "fuzz $t: FINDING while replaying the committed inputs; log: $log"
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error|Running: )" "$log" | tail -6
    echo "  replay: $build/fuzz_$t $(fuzz_options "$t" | tr '\n' ' ')${inputs[*]}"
    status=1
    continue
  fi
  log="$work/fuzz.log"
  # shellcheck disable=SC2046
  "$build/fuzz_$t" -seed=$seed -runs="$runs" $(fuzz_options "$t") -print_final_stats=1 \
    -artifact_prefix="$work/findings/" "$work/corpus" "${dirs[@]}" >"$log" 2>&1
  rc=$?
  if [ $rc -eq 0 ]; then
    echo "fuzz $t: ${#inputs[@]} inputs replayed, $runs executions from seed $seed, no finding ($(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1))"
  else
    echo "fuzz $t: FINDING (exit $rc) in $runs executions from seed $seed; log: $log"
    grep -E "^(==[0-9]+==ERROR|SUMMARY|.*runtime error)" "$log" | head -5
    for f in "$work/findings"/*; do
      [ -e "$f" ] && echo "  replay: $build/fuzz_$t $(fuzz_options "$t" | tr '\n' ' ')$f"
    done
    status=1
  fi
done
exit $status
