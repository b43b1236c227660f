#!/bin/bash
# The command line and the start-up checks, before any window: help, version, usage errors
# (status 64), no data folder (66, naming every folder tried), the configuration file. DISPLAY
# is unset, so a run that gets past the checks stops at the display with status 1. Then the demo
# options, on the real program headless: refusals with their statuses, a failing disk, a demo
# named from where the game started, one cut off by a crash, and one handed over to the player.
# Usage: cli.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-cli.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap '[ "$failures" -eq 0 ] && rm -rf "$WORK"' EXIT
mkdir -p "$WORK/nowhere" "$WORK/home" "$WORK/conf/tarvellin" "$WORK/data/sound"

run() {  # run NAME args...: from an empty folder, with nothing to find and no display
  local name=$1; shift
  (cd "$WORK/nowhere" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= HOME="$WORK/home" \
    XDG_CONFIG_HOME="$WORK/conf" XDG_DATA_HOME="$WORK/home/share" XDG_DATA_DIRS="$WORK/sys" \
    timeout 20 "$BIN/tarvellin" "$@") >"$WORK/$name.out" 2>"$WORK/$name.err"
}

run help --help; st=$?
check "--help ends with status 0 ($st)" test "$st" -eq 0
for opt in --data --window --fullscreen --scale --integer-scale --smooth --nosound --low-cpu --pause-unfocused --no-pause-unfocused --volume --screenshot-dir --version; do
  grep -q -- "^  $opt\b" "$WORK/help.out" || fail "--help lists $opt"
done
for key in F10 F11 F12; do grep -q "^  $key " "$WORK/help.out" || fail "--help lists the $key key"; done
# The man page documents every option --help lists, and every exit status the game gives.
MAN=$(cd "$(dirname "$0")/../.." && pwd)/dist/tarvellin.6
for opt in $(sed -n 's/^  \(--[a-z-]*\).*/\1/p' "$WORK/help.out"); do
  grep -qF -- "$(sed 's/-/\\-/g' <<<"$opt")" "$MAN" || fail "the man page documents $opt"
done
for st in 0 1 64 65 66 73; do
  sed -n '/^\.SH EXIT STATUS/,/^\.SH/p' "$MAN" | grep -qx "\.B $st" || fail "the man page gives exit status $st"
done
run version --version; st=$?
check "--version prints the version, status 0 ($st)" grep -qx "tarvellin [0-9.]*" "$WORK/version.out"
for bad in "--bogus" "--scale 0" "--data" "--volume 101"; do
  run bad $bad; st=$?
  check "'$bad' is a usage error with status 64 ($st)" test "$st" -eq 64
  grep -q "^Usage: tarvellin" "$WORK/bad.err" || fail "'$bad' prints the usage on stderr"
done

run nodata; st=$?
check "with no data anywhere the status is 66 ($st)" test "$st" -eq 66
for d in "$WORK/nowhere" "$BIN" "$(dirname "$BIN")/share/tarvellin" "$WORK/home/share/tarvellin" "$WORK/sys/tarvellin"; do
  grep -qxF "  $d" "$WORK/nodata.err" || fail "the message names $d"
done
check "and says how to get data" grep -q "tarvellin-assetgen DIR" "$WORK/nodata.err"

printf 'bogus 1\ndata ~/../data # from the home folder\nx\0y\n' >"$WORK/conf/tarvellin/tarvellin.conf"
run conf; st=$?
check "the config file's data folder is used, ~ expanded: the run reaches the display ($st)" test "$st" -eq 1
check "a bad config line is reported with its number" grep -q "tarvellin.conf:1: 'bogus' unknown option" "$WORK/conf.err"
check "so is a NUL byte" grep -q "tarvellin.conf:3: holds a NUL byte" "$WORK/conf.err"
run confcli --data "$WORK/home"; st=$?
check "the command line's --data wins, and a folder without image/ or sound/ gives 66 ($st)" test "$st" -eq 66

