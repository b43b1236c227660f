#!/bin/bash
# The player's language: the regression demos replayed under each locale give the frames they
# always gave in Russian and with no locale, English frames under English and German locales
# (with --lang ru, Russian again), and the same end state in every language. Then the real game
# under Xvfb with an English desktop: English buttons and overlay, and Start still starts play.
# Usage: lang.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
SRC=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-lang.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
[ -f "$WORK/data/en/image/start.bmp" ] || { echo "assetgen wrote no English pictures"; exit 1; }

# replay DEMO [env...] [-- options...]: the frame hashes the demo's expectation names, and its
# end state, one per line. The locale's variables are cleared first, so only those given count.
replay() {
  local demo=$SRC/tests/demos/$1.demo envs=() opts=(); shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do envs+=("$1"); shift; done
  [ "${1:-}" = -- ] && { shift; opts=("$@"); }
  local frames
  frames=$(sed -n 's/^frame \([0-9]*\) .*/\1/p' "${demo%.demo}.expect" | paste -sd, -)
  (cd "$WORK/data" && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG SDL_VIDEODRIVER=offscreen \
    SDL_AUDIODRIVER=dummy "${envs[@]}" "$BIN/tarvellin" --timedemo "$demo" --hash-frames "$frames" "${opts[@]}") |
    sed -n 's/^\(frame .*\)/\1/p; s/^timedemo: .*\(end-state [0-9a-f]*\)$/\1/p'
}
expected() { grep -v '^#' "$SRC/tests/demos/$1.expect"; }

for demo in authors start; do
  want=$(expected $demo)
  check "$demo: with no locale the frames are today's" test "$(replay $demo)" = "$want"
  check "$demo: LANG=C gives today's frames" test "$(replay $demo LANG=C)" = "$want"
  check "$demo: LANG=ru_RU.UTF-8 gives today's frames" test "$(replay $demo LANG=ru_RU.UTF-8)" = "$want"
  en=$(replay $demo LANG=en_US.UTF-8)
  check "$demo: LANG=en_US.UTF-8 changes the frames (English texts and pictures)" test "$en" != "$want"
  check "$demo: in English it ends in the same state" test "$(tail -n 1 <<<"$en")" = "$(tail -n 1 <<<"$want")"
  check "$demo: LANG=de_DE.UTF-8 gives the English frames" test "$(replay $demo LANG=de_DE.UTF-8)" = "$en"
  check "$demo: --lang ru under an English locale gives today's frames" \
    test "$(replay $demo LANG=en_US.UTF-8 -- --lang ru)" = "$want"
  check "$demo: --lang en with no locale gives the English frames" test "$(replay $demo -- --lang en)" = "$en"
done
"$BIN/tarvellin" --lang xx >/dev/null 2>"$WORK/lang-xx.log"
st=$?
check "--lang xx exits 64 (status $st)" test "$st" -eq 64
check "and names the languages there are" grep -q "it speaks ru en" "$WORK/lang-xx.log"

# --- The real game on an English desktop, then the original for comparison.
start_x
for run in ru en; do
  if [ $run = en ]; then
    start_game "$WORK/data" $run LANG=en_US.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE=
  else
    start_game "$WORK/data" $run LANG=C LC_ALL= LC_MESSAGES= LANGUAGE=
  fi
  shot menu-$run
  [ $run = en ] && break
  hold_key Escape 0.2
  wait_game 5 >/dev/null
done
# The Start button's normal picture as the screen shows it, 16-bit colour widened by X.
for lang in en ru; do
  pic="$WORK/data/image/start.bmp"
  [ $lang = en ] && pic="$WORK/data/en/image/start.bmp"
  convert "$pic" -crop 100x30+10+10 +repage "$WORK/button-$lang.png"
done
convert "$WORK/menu-en.png" -crop 100x30+467+360 +repage "$WORK/screen-button.png"
near() { compare -metric AE -fuzz 6% "$WORK/screen-button.png" "$WORK/button-$1.png" null: 2>&1 | cut -d' ' -f1; }
check "the menu shows the English Start button ($(near en) pixels off)" lt "$(near en)" 30
check "not the Russian one ($(near ru) pixels off)" gt "$(near ru)" 300
check "the Authors and Exit buttons differ from the Russian ones" \
  gt "$(diff_px menu-ru menu-en 120x110+457+410)" 300
check "the overlay's key lines are English" gt "$(diff_px menu-ru menu-en 260x50+8+25)" 100
check "the English title picture is shown" gt "$(diff_px menu-ru menu-en 720x100+150+130)" 2000
move -112 -9  # onto Start, at (500, 375)
click
sleep 1.2
shot play-en
check "a click on Start starts play in English (the menu title is gone)" \
  gt "$(diff_px menu-en play-en 720x100+150+130)" 5000
# Where the caption's picture is keyed the screen shows space, alike for both comparisons.
convert "$WORK/play-en.png" -crop 100x35+0+673 +repage "$WORK/screen-caption.png"
caption_off() {
  convert "$1" -crop 100x35+0+35 +repage "$WORK/caption.png"
  compare -metric AE -fuzz 6% "$WORK/screen-caption.png" "$WORK/caption.png" null: 2>&1 | cut -d' ' -f1
}
en_off=$(caption_off "$WORK/data/en/image/prochee/Cifry.bmp")
ru_off=$(caption_off "$WORK/data/image/prochee/Cifry.bmp")
check "the score caption is the English one ($en_off pixels off, the Russian $ru_off)" lt "$en_off" $((ru_off - 150))
hold_key Escape 0.2
wait_game 5; st=$?
check "Escape ends the English game with status 0 (status $st)" test "$st" -eq 0

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
