#!/bin/bash
# The real game as a player meets it: menu, cursor, focus, click, play, firing, ship and space
# switches, and the ways out (Escape in play, closing the window, Escape in the menu, Exit).
# Usage: play.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-e2e.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
start_x

# --- Run 1: the menu, then play, then Escape.
start_game "$WORK/data" run1
check "the game window appears" test -n "$WIN"
shot menu
check "the menu picture is shown (title bright)" gt "$(mean_of menu 720x100+150+130)" 150

a0=$(rec_size)
move -300 -200  # the cursor from (612, 384) to (312, 184)
shot moved
check "the cursor follows the mouse" gt "$(diff_px menu moved 30x30+312+184)" 40
check "nothing else of the menu changes" lt "$(diff_px menu moved 200x200+780+560)" 5
check "the game's own cursor left its old place" gt "$(diff_px menu moved 30x30+612+384)" 40
move 188 191  # onto Start, at (500, 375)
shot focused
check "hovering Start shows its focused picture" gt "$(diff_px moved focused 35x40+460+355)" 100
a1=$(rec_size)
check "the focus sound plays when the cursor comes onto Start" gt "$(rec_peak "$a0" "$a1")" 300
click
sleep 1.2
a2=$(rec_size)
shot play
check "a click plays the click sound" gt "$(rec_peak "$a1" "$a2")" 1500
check "a click on Start starts play (the menu title is gone)" gt "$(diff_px menu play 720x100+150+130)" 5000
check "the score panel is drawn at the bottom left" gt "$(mean_of play 204x60+0+708)" 20

# Ship and space switches while the ship stands still at its start.
hold_key s 0.3; sleep 0.3; shot ship0
hold_key a 0.3; sleep 0.3; shot ship1
check "A and S switch the ship" gt "$(diff_px ship0 ship1 90x57+472+680)" 400
hold_key w 0.3; sleep 0.3; shot space1
hold_key q 0.3; sleep 0.3; shot space0
read -r r1 g1 b1 <<<"$(rgb_of space1 1024x560+0+100)"
read -r r0 g0 b0 <<<"$(rgb_of space0 1024x560+0+100)"
d=$(( (r1 > r0 ? r1 - r0 : r0 - r1) + (g1 > g0 ? g1 - g0 : g0 - g1) + (b1 > b0 ? b1 - b0 : b0 - b1) ))
check "Q and W switch the space background (colour change $d)" gt "$d" 15

# Fire with left Control while sweeping the ship under the falling enemies.
shot score0
xdotool keydown Control_L
for _ in 1 2 3 4; do
  hold_key Left 0.5
  hold_key Right 1.0
  hold_key Left 0.5
done
xdotool keyup Control_L
shot score1
check "firing destroys enemies: the score digits change" gt "$(diff_px score0 score1 175x35+110+673)" 20

hold_key Escape 0.2
wait_game 5; st=$?
check "Escape in play ends the program with status 0 (status $st)" test "$st" -eq 0

# --- Run 2: closing the window.
start_game "$WORK/data" run2
"$BIN/xclose" "$WIN"
wait_game 5; st=$?
check "closing the window ends the program with status 0 (status $st)" test "$st" -eq 0

# --- Run 3: Authors, then Escape back to the menu with the exit sound.
start_game "$WORK/data" run3
shot menu3
move -112 46  # onto Authors, at (500, 430)
click
sleep 1.2
shot info
check "Authors shows the information screen" gt "$(diff_px menu3 info 720x100+150+130)" 5000
b0=$(rec_size)
hold_key Escape 0.1
sleep 1.5
b1=$(rec_size)
shot back
check "Escape on the information screen plays the exit sound" gt "$(rec_peak "$b0" "$b1")" 1500
check "and returns to the menu" lt "$(diff_px menu3 back 720x100+150+130)" 200
hold_key Escape 0.2
wait_game 5; st=$?
check "Escape in the menu ends the program with status 0 (status $st)" test "$st" -eq 0

# --- Run 4: the Exit button.
start_game "$WORK/data" run4
c0=$(rec_size)
move -112 111  # onto Exit, at (500, 495)
click
wait_game 5; st=$?
check "Exit ends the program with status 0 (status $st)" test "$st" -eq 0
check "after its click sound" gt "$(rec_peak "$c0" "$(rec_size)")" 1500

[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