# demo NAME args...: the game headless from $WORK on generated data, with no configuration;
# in the background with demo_bg (GAME_PID), ended by end_game (st: its status).
"$BIN/tarvellin-assetgen" "$WORK/game" >/dev/null || fail "tarvellin-assetgen"
SRC=$(cd "$(dirname "$0")/../.." && pwd)
SEEDS=$SRC/fuzz/seeds/demo
demo_bg() {
  local name=$1; shift
  (cd "$WORK" && exec env HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home" SDL_VIDEODRIVER=offscreen \
    SDL_AUDIODRIVER=dummy "$BIN/tarvellin" --data "$WORK/game" "$@") >"$WORK/$name.out" 2>"$WORK/$name.err" &
  GAME_PID=$!
}
demo() { demo_bg "$@"; wait_game 60; }
end_game() { kill -0 "$GAME_PID" && kill -TERM "$GAME_PID"; wait_game 10; st=$?; }
for bad in "--record a --playdemo b" "--playdemo-continue" "--hash-frames 3,x" "--playdemo"; do
  demo bad $bad; st=$?
  check "'$bad' is a usage error with status 64 ($st)" test "$st" -eq 64
done
demo trunc --playdemo "$SEEDS/trunc_header.demo"; st=$?
demo state --playdemo "$SEEDS/opens_in_play.demo"; st=$st,$?
check "demos cut in their header or opening in another state are refused with 65 ($st)" test "$st" = 65,65
check "saying why" grep -q "not a usable demo: truncated" "$WORK/trunc.err"
check "each" grep -q "opens in state 12" "$WORK/state.err"
printf 'TRVLDEMO\001\000\0031.0\0\0\0\0\012\0\0\0\036\0\0\0' >"$WORK/head.bin"
for keys in '\002\001\036\200\036\000' '\002\001\037\200\036\200'; do  # one key twice; two out of order
  { cat "$WORK/head.bin"; printf "$keys"'\100\0\0\0\0\0\0\0\0\0\0\0\0'; } >"$WORK/keys.demo"
  demo keys --playdemo "$WORK/keys.demo"; st=$?
  check "a pass listing a key twice or out of order is refused with 65 ($st)" test "$st" -eq 65
  check "saying why" grep -q "key changes out of order at byte 26" "$WORK/keys.err"
done
demo missing --timedemo "$WORK/none.demo"; st=$?
check "a missing demo gives status 66 ($st)" test "$st" -eq 66
demo nodir --record "$WORK/no/such/x.demo"; st=$?
check "a demo that cannot be created gives status 73 ($st)" test "$st" -eq 73

if [ -w /dev/full ]; then
  demo_bg full --record /dev/full
  sleep 1.5; end_game
  check "a disk that fills stops the recording, not the game (status $st)" test "$st" -eq 0
  check "it says so once" test "$(grep -c "cannot write the demo" "$WORK/full.err")" -eq 1
  check "the game ran on to its end state" grep -q "^end-state " "$WORK/full.out"
fi

# An old demo stays as it was through a start that fails before the first frame (no data, no
# display); once recording starts, the file under its name is the new demo at every moment.
printf 'an old demo' >"$WORK/old.demo"
(cd "$WORK" && env SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=offscreen "$BIN/tarvellin" --data "$WORK/nowhere" \
  --record old.demo) >/dev/null 2>&1; st=$?
(cd "$WORK" && env SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=no-such-driver "$BIN/tarvellin" --data "$WORK/game" \
  --record old.demo) >/dev/null 2>&1; st=$st,$?
check "a recording whose game cannot start (status $st) leaves the old demo as it was" \
  test "$st" = 66,1 -a "$(cat "$WORK/old.demo")" = "an old demo"
check "and no file beside it" test -z "$(ls -A "$WORK" | grep old.demo | grep -vx old.demo)"
demo_bg new --record old.demo
for _ in $(seq 1 300); do [ "$(head -c 8 "$WORK/old.demo")" = TRVLDEMO ] && break; sleep 0.1; done
cp "$WORK/old.demo" "$WORK/new-early.demo"
end_game
demo early --timedemo "$WORK/new-early.demo"; st2=$?
check "at its first pass the new demo takes the name, readable at once (status $st2)" test "$st2" -eq 0
demo whole_new --timedemo "$WORK/old.demo"
check "the whole one replays to its end state (status $st)" grep -q "$(cat "$WORK/new.out") *\$" "$WORK/whole_new.out"
check "and no temporary file is left" test -z "$(ls -A "$WORK" | grep old.demo | grep -vx old.demo)"

demo_bg rec --record rel.demo
sleep 1.5; end_game
check "a relative demo path is taken from where the game started (status $st)" test -s "$WORK/rel.demo" -a ! -e "$WORK/game/rel.demo"
demo timed --timedemo rel.demo
check "its timedemo ends in the recorded state" grep -q "frames in .*$(cat "$WORK/rec.out") *\$" "$WORK/timed.out"
check "and reports no difference" test ! -s "$WORK/timed.err"

# Cut as a crash leaves it: the frames it holds whole replay as in the whole demo; with only the
# end record lost, it ends in the whole demo's state.
fire=$SRC/tests/demos/fire.demo
for n in 60 100 $(( $(stat -c %s "$fire") - 13 )); do
  head -c "$n" "$fire" >"$WORK/cut.demo"
  demo cut --timedemo "$WORK/cut.demo"; st=$?
  passes=$(sed -n 's/.*cut off after \([0-9]*\) passes.*/\1/p' "$WORK/cut.err")
  check "fire.demo cut at $n bytes replays cut off (status $st, ${passes:-no} passes)" test "$st" -eq 0 -a -n "$passes"
  played=$(sed -n 's/^timedemo: \([0-9]*\) frames.*/\1/p' "$WORK/cut.out")
  demo cut --timedemo "$WORK/cut.demo" --hash-frames "$played"
  demo whole --timedemo "$fire" --hash-frames "$played"
  check "its frame $played is the whole demo's" test "$(grep "^frame $played " "$WORK/cut.out")" = "$(grep "^frame $played " "$WORK/whole.out")"
done
check "cut after its last frame it ends in the recorded state" grep -q "$(sed -n 's/^end-state //p' "$SRC/tests/demos/fire.expect")" "$WORK/cut.out"
# Its last pass is the one that quits: it says the whole demo's passes and plays every one.
whole=$(sed -n 's/^timedemo: \([0-9]*\) frames.*/\1/p' "$WORK/whole.out")
check "cut exactly at its end record it plays as many passes as it says ($passes: $played frames and the quit)" \
  test "$passes" -eq $((whole + 1)) -a "$played" -eq "$whole"

# Handed over at the end of a demo that quits: the game goes on until the player quits.
demo_bg cont --playdemo "$SRC/tests/demos/start.demo" --playdemo-continue
for _ in $(seq 1 200); do grep -q "the game is yours" "$WORK/cont.err" && break; sleep 0.1; done
sleep 1
check "--playdemo-continue hands the game over, and the demo's quit does not end it" kill -0 "$GAME_PID"
end_game
check "the player's quit then does (status $st)" test "$st" -eq 0

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
