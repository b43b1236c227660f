#!/bin/bash
# The real game under bad conditions: no display, no audio device, an empty data folder, corrupt
# pictures and sounds. Each run must end cleanly: status 1 with a message where it cannot run,
# status 0 after Escape where it can.
# Usage: faults.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-faults.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }

# No display at all: a clear message and status 1, at once.
(cd "$WORK/data" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= timeout 20 "$BIN/tarvellin") >"$WORK/nodisplay.log" 2>&1
st=$?
check "without a display the program stops with status 1 (status $st)" test "$st" -eq 1
check "and says why on stderr" grep -q "tarvellin: cannot" "$WORK/nodisplay.log"

start_x
no_reports() { ! grep -qE "AddressSanitizer|LeakSanitizer|runtime error|Segmentation" "$LOG"; }

# No audio device: the game runs silently and a click on Start does not wait for its sound.
start_game "$WORK/data" noaudio SDL_AUDIODRIVER=no-such-driver
shot na-menu
move -112 -9  # onto Start, at (500, 375)
click
sleep 0.6
shot na-play
check "without audio the menu still works and Start plays at once" gt "$(diff_px na-menu na-play 720x100+150+130)" 5000
hold_key Escape 0.2
wait_game 5; st=$?
check "without audio Escape ends the program with status 0 (status $st)" test "$st" -eq 0
check "and says so in one line" test "$(grep -c . "$LOG")" -eq 1 -a "$(grep -c 'no sound device' "$LOG")" -eq 1

# An empty data folder (image/ and sound/ with nothing in them): it runs, draws what it can (the
# overlay), and quits with Escape. A folder without even those is refused: see cli.sh.
mkdir -p "$WORK/empty/image" "$WORK/empty/sound"
NO_MENU=1 start_game "$WORK/empty" empty SDL_AUDIODRIVER=alsa  # ALSA on a machine without sound says a lot
shot empty
check "with no pictures the frame still shows the overlay text" gt "$(mean_of empty 300x70+0+0)" 5
hold_key Escape 0.2
wait_game 5; st=$?
check "with an empty data folder Escape ends the program with status 0 (status $st)" test "$st" -eq 0
check "the sound device's start-up prints at most one line" test "$(grep -c . "$LOG")" -le 1
no_reports && pass "no sanitizer report with an empty folder" || fail "sanitizer report with an empty folder"

# Corrupt files: truncated, wrong sizes, not BMP or WAV at all.
cp -r "$WORK/data" "$WORK/bad"
head -c 100 "$WORK/data/image/screen_menu.bmp" >"$WORK/bad/image/screen_menu.bmp"
head -c 5000 "$WORK/data/image/prochee/blow.bmp" >"$WORK/bad/image/prochee/blow.bmp"
cp "$WORK/data/image/cursor.bmp" "$WORK/bad/image/prochee/fon_back01.bmp"          # far too small
cp "$WORK/data/image/prochee/fon_back02.bmp" "$WORK/bad/image/vragi/small1.bmp"    # far too large
echo "this is not a picture" >"$WORK/bad/image/main/01.bmp"
head -c 30 "$WORK/data/image/start.bmp" >"$WORK/bad/image/start.bmp"
head -c 60 "$WORK/data/sound/click.wav" >"$WORK/bad/sound/click.wav"
echo "RIFF nonsense" >"$WORK/bad/sound/focus.wav"
head -c 44 /dev/urandom >>"$WORK/bad/sound/exit.wav"
NO_MENU=1 start_game "$WORK/bad" corrupt
check "with corrupt files the game starts" test -n "$WIN"
move -112 -9
click
sleep 0.8
hold_key Control_L 1.0
shot corrupt-play
hold_key Escape 0.2
wait_game 5; st=$?
check "with corrupt files Escape ends the program with status 0 (status $st)" test "$st" -eq 0
no_reports && pass "no sanitizer report with corrupt files" || fail "sanitizer report with corrupt files"

[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
