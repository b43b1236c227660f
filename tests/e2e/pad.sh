#!/bin/bash
# A virtual gamepad alone plays the real game: its stick brings the cursor onto Start, its south
# button clicks, then it fires while steering until the score rises, and Back quits. The run is
# recorded, and the demo replays headless, with no pad, to the same end state.
# Usage: pad.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-e2e-pad.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'exec 5>&-; stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
start_x
mkfifo "$WORK/pad"
exec 5<>"$WORK/pad"  # held open both ways, so neither side ever blocks
pad() { echo "$*" >&5; }
# shows NAME GEOMETRY PIXELS: until a shot NAME differs from the menu's in more than PIXELS
# pixels of GEOMETRY; a starved machine may take long to show it, so the limit is a minute.
shows() {
  local t0=$SECONDS
  while (( SECONDS - t0 < 60 )); do
    shot "$1"
    gt "$(diff_px menu "$1" "$2")" "$3" && return 0
    sleep 0.2
  done
  return 1
}

printf '#!/bin/sh\nexec "%s" --record "%s"\n' "$BIN/tarvellin" "$WORK/pad.demo" >"$WORK/game.sh"
chmod +x "$WORK/game.sh"
GAME="$WORK/game.sh" start_game "$WORK/data" pad TARVELLIN_TEST_PAD="$WORK/pad"
check "the game window appears" test -n "$WIN"
pad attach
shot menu
# A slight tilt (131 px a second) held until Start's focus sound is heard, which the disk
# recording shows within a few tens of ms of the cursor entering: crossing the button's 120 px
# takes the cursor almost a second, and a game slowed down moves it less, not more (a starved
# one may take many seconds to reach it: the limit is a minute).
a0=$(rec_size)
pad axis leftx -4200
t0=$SECONDS
while (( SECONDS - t0 < 60 )) && ! gt "$(rec_peak "$a0" "$(rec_size)")" 300; do sleep 0.02; done
pad axis leftx 0
check "the stick brings the cursor onto Start (its focused picture)" shows focused 35x40+460+355 100
pad button a 1  # held until play shows: a press and release read in one pass would be lost
shows play 720x100+150+130 5000; started=$?
pad button a 0
check "the south button clicks Start: play begins" test "$started" -eq 0

# Fire with the south button and the right trigger in turn, sweeping the ship with the stick,
# until the score changes.
shot score0
scored=""
for _ in $(seq 1 10); do
  pad button a 1; pad axis leftx -32767; sleep 0.5
  pad button a 0; pad axis righttrigger 32767; pad axis leftx 32767; sleep 1.0
  pad axis righttrigger 0; pad button a 1; pad axis leftx -32767; sleep 0.5
  shot score1
  gt "$(diff_px score0 score1 175x35+110+673)" 20 && { scored=1; break; }
done
pad button a 0; pad axis leftx 0
check "firing from the pad destroys enemies: the score digits change" test -n "$scored"
pad button back 1  # held until the game has ended
wait_game 10; st=$?
check "Back in play quits with status 0 (status $st)" test "$st" -eq 0
check "the recording printed its end state" grep -q '^end-state [0-9a-f]\{16\}$' "$LOG"

# The demo, without the pad and without a display, ends where the pad's run ended.
(cd "$WORK/data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$BIN/tarvellin" --timedemo "$WORK/pad.demo") \
  >"$WORK/timed.out" 2>"$WORK/timed.err"
st=$?
check "the padless replay ends with status 0 (status $st)" test "$st" -eq 0
end=$(grep '^end-state' "$LOG")
check "in the recorded end state" grep -q "${end:-no end state} *\$" "$WORK/timed.out"

[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
