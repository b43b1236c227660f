#!/bin/bash
# A demo recorded from real X input (xdotool) replays, twice, to the same pictures and the same
# end state as the run that recorded it.
# Usage: demo.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-e2e-demo.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
start_x
FRAMES=30,70,110,140

# run_demo NAME ARGS...: the game in the data folder, its stdout and stderr kept under NAME.
run_demo() {
  local name=$1; shift
  (cd "$WORK/data" && exec env SDL_AUDIODRIVER=dummy "$BIN/tarvellin" "$@") >"$WORK/$name.out" 2>"$WORK/$name.err" &
  GAME_PID=$!
}

run_demo rec --record "$WORK/e2e.demo" --hash-frames $FRAMES
wait_window
check "the recording run opens its window" test -n "$WIN"
sleep 1.5
move -112 -9  # onto Start
click
sleep 0.5
xdotool keydown Control_L
hold_key Left 0.6
hold_key Right 0.9
hold_key w 0.2
hold_key a 0.2
xdotool keyup Control_L
sleep 1  # margin, so that even a slow machine gets past the last chosen frame
hold_key Escape 0.2
wait_game 10; st=$?
check "the recording run ends with status 0 (status $st)" test "$st" -eq 0
check "it printed its end state" grep -q '^end-state [0-9a-f]\{16\}$' "$WORK/rec.out"
check "it lasted past the last chosen frame" grep -q '^frame 140 [0-9a-f]\{16\}$' "$WORK/rec.out"
check "the demo is a few hundred bytes ($(stat -c %s "$WORK/e2e.demo"))" lt "$(stat -c %s "$WORK/e2e.demo")" 2000

for i in 1 2; do
  run_demo "play$i" --playdemo "$WORK/e2e.demo" --hash-frames $FRAMES
  wait_game 60; st=$?
  check "replay $i ends with status 0 (status $st)" test "$st" -eq 0
  check "replay $i shows the recorded frames and ends in the recorded state" cmp -s "$WORK/rec.out" "$WORK/play$i.out"
  check "replay $i reports no difference from the recording" test ! -s "$WORK/play$i.err"
done

# Closing the window ends a recording as cleanly as Escape: the demo is whole and replays.
run_demo closed --record "$WORK/closed.demo"
wait_window
sleep 1
move -50 20
"$BIN/xclose" "$WIN"
wait_game 10; st=$?
check "closing the window ends the recording with status 0 (status $st)" test "$st" -eq 0
(cd "$WORK/data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$BIN/tarvellin" --timedemo "$WORK/closed.demo") \
  >"$WORK/closed-timed.out" 2>&1
check "the demo of a closed window replays to its end state" \
  grep -q "$(cat "$WORK/closed.out") *\$" "$WORK/closed-timed.out"

[ -n "${E2E_VERBOSE:-}" ] && { echo "work: $WORK"; cat "$WORK"/*.out; }
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
