#!/bin/bash
# Replays one regression demo headless as fast as it goes and compares the hashes of its chosen
# frames and of its end state with the expectation beside it (NAME.expect). With --update it
# writes the expectation instead, after two replays agree; a new demo gets five frames chosen
# over its length.
# Usage: check.sh [--update] TARVELLIN DATA_DIR NAME.demo
set -u
update=""
[ "${1:-}" = "--update" ] && { update=1; shift; }
[ $# -eq 3 ] || { echo "usage: check.sh [--update] TARVELLIN DATA_DIR NAME.demo" >&2; exit 2; }
game=$(realpath "$1")
data=$2
demo=$(realpath "$3")
expect=${demo%.demo}.expect

# replay FRAMES: the frame lines and the end state, one per line; the timing line on stderr
replay() {
  local out
  out=$(cd "$data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$game" --timedemo "$demo" \
        ${1:+--hash-frames "$1"}) || { echo "replay failed (status $?)" >&2; return 1; }
  grep '^timedemo: ' <<<"$out" >&2
  grep '^frame ' <<<"$out"
  sed -n 's/^timedemo: .*\(end-state [0-9a-f]\{16\}\)$/\1/p' <<<"$out"
}

frames=""
[ -f "$expect" ] && frames=$(sed -n 's/^frame \([0-9]*\) .*/\1/p' "$expect" | paste -sd, -)
if [ -n "$update" ]; then
  if [ -z "$frames" ]; then
    n=$(cd "$data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$game" --timedemo "$demo" |
        sed -n 's/^timedemo: \([0-9]*\) frames.*/\1/p')
    [ -n "$n" ] || { echo "cannot replay $demo" >&2; exit 1; }
    frames="1,$((n / 4)),$((n / 2)),$((3 * n / 4)),$n"
  fi
  a=$(replay "$frames") && b=$(replay "$frames") || exit 1
  [ "$a" = "$b" ] || { echo "two replays of $demo differ: the game is not deterministic" >&2; exit 1; }
  { echo "# tarvellin --timedemo $(basename "$demo") --hash-frames $frames"; echo "$a"; } >"$expect"
  echo "wrote $expect"
  exit 0
fi

[ -f "$expect" ] || { echo "FAIL: no $expect (scripts/update-demos writes it)"; exit 1; }
got=$(replay "$frames") || exit 1
want=$(grep -v '^#' "$expect")
if [ "$got" != "$want" ]; then
  echo "FAIL: $(basename "$demo") no longer replays as it did (expected, then got):"
  diff <(echo "$want") <(echo "$got")
  echo "If the change of gameplay is deliberate, run scripts/update-demos."
  exit 1
fi
echo "ok: $(basename "$demo") replays to the expected frames and end state"
