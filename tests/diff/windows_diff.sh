#!/bin/bash
# The Linux build and the Windows build under Wine, each on an X server of its own, start on the
# same generated data and get the same xdotool input. Wine's DirectDraw, DirectInput and GDI are
# an independent implementation of the calls our platform layer provides, so wherever the two
# screens differ outside the text and the cursor, one of the two platforms is wrong.
# Menu screens must match pixel for pixel up to the widening of 16-bit colour to 24 bits; play,
# whose enemies and stars follow a seed taken from the clock, is compared by its invariants: the
# score panel, and the ship's picture and place once held keys have pushed it into a corner.
# Usage: windows_diff.sh BUILD_DIR WINDOWS_EXE
set -u
BIN=$(cd "$1" && pwd)
EXE=$2
SRC=$(cd "$(dirname "$0")/../.." && pwd)
[ -f "$EXE" ] || { echo "no Windows build at $EXE (make windows makes it)"; exit 77; }
EXE=$(cd "$(dirname "$EXE")" && pwd)/$(basename "$EXE")
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-windiff.XXXXXX")
. "$SRC/tests/e2e/lib.sh"
LX="" WX="" LPID="" WPID=""
cleanup() {
  [ -n "$WPID" ] && kill "$WPID" 2>/dev/null
  "$SRC/scripts/wine-run" --stop
  [ -n "$LPID" ] && kill "$LPID" 2>/dev/null
  for p in $LX $WX; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"
}
trap cleanup EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
t0=$(date +%s)
"$SRC/scripts/wine-run" --init || { echo "cannot make the Wine prefix"; exit 1; }
tp=$(date +%s)
start_x; DL=$DISPLAY; LX=$XVFB_PID
start_x; DW=$DISPLAY; WX=$XVFB_PID
XVFB_PID=""
export DISPLAY=$DL  # for lib.sh's start_game

on_l() { DISPLAY=$DL "$@"; }
on_w() { DISPLAY=$DW "$@"; }
both() { on_l "$@"; on_w "$@"; }
# The same held key or button on both screens for the same time: the games read levels once a frame.
hold_both() { both xdotool keydown "$1"; sleep "${2:-0.3}"; both xdotool keyup "$1"; }
click_both() { both xdotool mousedown 1; sleep 0.25; both xdotool mouseup 1; }
cur_x=612 cur_y=384  # where the game's own cursor starts
move_both() {
  both xdotool mousemove_relative -- "$1" "$2"
  cur_x=$((cur_x + $1)) cur_y=$((cur_y + $2))
  [ $cur_x -gt 1024 ] && cur_x=1024
  [ $cur_y -gt 768 ] && cur_y=768
  sleep 0.5
}
shots() {  # both screens, as NAME-l.ppm and NAME-w.ppm
  on_l import -window root "$WORK/$1-l.png" && on_w import -window root "$WORK/$1-w.png" &&
    convert "$WORK/$1-l.png" "$WORK/$1-l.ppm" && convert "$WORK/$1-w.png" "$WORK/$1-w.ppm"
}
title_shown() { [ "$(convert "$1" -crop 720x100+150+130 +repage -format '%[fx:int(1000*mean)]' info:)" -gt 150 ]; }
wait_menu() {  # DISPLAY NAME: until the menu's picture is on the screen
  for _ in $(seq 1 120); do
    DISPLAY=$1 import -window root "$WORK/wait-$2.png" 2>/dev/null && title_shown "$WORK/wait-$2.png" && return 0
    sleep 0.5
  done
  return 1
}

# The overlay's and the menu's text (their glyphs are each platform's own) and the cursor, whose
# two pictures alternate on each platform's own clock.
TEXT="-x 0,0,360,82 -x 960,745,64,23"
worst_r=0 worst_g=0 worst_b=0
# same WHAT NAME framecmp-options...: the two screens match outside what is left out. The Windows
# build under Wine may draw only a few frames a second on a busy machine, so both are looked at
# again for a while until they match.
same() {
  local what=$1 name=$2; shift 2
  local out st try
  for try in $(seq 1 "${TRIES:-12}"); do
    shots "$name"
    out=$("$BIN/framecmp" "$WORK/$name-l.ppm" "$WORK/$name-w.ppm" "$@" -o "$WORK/$name-marked.ppm")
    st=$?
    [ $st -eq 0 ] && break
    sleep 0.5
  done
  echo "      $name: $out"
  local r g b
  read -r r g b <<<"$(echo "$out" | sed -n 's/.*largest difference \([0-9]*\) \([0-9]*\) \([0-9]*\).*/\1 \2 \3/p')"
  [ "${r:-0}" -gt $worst_r ] && worst_r=$r
  [ "${g:-0}" -gt $worst_g ] && worst_g=$g
  [ "${b:-0}" -gt $worst_b ] && worst_b=$b
  check "$what" test $st -eq 0
}
cursor() { echo "-x $cur_x,$cur_y,30,30"; }
text_note() {  # how much of the text differs, for the record only
  echo "      $1 with the text: $("$BIN/framecmp" "$WORK/$1-l.ppm" "$WORK/$1-w.ppm" $(cursor))"
}

