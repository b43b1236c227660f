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

printf '#!/bin/sh\nexec "%s" --record "%s"\n' "$BIN/tarvellin" "$WORK/pad.demo" >"$WORK/game.sh"
chmod +x "$WORK/game.sh"
GAME="$WORK/game.sh" start_game "$WORK/data" pad TARVELLIN_TEST_PAD="$WORK/pad"
check "the game window appears" test -n "$WIN"
pad attach
sleep 0.3
shot menu
pad axis leftx -8192  # a quarter tilt, 256 px a second: from (612, 384) about 95 px left, onto Start
sleep 0.37
pad axis leftx 0
sleep 0.3
shot focused
check "the stick brings the cursor onto Start (its focused picture)" gt "$(diff_px menu focused 35x40+460+355)" 100
pad button a 1; sleep 0.2; pad button a 0
sleep 1.2
shot play
check "the south button clicks Start: play begins" gt "$(diff_px menu play 720x100+150+130)" 5000

# Fire with the south button and the right trigger in turn, sweeping the ship with the stick.
shot score0
for _ in 1 2 3 4; do
  pad button a 1; pad axis leftx -32767; sleep 0.5
  pad button a 0; pad axis righttrigger 32767; pad axis leftx 32767; sleep 1.0
  pad axis righttrigger 0; pad button a 1; pad axis leftx -32767; sleep 0.5
done
pad button a 0; pad axis leftx 0
shot score1
check "firing from the pad destroys enemies: the score digits change" gt "$(diff_px score0 score1 175x35+110+673)" 20
pad button back 1; sleep 0.2; pad button back 0
wait_game 5; st=$?
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
