#!/usr/bin/env bash
# bench/run.sh: builds the benchmark with optimisation (into build-bench/), runs every
# measurement at 640 x 480 in software mode (dummy video driver) and in OpenGL mode (Xvfb
# with Mesa's llvmpipe), prints the table (each screen's median, frames per second and
# ratio to one full-screen picture frame of the same mode) and writes bench/results.csv.
#
#   bench/run.sh            the full run (about ten minutes)
#   BENCH_QUICK=1 bench/run.sh   fewer frames and runs, for a quick look
# Not part of ./test: a missed target is reported in the table, not as a failure.
set -euo pipefail
FIGHT_TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$FIGHT_TOP/scripts/setup.sh"
fight_install_packages test

build="${BENCH_BUILD:-$FIGHT_TOP/build-bench}"
cmake -S "$FIGHT_TOP" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFIGHT_TESTS=OFF -DFIGHT_MEDIA=ON \
  -DFIGHT_BENCH=ON >/dev/null
# The game's media are generated once into data/ (./play and ./test do it too).
if [ ! -f "$FIGHT_TOP/data/rsrc/road/stage_road.ini" ]; then
  cmake --build "$build" -j "$(nproc)" --target pictures game_sounds game_fonts
fi
cmake --build "$build" -j "$(nproc)" --target fight_bench fight_bench_report fightdemo no_pacing

if [ -n "${BENCH_QUICK:-}" ]; then
  match_frames=1500; training_frames=500; rollback_frames=500; menu_frames=500; editor_frames=500; load_runs=2; memory=0
else
  match_frames=10500; training_frames=3000; rollback_frames=3000; menu_frames=2000; editor_frames=3000; load_runs=7; memory=1
fi
# A whole match without pacing takes about a minute in software mode and several in
# OpenGL mode; one still running after this long is closed as a window close would.
export BENCH_MATCH_SECONDS="${BENCH_MATCH_SECONDS:-420}"

# Two game folders sharing the data: one per drawing mode, each with its own settings.
work="$(mktemp -d /tmp/fight-bench.XXXXXX)"
samples="$work/samples.csv"
for mode in software opengl; do
  dir="$work/$mode"
  mkdir -p "$dir/game"
  ln -s "$FIGHT_TOP/data/rsrc" "$dir/rsrc"
  ln -s "$FIGHT_TOP/data/tahoma.ttf" "$dir/tahoma.ttf"
  ln -s "$FIGHT_TOP/data/game/fighter" "$dir/game/fighter"
  hw=0; [ "$mode" = opengl ] && hw=1
  printf 'fullscreen=0\nwidth=640\nheight=480\nbpp=32\nfps=60\ndebug=0\nhwaccel=%d\n' "$hw" \
    > "$dir/game/game.ini"
  # The editor's animation: ten frames of a walk.
  {
    echo "images=10"; echo "loop=1"
    for i in 0 1 2 3 4 5 6 7 8 9; do
      echo "image$i=rsrc/tamsin/moves/tamsin_walk_forward_$((i % 8)).png"; echo "rate$i=5"
    done
  } > "$dir/game/ten_frames.ini"
done

bench="$build/fight_bench"
export SDL_AUDIODRIVER=dummy
run_once() { # mode name fight_bench-measurement arguments...
  local mode="$1" name="$2" what="$3"; shift 3
  local dir="$work/$mode"
  rm -f "$dir/$name.samples"
  if [ "$mode" = software ]; then
    (cd "$dir" && SDL_VIDEODRIVER=dummy "$bench" "$what" "$dir/$name.samples" "$@" \
      >"$name.log" 2>"$name.err")
  else
    (cd "$dir" && fight_with_xvfb "$bench" "$what" "$dir/$name.samples" "$@" \
      >"$name.log" 2>"$name.err")
  fi
}
# A run that fails (an X server that did not come up) is tried once more; only the
# samples of a run that succeeded are kept.
run() { # mode name fight_bench-measurement arguments...
  echo "  $1: $2"
  if run_once "$@" || run_once "$@"; then
    cat "$work/$1/$2.samples" >> "$samples"
  else
    echo "    failed: see $work/$1/$2.err"
  fi
}

echo "Measuring (logs in $work)"
for mode in software opengl; do
  run $mode empty empty
  run $mode match match --frames $match_frames
  run $mode rollback rollback --frames $rollback_frames
  run $mode training training --frames $training_frames
  run $mode menu menu --frames $menu_frames
  run $mode select select --frames $menu_frames
  run $mode options options --frames $menu_frames
  run $mode list list --frames $menu_frames
  if [ $mode = opengl ]; then
    run $mode editor editor --frames $editor_frames --file game/ten_frames.ini
  fi
  for i in $(seq 1 $load_runs); do run $mode "load$i" load; done
  if [ $memory = 1 ]; then
    NO_PACING_LIBRARY="$build/libno_pacing.so" BENCH_MODE=$mode \
      run $mode memory memory --file "$build/fightdemo"
    run $mode session session
  fi
done

echo
"$build/fight_bench_report" "$samples" "$FIGHT_TOP/bench/results.csv"
echo
echo "Written: bench/results.csv"
