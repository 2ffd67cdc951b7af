# Sourced by fuzz/run.sh and fuzz/check.sh: builds the fuzz targets with clang into $build
# (FUZZ_BUILD, default build/fuzz, made absolute because the targets change folder before
# reading their arguments), sets the sanitizer and driver environment and lists the targets.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
top="$(dirname "$here")"
all_targets=(config_file anim_file fighter_file stage_file controls_file colour_swap_file png replay_file net_packet checker)
build="${FUZZ_BUILD:-$top/build/fuzz}"
mkdir -p "$build" && build="$(cd "$build" && pwd)"

CC=clang CXX=clang++ cmake -S "$here" -B "$build" >/dev/null || exit 1
if ! cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1; then
  cat "$build/build.log"; exit 1
fi

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# The options every run shares: no single input may take 10 s (FUZZ_TIMEOUT, for a campaign
# on a machine busy with other work) or 2 GB.
fuzz_options() { # target
  echo -timeout="${FUZZ_TIMEOUT:-10}" -rss_limit_mb=2048 -max_len=4096
  [ "$1" != png ] && [ "$1" != net_packet ] && echo -dict="$here/definitions.dict"
}
