#!/bin/bash
# Another window takes the focus in play: the game pauses (the picture stands still, the process
# sleeps), goes on when the focus comes back, and still ends when closed while paused;
# a demo recorded across the pauses replays to its end state; --no-pause-unfocused keeps it
# running. Prints the CPU use measured while paused.
# Usage: pause.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-pause.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ -n "${XM_PID:-}" ] && kill "$XM_PID" 2>/dev/null; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
start_x

open_other_window

PLAY=1024x560+0+100  # the stars, above the ship and the panels
# still: whether two screenshots a second apart show the same play area
still() { shot "$1-a"; sleep 1; shot "$1-b"; test "$(diff_px "$1-a" "$1-b" "$PLAY")" -eq 0; }
# focus WINDOW: until X reports the focus there (no window manager runs: XSetInputFocus itself)
focus() {
  for _ in $(seq 1 50); do
    xdotool windowfocus "$1" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$GAME_PID/stat"; }

# start_in_play NAME [options...]: the game, in play after a click on Start
start_in_play() {
  local name=$1; shift
  REC="$WORK/$name.raw"; LOG="$WORK/$name.log"
  (cd "$WORK/data" && exec env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$REC" "$BIN/tarvellin" "$@") >"$LOG" 2>&1 &
  GAME_PID=$!
  wait_window
  wait_drawn
  shot "$name-menu"
  focus "$WIN" || fail "$name: the game has the focus at the start"
  move -112 -9  # from the centre onto Start, at (500, 375)
  click
  for _ in $(seq 1 50); do
    shot "$name-play"
    gt "$(diff_px "$name-menu" "$name-play" 720x100+150+130)" 5000 && return 0
    sleep 0.2
  done
  fail "$name: a click on Start starts play"
}

# --- Paused, then on again, then closed while paused.
start_in_play run1 --record "$WORK/pause.demo"
check "in play the stars move" test -n "$(still playing || echo moving)"
check "another window takes the focus" focus "$OTHER"
paused=""
for _ in 1 2 3 4 5; do still paused && { paused=1; break; }; done
check "unfocused, two screenshots a second apart are identical" test -n "$paused"
t0=$(cpu_ticks); sleep 5; t1=$(cpu_ticks)
hz=$(getconf CLK_TCK)
pct=$(( (t1 - t0) * 10000 / (5 * hz) ))  # hundredths of a percent of one core
echo "CPU use while paused: $((pct / 100)).$(printf %02d $((pct % 100)))% of a core over 5 s ($((t1 - t0)) ticks of 1/$hz s)"
check "paused, the game uses under 2% of a core" lt "$pct" 200
check "the game has the focus back" focus "$WIN"
moving=""
for _ in 1 2 3 4 5; do still resumed || { moving=1; break; }; done
check "with the focus back play goes on (the stars move)" test -n "$moving"
focus "$OTHER"
for _ in 1 2 3 4 5; do still paused2 && break; done
"$BIN/xclose" "$WIN"
wait_game 5; st=$?
check "closing the window while paused ends the game with status 0 (status $st)" test "$st" -eq 0
(cd "$WORK/data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$BIN/tarvellin" --timedemo "$WORK/pause.demo") \
  >"$WORK/replay.out" 2>&1
end=$(sed -n 's/^end-state //p' "$WORK/run1.log")
check "the demo recorded across the pauses replays to its end state ($end)" \
  grep -q "end-state ${end:-none}\$" "$WORK/replay.out"

# --- Kept running unfocused.
start_in_play run2 --no-pause-unfocused
check "another window takes the focus" focus "$OTHER"
sleep 0.5
check "with --no-pause-unfocused play goes on unfocused (the stars move)" test -n "$(still unfocused || echo moving)"
"$BIN/xclose" "$WIN"
wait_game 5; st=$?
check "closing the window ends the game with status 0 (status $st)" test "$st" -eq 0

[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
