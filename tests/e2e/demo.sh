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

# run_demo NAME ARGS...: the game in the data folder (under $WRAP when set), its stdout and
# stderr kept under NAME. SIGINT as a terminal leaves it, not ignored as in a background job.
run_demo() {
  local name=$1; shift
  (cd "$WORK/data" && exec env --default-signal=INT SDL_AUDIODRIVER=dummy ${WRAP:-} "$BIN/tarvellin" "$@") \
    >"$WORK/$name.out" 2>"$WORK/$name.err" &
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

# Closing the window, SIGTERM, SIGINT and SIGHUP end a recording as cleanly as Escape: the demo
# is whole and replays to its end state. Killed outright, it replays up to its last pass.
for how in close TERM INT HUP KILL; do
  run_demo "$how" --record "$WORK/$how.demo"
  wait_window
  sleep 1
  move -50 20
  if [ $how = close ]; then "$BIN/xclose" "$WIN"; else kill -$how "$GAME_PID"; fi
  wait_game 10 2>/dev/null; st=$?
  (cd "$WORK/data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$BIN/tarvellin" --timedemo "$WORK/$how.demo") \
    >"$WORK/$how-timed.out" 2>"$WORK/$how-timed.err"
  st2=$?
  if [ $how = KILL ]; then
    check "a killed recording replays, cut off (status $st2: $(cat "$WORK/$how-timed.err"))" \
      grep -q "cut off after [0-9]* passes" "$WORK/$how-timed.err"
  else
    check "$how ends the recording with status 0 (status $st)" test "$st" -eq 0
    check "the demo it ended replays to its end state" grep -q "$(cat "$WORK/$how.out") *\$" "$WORK/$how-timed.out"
  fi
  check "its replay ends with status 0 (status $st2)" test "$st2" -eq 0
done

# Killed after ten seconds standing still, a recording has lost at most its last second: every
# pass the game had run a second before the kill replays. Killed between two whole runs of 128
# passes (at about 320), a recording that kept only whole runs would keep 257.
run_demo still --record "$WORK/still.demo" --hash-frames 290,600
for _ in $(seq 1 600); do grep -q "^frame 290 " "$WORK/still.out" && break; sleep 0.1; done
before=$(sed -n 's/^frame \([0-9]*\) .*/\1/p' "$WORK/still.out" | tail -n 1)
sleep 1
kill -KILL "$GAME_PID"
wait_game 10 2>/dev/null
(cd "$WORK/data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$BIN/tarvellin" --timedemo "$WORK/still.demo") \
  >"$WORK/still-timed.out" 2>"$WORK/still-timed.err"
kept=$(sed -n 's/.*cut off after \([0-9]*\) passes.*/\1/p' "$WORK/still-timed.err")
check "killed, it keeps the passes of up to a second before (${kept:-none}, ${before:-none} a second before; $(awk "BEGIN {printf \"%.1f\", ${kept:-0} * 0.03}") s of 30 ms frames)" \
  test "${kept:-0}" -ge "${before:-1}"

# Handed over after a regression demo, --low-cpu sleeps through each frame's wait on the game's
# clock: ten seconds use a few percent of a core, and no frame starts sooner than 30 ms after
# the last.
SRC=$(cd "$(dirname "$0")/../.." && pwd)
WRAP="strace -f -qq -e trace=clock_nanosleep -e signal=none -o $WORK/cont.trace"
command -v strace >/dev/null || WRAP=""
run_demo cont --playdemo "$SRC/tests/demos/start.demo" --playdemo-continue --low-cpu
WRAP=""
for _ in $(seq 1 300); do grep -q "the game is yours" "$WORK/cont.err" && break; sleep 0.1; done
game=$(pgrep -P "$GAME_PID" -x tarvellin || echo "$GAME_PID")
cpu() { awk '{print $14 + $15}' "/proc/$game/stat"; }
c0=$(cpu); sleep 10; c1=$(cpu)
percent=$(( (c1 - c0) * 100 / $(getconf CLK_TCK) / 10 ))
kill -TERM "$game"
wait_game 10
check "after the hand-over the game uses a few percent of a core ($percent%)" lt "$percent" 10
if [ -s "$WORK/cont.trace" ]; then
  # The frame waits' deadlines, in ms: one per frame (a wait resumed after a signal repeats its
  # own), each the frame delay after the last; a loaded machine may make a few frames late.
  grep -o 'TIMER_ABSTIME, {tv_sec=[0-9]*, tv_nsec=[0-9]*' "$WORK/cont.trace" |
    sed 's/.*tv_sec=\([0-9]*\), tv_nsec=\([0-9]*\)/\1 \2/' |
    awk '{t = $1 * 1000 + int($2 / 1000000); if (NR > 1 && t != p) print t - p; p = t}' | sort -n | uniq -c \
    >"$WORK/cont.frames"
  # A busy machine wakes the game late now and then, which only makes that frame longer.
  frames=$(awk '{n += $1} END {print n + 0}' "$WORK/cont.frames")
  check "a timed frame wait for each frame after the hand-over ($(tr -s ' \n' ' ' <"$WORK/cont.frames"))" \
    gt "$frames" 200
  check "and none shorter" test "$(awk '$2 < 30' "$WORK/cont.frames")" = ""
else
  echo "note: no strace here, the frames' length is not measured"
fi

[ -n "${E2E_VERBOSE:-}" ] && { echo "work: $WORK"; cat "$WORK"/*.out; }
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