# Wine's first mouse read reports the pointer's absolute place as motion, which throws its cursor
# into the bottom right corner. Both cursors are sent there first, where they stop, and are
# steered together from that corner on.
both xdotool mousemove 512 384
start_game "$WORK/data" linux SDL_AUDIODRIVER=dummy
LPID=$GAME_PID
(cd "$WORK/data" && DISPLAY=$DW exec "$SRC/scripts/wine-run" "$EXE") >"$WORK/wine.log" 2>&1 &
WPID=$!
check "the Linux build shows its menu" wait_menu "$DL" l
check "the Windows build shows its menu under Wine" wait_menu "$DW" w
t1=$(date +%s)
move_both 450 400

# --- The menu, the cursor, a focused button, Authors, back.
same "menu: the same picture" menu $TEXT $(cursor)
text_note menu
move_both -724 -568  # the cursor to (300, 200)
same "menu with the cursor in the open: the same picture" cursor $TEXT $(cursor)
check "the cursor shows where the same motion put it, on both" sh -c \
  "! '$BIN/framecmp' '$WORK/menu-l.ppm' '$WORK/cursor-l.ppm' -r $cur_x,$cur_y,30,30 >/dev/null &&
   ! '$BIN/framecmp' '$WORK/menu-w.ppm' '$WORK/cursor-w.ppm' -r $cur_x,$cur_y,30,30 >/dev/null"
move_both 200 175  # onto Start, at (500, 375)
same "Start focused: the same picture" focus $TEXT $(cursor)
check "Start's focused picture differs from its plain one" sh -c \
  "! '$BIN/framecmp' '$WORK/cursor-l.ppm' '$WORK/focus-l.ppm' -r 460,355,35,40 >/dev/null"
move_both 0 55  # onto Authors, at (500, 430)
click_both
same "the information screen: the same picture" authors $TEXT $(cursor)
text_note authors
# Escape as a short tap: under Wine with the null sound output the exit sound, which the game
# waits for, ends after about a quarter of its length, and a menu that comes back while Escape is
# still held quits. A tap too short for a frame to see is sent again to that screen alone.
hold_both Escape 0.05
sleep 1.5
for side in l w; do
  for _ in 1 2 3 4; do
    DISPLAY=$([ $side = l ] && echo "$DL" || echo "$DW") import -window root "$WORK/left.png"
    convert "$WORK/left.png" "$WORK/left.ppm"
    "$BIN/framecmp" "$WORK/left.ppm" "$WORK/authors-$side.ppm" $TEXT $(cursor) >/dev/null || break
    echo "      the $side screen missed the tap; again"
    DISPLAY=$([ $side = l ] && echo "$DL" || echo "$DW") xdotool keydown Escape sleep 0.05 keyup Escape
    sleep 1.5
  done
done
same "back in the menu: the same picture" back $TEXT $(cursor)
check "and it is the menu again" sh -c \
  "'$BIN/framecmp' '$WORK/back-l.ppm' '$WORK/menu-l.ppm' -r 150,130,720,100 >/dev/null"

# --- Play: Start; the score panel; the ship pushed into the bottom right corner, banked, then
# level; the other ship type there.
sprite_mask() {  # BMP GEOMETRY NAME: the pixels of a picture's frame that are not the magenta key
  convert "$WORK/data/$1" -crop "$2" +repage \
    -fx '(r >= 248/255 && g < 4/255 && b >= 248/255) ? 0 : 1' -depth 8 "pgm:$WORK/$3.pgm"
}
sprite_mask image/main/02.bmp 90x57+1260+0 bank1  # ship type 1, banked right (frame 14)
sprite_mask image/main/02.bmp 90x57+630+0 ship1   # ship type 1, level (frame 7)
sprite_mask image/main/01.bmp 60x60+120+0 ship0   # ship type 0, level (frame 2)
sprite_mask image/prochee/Sloty.bmp 204x60+0+0 slots
sprite_mask image/prochee/Cifry.bmp 100x35+0+35 caption
sprite_mask image/prochee/Cifry.bmp 25x35+0+0 zero
PANEL="-m $WORK/slots.pgm@0,708 -m $WORK/caption.pgm@0,673 -m $WORK/zero.pgm@110,673"
move_both 0 -55
click_both
same "play: the score panel, score 0" panel $PANEL
# Enemies and explosions pass over the ship now and then: same() looks again until they are gone.
both xdotool keydown Right Down
TRIES=40 same "play: ship type 1 banked right in the corner (979, 711)" bank1 $TEXT -m "$WORK/bank1.pgm@979,711"
both xdotool keyup Right Down
TRIES=20 same "play: ship type 1 level again in the corner" ship1 $TEXT -m "$WORK/ship1.pgm@979,711"
hold_both s
TRIES=20 same "play: ship type 0 after S, pulled up to (979, 708)" ship0 $TEXT -m "$WORK/ship0.pgm@979,708"
check "a check sees a ship of the wrong type" sh -c \
  "! '$BIN/framecmp' '$WORK/ship1-l.ppm' '$WORK/ship0-w.ppm' -m '$WORK/ship0.pgm@979,708' >/dev/null"
same "play: the score panel, still 0" panel $PANEL

hold_both Escape
GAME_PID=$LPID; wait_game 10; st=$?; LPID=""
check "Escape ends the Linux build with status 0 (status $st)" test "$st" -eq 0
GAME_PID=$WPID; wait_game 20; st=$?; WPID=""
check "Escape ends the Windows build with status 0 (status $st)" test "$st" -eq 0
t2=$(date +%s)

echo "largest per-channel difference outside the text: $worst_r $worst_g $worst_b (of 255)"
echo "Wine prefix $((tp - t0)) s, start-up to both menus $((t1 - tp)) s, the compared run $((t2 - t1)) s"
[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
