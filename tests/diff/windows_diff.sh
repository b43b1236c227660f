#!/bin/bash
# The Linux build and the Windows build under Wine, each on an X server of its own, start on the
# same generated data and get the same xdotool input. Wine's DirectDraw, DirectInput and GDI are
# an independent implementation of the calls our platform layer provides, so wherever the two
# screens differ outside the text and the cursor, one of the two platforms is wrong.
# Menu screens must match pixel for pixel up to the widening of 16-bit colour to 24 bits; play,
# whose enemies and stars follow a seed taken from the clock, is compared by its invariants: the
# score panel, and the ship's picture and place once held keys have pushed it into a corner.
# Every step waits for a state, never for a time: an input is held until each screen shows its
# effect, and two screens are compared only once each has stopped changing in the compared part.
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
# Leaving the information screen, the game waits for the exit sound with Escape still held, and a
# menu that then sees Escape quits. Under Wine that wait is about a quarter of the sound, 0.12 s for
# the usual one, shorter than a busy machine takes to release a key: a silent 12 s sound gives it
# 3 s. The wait never lasts past the sound and a second, which bounds a tap's effect below.
EXIT_SOUND_S=12
le32() { printf '\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)); }  # as printf escapes
{ printf "RIFF$(le32 $((36 + 22050 * EXIT_SOUND_S)))WAVEfmt "
  printf '\020\000\000\000\001\000\001\000\042\126\000\000\042\126\000\000\001\000\010\000'
  printf "data$(le32 $((22050 * EXIT_SOUND_S)))"; head -c $((22050 * EXIT_SOUND_S)) /dev/zero | tr '\0' '\200'; } \
  >"$WORK/data/sound/exit.wav"
t0=$(date +%s)
"$SRC/scripts/wine-run" --init || { echo "cannot make the Wine prefix"; exit 1; }
tp=$(date +%s)
start_x; DL=$DISPLAY; LX=$XVFB_PID
start_x; DW=$DISPLAY; WX=$XVFB_PID
XVFB_PID=""
export DISPLAY=$DL  # for lib.sh's start_game

on_l() { DISPLAY=$DL "$@"; }
on_w() { DISPLAY=$DW "$@"; }
on() { local side=$1; shift; if [ "$side" = l ]; then on_l "$@"; else on_w "$@"; fi; }
both() { on_l "$@"; on_w "$@"; }
cur_x=612 cur_y=384  # where the game's own cursor starts
move_both() {
  both xdotool mousemove_relative -- "$1" "$2"
  cur_x=$((cur_x + $1)) cur_y=$((cur_y + $2))
  [ $cur_x -gt 1024 ] && cur_x=1024
  [ $cur_y -gt 768 ] && cur_y=768
  sleep 0.5
}
shot() {  # SIDE NAME: that screen as NAME-SIDE.ppm
  on "$1" import -window root "$WORK/$2-$1.png" && convert "$WORK/$2-$1.png" "$WORK/$2-$1.ppm"
}
shots() { shot l "$1" && shot w "$1"; }
title_shown() { [ "$(convert "$1" -crop 720x100+150+130 +repage -format '%[fx:int(1000*mean)]' info:)" -gt 150 ]; }
wait_menu() {  # DISPLAY NAME: until the menu's picture is on the screen
  for _ in $(seq 1 360); do
    DISPLAY=$1 import -window root "$WORK/wait-$2.png" 2>/dev/null && title_shown "$WORK/wait-$2.png" && return 0
    sleep 0.5
  done
  return 1
}
alive() { if [ "$1" = l ]; then kill -0 "$LPID"; else kill -0 "$WPID"; fi 2>/dev/null; }
# until_side SIDE WHAT LIMIT TEST...: until TEST SIDE holds, or LIMIT seconds (then says so).
until_side() {
  local side=$1 what=$2 end=$((SECONDS + $3)); shift 3
  until "$@" "$side"; do
    if [ $SECONDS -ge $end ] || ! alive "$side"; then
      echo "      the $side screen never showed $what$(alive "$side" || echo '; its game has ended')"
      return 1
    fi
    sleep 0.2
  done
}
until_both() { until_side l "$@" && until_side w "$@"; }
# ref NAME [BMP CROP X Y]...: a black screen with those pictures' frames on it, as ref-NAME.ppm.
ref() {
  local name=$1 out=(); shift
  while [ $# -ge 4 ]; do
    out+=(\( "$WORK/data/$1" -crop "$2" +repage \) -geometry "+$3+$4" -composite)
    shift 4
  done
  convert -size 1024x768 xc:black "${out[@]}" -depth 8 -type TrueColor "ppm:$WORK/ref-$name.ppm"
}
# The overlay's and the menu's text (their glyphs are each platform's own) and the cursor, whose
# two pictures alternate on each platform's own clock.
TEXT="-x 0,0,360,82 -x 960,745,64,23"
worst_r=0 worst_g=0 worst_b=0
# same WHAT NAME framecmp-options...: the two screens match outside what is left out. They are
# compared only once each has settled: two shots of it in a row equal there. Each screen settles
# on its own, and both are looked at again when they differ (one may be on its way still). The
# Windows build under Wine may draw only a few frames a second on a busy machine, so this waits up
# to LIMIT seconds.
same() {
  local what=$1 name=$2; shift 2
  local out="" st=1 end=$((SECONDS + ${LIMIT:-180})) side
  local -A settled=([l]=0 [w]=0)
  shots "$name"
  while :; do
    sleep 0.2
    for side in l w; do
      [ "${settled[$side]}" = 1 ] && continue
      mv "$WORK/$name-$side.ppm" "$WORK/$name-$side-before.ppm"
      shot $side "$name"
      "$BIN/framecmp" "$WORK/$name-$side-before.ppm" "$WORK/$name-$side.ppm" "$@" >/dev/null && settled[$side]=1
    done
    if [ "${settled[l]}${settled[w]}" = 11 ]; then
      out=$("$BIN/framecmp" "$WORK/$name-l.ppm" "$WORK/$name-w.ppm" "$@" -o "$WORK/$name-marked.ppm")
      st=$?
      [ $st -eq 0 ] && break
      settled=([l]=0 [w]=0)
    fi
    [ $SECONDS -ge $end ] && break
  done
  if [ $st -ne 0 ]; then
    local moving=""
    for side in l w; do [ "${settled[$side]}" = 1 ] || moving="$moving $side"; done
    out="no settled pair matched in ${LIMIT:-180} s (changing at the end:${moving:- none}); last settled pair: ${out:-none}"
  fi
  echo "      $name: $out"
  local r g b
  read -r r g b <<<"$(echo "$out" | sed -n 's/.*largest difference \([0-9]*\) \([0-9]*\) \([0-9]*\).*/\1 \2 \3/p')"
  [ "${r:-0}" -gt $worst_r ] && worst_r=$r
  [ "${g:-0}" -gt $worst_g ] && worst_g=$g
  [ "${b:-0}" -gt $worst_b ] && worst_b=$b
  check "$what" test $st -eq 0
}
# shows REF MASKS SIDE: that screen shows ref-REF.ppm's pictures under the masks (text left out).
shows() { shot "$3" now && "$BIN/framecmp" "$WORK/ref-$1.ppm" "$WORK/now-$3.ppm" $TEXT $2 >/dev/null; }
# is_menu SIDE: the menu's title on that screen; left_menu SIDE: not.
is_menu() { shot "$1" now && "$BIN/framecmp" "$WORK/menu-$1.ppm" "$WORK/now-$1.ppm" -r 150,130,720,100 >/dev/null; }
left_menu() { ! is_menu "$1"; }
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
# The comparison leaves the cursor out: each screen is first seen to show it there.
cursor_there() { shot "$1" now && ! "$BIN/framecmp" "$WORK/menu-$1.ppm" "$WORK/now-$1.ppm" -r $cur_x,$cur_y,30,30 >/dev/null; }
check "the cursor moves on both" until_both "the cursor at ($cur_x, $cur_y)" 180 cursor_there
same "menu with the cursor in the open: the same picture" cursor $TEXT $(cursor)
check "the cursor shows where the same motion put it, on both" sh -c \
  "! '$BIN/framecmp' '$WORK/menu-l.ppm' '$WORK/cursor-l.ppm' -r $cur_x,$cur_y,30,30 >/dev/null &&
   ! '$BIN/framecmp' '$WORK/menu-w.ppm' '$WORK/cursor-w.ppm' -r $cur_x,$cur_y,30,30 >/dev/null"
move_both 200 175  # onto Start, at (500, 375)
start_focused() { shot "$1" now && ! "$BIN/framecmp" "$WORK/cursor-$1.ppm" "$WORK/now-$1.ppm" -r 460,355,35,40 >/dev/null; }
check "the cursor on Start focuses it on both" until_both "Start focused" 180 start_focused
same "Start focused: the same picture" focus $TEXT $(cursor)
check "Start's focused picture differs from its plain one" sh -c \
  "! '$BIN/framecmp' '$WORK/cursor-l.ppm' '$WORK/focus-l.ppm' -r 460,355,35,40 >/dev/null"
move_both 0 55  # onto Authors, at (500, 430)
both xdotool mousedown 1  # held until each screen has acted on it
check "Authors opens the information screen on both" until_both "the information screen" 180 left_menu
both xdotool mouseup 1
same "the information screen: the same picture" authors $TEXT $(cursor)
text_note authors
# Escape is seen by a frame only when held across one, and must be let go within the exit sound
# above: one xdotool run per tap. A tap that was seen shows the menu once the wait for the sound
# is over, a second after the sound at the latest; a screen that has not by then, with a wide
# margin for a busy machine, missed the tap and is sent it again (sent sooner, it would reach the
# menu, which quits on Escape).
for side in l w; do
  for _ in 1 2 3 4; do
    on $side xdotool keydown Escape sleep 0.3 keyup Escape
    until_side $side "the menu again" $((EXIT_SOUND_S + 60)) is_menu >/dev/null && break
    echo "      the $side screen missed the tap$(alive $side || echo ' and its game has ended'); again"
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
ref panel image/prochee/Sloty.bmp 204x60+0+0 0 708 image/prochee/Cifry.bmp 100x35+0+35 0 673 \
  image/prochee/Cifry.bmp 25x35+0+0 110 673
ref bank1 image/main/02.bmp 90x57+1260+0 979 711
ref ship1 image/main/02.bmp 90x57+630+0 979 711
ref ship0 image/main/01.bmp 60x60+120+0 979 708
move_both 0 -55
both xdotool mousedown 1
check "Start begins play on both" until_both "the score panel" 180 shows panel "$PANEL"
both xdotool mouseup 1
same "play: the score panel, score 0" panel $PANEL
# Each key is held until both ships show its effect, with no enemy or explosion over them.
both xdotool keydown Right Down
check "Right and Down bank the ship into the corner on both" \
  until_both "ship type 1 banked right at (979, 711)" 240 shows bank1 "-m $WORK/bank1.pgm@979,711"
same "play: ship type 1 banked right in the corner (979, 711)" bank1 $TEXT -m "$WORK/bank1.pgm@979,711"
both xdotool keyup Right Down
check "let go, the ship levels out in the corner on both" \
  until_both "ship type 1 level at (979, 711)" 240 shows ship1 "-m $WORK/ship1.pgm@979,711"
same "play: ship type 1 level again in the corner" ship1 $TEXT -m "$WORK/ship1.pgm@979,711"
both xdotool keydown s
check "S switches to ship type 0 on both" \
  until_both "ship type 0 at (979, 708)" 240 shows ship0 "-m $WORK/ship0.pgm@979,708"
both xdotool keyup s
same "play: ship type 0 after S, pulled up to (979, 708)" ship0 $TEXT -m "$WORK/ship0.pgm@979,708"
check "a check sees a ship of the wrong type" sh -c \
  "! '$BIN/framecmp' '$WORK/ship1-l.ppm' '$WORK/ship0-w.ppm' -m '$WORK/ship0.pgm@979,708' >/dev/null"
same "play: the score panel, still 0" panel $PANEL

# Tapped, not held: the Windows build posts a quit message each frame Escape is down, and its
# loop takes the quit only once no other message is waiting. A missed tap is sent again.
ended() { ! alive "$1"; }
for side in l w; do
  for _ in 1 2 3 4; do
    on $side xdotool keydown Escape sleep 0.3 keyup Escape
    until_side $side "its game's end" 30 ended >/dev/null && break
    echo "      the $side screen missed the tap; again"
  done
done
GAME_PID=$LPID; wait_game 30; st=$?; LPID=""
check "Escape ends the Linux build with status 0 (status $st)" test "$st" -eq 0
GAME_PID=$WPID; wait_game 60; st=$?; WPID=""
check "Escape ends the Windows build with status 0 (status $st)" test "$st" -eq 0
t2=$(date +%s)

echo "largest per-channel difference outside the text: $worst_r $worst_g $worst_b (of 255)"
echo "Wine prefix $((tp - t0)) s, start-up to both menus $((t1 - tp)) s, the compared run $((t2 - t1)) s"
[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
