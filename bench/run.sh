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
cmake --build "$build" -j "$(nproc)" --target fight_bench fight_bench_report fightdemo fightgame no_pacing net_relay

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
  # The replays screen lists the committed recordings.
  mkdir -p "$dir/game/replays"
  cp "$FIGHT_TOP"/tests/replays/*.ini "$dir/game/replays/"
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
  run $mode replays replays --frames $menu_frames
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

# A network match: two fightgame processes in software mode, paced as played, each playing its
# side of the committed versus recording through the relay (20 ms of jitter either way). One
# sample each of the costliest frame's work (steps, rollbacks and draw) and the frames held
# waiting, the worse of the two sides; the longest rollback; the share of frames rolled back.
net_match() { # round-trip-ms lost-percent port
  local rtt="$1" loss="$2" port="$3" label="$1 ms round trip with $2 % lost" logs=()
  echo "  software: network match, $label"
  for side in host guest; do
    local dir="$work/net-$side-$rtt"
    mkdir -p "$dir/game"
    ln -sfn "$FIGHT_TOP/data/rsrc" "$dir/rsrc"
    ln -sfn "$FIGHT_TOP/data/tahoma.ttf" "$dir/tahoma.ttf"
    ln -sfn "$FIGHT_TOP/data/game/fighter" "$dir/game/fighter"
    cp "$work/software/game/game.ini" "$dir/game/game.ini"
    logs+=("$dir/net.log")
  done
  local rec="$FIGHT_TOP/tests/replays/versus.ini"
  "$build/net_relay" $((port + 1)) "$port" "$rtt" 20 "$loss" 120 &
  local relay=$!
  (cd "$work/net-host-$rtt" && SDL_VIDEODRIVER=dummy timeout 120 "$build/fightgame" --host "$port" \
    --netkeys "$rec" >net.log 2>&1) &
  local host=$!
  sleep 1
  (cd "$work/net-guest-$rtt" && SDL_VIDEODRIVER=dummy timeout 120 "$build/fightgame" \
    --join "127.0.0.1:$((port + 1))" --netkeys "$rec" >net.log 2>&1) || true
  wait "$host" || true
  kill "$relay" 2>/dev/null || true
  wait "$relay" 2>/dev/null || true
  # "Network match over: R rollbacks, A frames stepped again, the longest L, H frames held
  # waiting, S held to keep in step, F frames, the costliest W ms"
  if ! grep -h "^Network match over:" "${logs[@]}" | sed -E 's/[^0-9. ]//g' | awk -v label="$label" '
      { r += $1; if ($3 > l) l = $3; if ($4 > h) h = $4; f += $6; if ($7 > w) w = $7; n++ }
      END {
        if (n != 2) exit 1
        printf "network match frames rolled back (%s),software,%%,%.3f\n", label, 100 * r / f
        printf "network match longest rollback (%s),software,frames,%d\n", label, l
        printf "network match frames held waiting (%s),software,frames,%d\n", label, h
        printf "network match costliest frame (%s),software,ms,%.3f\n", label, w
      }' >> "$samples"; then
    echo "    failed: see ${logs[*]}"
  fi
}
net_match 120 5 27601
net_match 200 5 27611

echo
"$build/fight_bench_report" "$samples" "$FIGHT_TOP/bench/results.csv"
echo
echo "Written: bench/results.csv"
