#!/usr/bin/env bash
# fuzz/run.sh [seconds per target] [target...]: builds the fuzz targets with clang into
# build/fuzz (FUZZ_BUILD overrides) and runs each from its seed corpus in fuzz/corpus/ for a
# fixed time (default 20 s). Any finding (sanitizer report, crash, hang, runaway memory)
# fails the run; its input is kept as build/fuzz/findings/<target>-crash-... for replay:
#   build/fuzz/fuzz_<target> "$PWD"/build/fuzz/findings/<file>   (an absolute path: the
#   targets move into the game folder before reading their arguments)
# New inputs found on the way go to build/fuzz/work/<target>/, never into the seeds.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(dirname "$here")"
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(config_file anim_file fighter_file stage_file controls_file colour_swap_file png replay_file)
build="${FUZZ_BUILD:-$top/build/fuzz}"
# Absolute, for the same reason.
mkdir -p "$build" && build="$(cd "$build" && pwd)"

CC=clang CXX=clang++ cmake -S "$here" -B "$build" >/dev/null || exit 1
if ! cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1; then
  cat "$build/build.log"; exit 1
fi

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
mkdir -p "$build/findings"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$build/work/$t"
  log="$build/work/$t.log"
  dict=()
  [ "$t" != png ] && dict=(-dict="$here/definitions.dict")
  "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 "${dict[@]}" \
    -print_final_stats=1 -artifact_prefix="$build/findings/$t-" \
    "$build/work/$t" "$here/corpus/$t" >"$log" 2>&1
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
