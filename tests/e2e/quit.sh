#!/bin/bash
# A close or a quit signal is never lost: SIGTERM ends the game promptly after 300 exposes
# gathered in a pause, and after 70 while recording (the demo replays to its end state); SIGINT
# ends the wait for a 60 s click sound within half a second; SIGHUP works with SIGTERM ignored
# and before the window opens, and an ignored SIGHUP (nohup) leaves the game running. Paused
# with a gamepad attached the game sleeps (under 1% of a core) and goes on at once when the
# focus comes back; pad mappings hold in the menu. Prints the times and the CPU use measured.
# Usage: quit.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-e2e-quit.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'exec 5>&-; stop_x; [ -n "${XM_PID:-}" ] && kill "$XM_PID" 2>/dev/null; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
start_x
open_other_window

HZ=$(getconf CLK_TCK)
now_ms() { echo $(( ${EPOCHREALTIME/./} / 1000 )); }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$GAME_PID/stat" 2>/dev/null || echo 0; }
# focus WINDOW: until X reports the focus there (no window manager runs: XSetInputFocus itself)
focus() {
  for _ in $(seq 1 50); do
    xdotool windowfocus "$1" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
# sleeping: until the game's main thread is seen asleep ten times in a row, 50 ms apart (it
# spins in its frame waits otherwise, runnable however busy the machine), 10 s at most
sleeping() {
  local state run=0
  for _ in $(seq 1 200); do
    read -r _ _ state _ <"/proc/$GAME_PID/stat" 2>/dev/null || return 1
    if [ "$state" = S ]; then run=$((run + 1)); else run=0; fi
    [ $run -ge 10 ] && return 0
    sleep 0.05
  done
  return 1
}
# run NAME [env options and assignments...]: the game (options in ARGS) in DATA, up to its menu
run() {
  local name=$1; shift
  REC="$WORK/$name.raw"; LOG="$WORK/$name.log"; : >"$REC"
  # shellcheck disable=SC2086
  (cd "${DATA:-$WORK/data}" && exec env "$@" SDL_AUDIODRIVER="${AUDIO:-disk}" SDL_DISKAUDIOFILE="$REC" \
    "$BIN/tarvellin" ${ARGS:-}) >"$LOG" 2>&1 &
  GAME_PID=$!
  wait_window
  wait_drawn
}
# gone LIMIT_S: waits for the game to end; ST its status, ENDED_MS how long after the call it
# ended ("never": still running at the limit, then killed)
gone() {
  local t0; t0=$(now_ms)
  while kill -0 "$GAME_PID" 2>/dev/null; do
    if (( $(now_ms) - t0 > $1 * 1000 )); then
      kill -9 "$GAME_PID" 2>/dev/null; wait "$GAME_PID" 2>/dev/null
      ST=124; ENDED_MS=never; return
    fi
    sleep 0.01
  done
  ENDED_MS=$(( $(now_ms) - t0 ))
  wait "$GAME_PID"; ST=$?
}
ended_within() { [ "$ST" -eq 0 ] && [ "$ENDED_MS" != never ] && [ "$ENDED_MS" -lt "$1" ]; }
# alive S: the game still runs S seconds from now
alive() {
  for _ in $(seq 1 $(( $1 * 10 ))); do kill -0 "$GAME_PID" 2>/dev/null || return 1; sleep 0.1; done
}

# --- Exposes gathered during a pause, each its own event, then SIGTERM; again while recording.
for n in 300 70; do
  ARGS=""; [ $n = 70 ] && ARGS="--record $WORK/exposes.demo"
  run "exposes$n"
  focus "$WIN" && focus "$OTHER" || fail "$n exposes: the focus moves to another window"
  check "$n exposes: unfocused, the game pauses (sleeps)" sleeping
  "$BIN/xexpose" "$WIN" $n 10
  kill -TERM "$GAME_PID"
  gone 10
  echo "$n exposes in the pause${ARGS:+ while recording}, then SIGTERM: the game ended $ENDED_MS ms later"
  check "$n exposes, then SIGTERM ends the game within 3 s with status 0 (status $ST)" ended_within 3000
done
ARGS=""
(cd "$WORK/data" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$BIN/tarvellin" --timedemo "$WORK/exposes.demo") \
  >"$WORK/exposes-timed.out" 2>&1
end=$(sed -n 's/^end-state //p' "$WORK/exposes70.log")
check "the demo recorded through the exposes replays to its end state (${end:-none})" \
  grep -q "end-state ${end:-none}\$" "$WORK/exposes-timed.out"

# --- SIGINT while the menu waits for a 60 s click sound (a constant level, to hear the wait).
cp -r "$WORK/data" "$WORK/long"
le32() { printf "$(printf '\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)))"; }
{
  printf 'RIFF'; le32 $((36 + 22050 * 60)); printf 'WAVEfmt '; le32 16
  printf '\x01\x00\x01\x00'; le32 22050; le32 22050; printf '\x01\x00\x08\x00data'; le32 $((22050 * 60))
  head -c $((22050 * 60)) /dev/zero | tr '\0' '\300'
} >"$WORK/long/sound/click.wav"
recent_peak() { local n; n=$(rec_size); rec_peak $((n > 4096 ? n - 4096 : 0)) "$n"; }
DATA="$WORK/long" run click --default-signal=INT
DATA=""
focus "$WIN" || fail "click: the game has the focus"
move -112 -9  # from the centre onto Start
for _ in $(seq 1 100); do lt "$(recent_peak)" 100 && break; sleep 0.1; done  # its focus sound over
xdotool mousedown 1
heard=""
for _ in $(seq 1 100); do gt "$(recent_peak)" 2000 && { heard=1; break; }; sleep 0.1; done
xdotool mouseup 1
check "a click on Start plays the long click sound" test -n "$heard"
kill -INT "$GAME_PID"
gone 10
echo "SIGINT during the wait for the 60 s click sound: the game ended $ENDED_MS ms later"
check "SIGINT ends the click sound's wait within half a second with status 0 (status $ST)" ended_within 500

# --- SIGHUP with SIGTERM inherited as ignored; SIGHUP inherited as ignored (nohup).
run hup --ignore-signal=TERM --default-signal=HUP
kill -HUP "$GAME_PID"
gone 10
check "with SIGTERM ignored, SIGHUP ends the game with status 0 (status $ST, $ENDED_MS ms)" ended_within 3000
run nohup --ignore-signal=HUP
kill -HUP "$GAME_PID"
check "with SIGHUP ignored (nohup), the game keeps running after one" alive 2
kill -TERM "$GAME_PID"
gone 10
check "and SIGTERM still ends it with status 0 (status $ST)" ended_within 3000

# --- SIGHUP while main() still reads the configuration (a FIFO holds it there), long before
# the window: the game starts, then ends by its own path.
mkdir -p "$WORK/cfg/tarvellin"
mkfifo "$WORK/cfg/tarvellin/tarvellin.conf"
(cd "$WORK/data" && exec env --default-signal=HUP XDG_CONFIG_HOME="$WORK/cfg" SDL_AUDIODRIVER=dummy "$BIN/tarvellin") \
  >"$WORK/early.log" 2>&1 &
GAME_PID=$!
# The write end opens once the game has opened the file to read; closing it ends the file.
timeout 30 bash -c 'exec 6>"$1"; kill -HUP "$2"' _ "$WORK/cfg/tarvellin/tarvellin.conf" "$GAME_PID"
gone 60
check "SIGHUP before the window opens ends the game with status 0, not the process (status $ST)" \
  test "$ST" -eq 0

# --- Paused with a virtual pad attached; mappings in the menu.
mkfifo "$WORK/pad"
exec 5<>"$WORK/pad"  # held open both ways, so neither side ever blocks
pad() { echo "$*" >&5; }
ARGS="--map pad:back=none --map pad:x=Esc" AUDIO=dummy run pad TARVELLIN_TEST_PAD="$WORK/pad"
ARGS=""
pad attach
pad button back 1
check "Back mapped to none does not quit from the menu" alive 2
pad button back 0
focus "$WIN" && focus "$OTHER" || fail "pad: the focus moves to another window"
check "pad: unfocused, the game pauses (sleeps)" sleeping
c0=$(cpu_ticks); sleep 10; c1=$(cpu_ticks)
pct=$(( (c1 - c0) * 10000 / (10 * HZ) ))  # hundredths of a percent of one core
echo "CPU use while paused with a pad attached: $((pct / 100)).$(printf %02d $((pct % 100)))% of a core over 10 s ($((c1 - c0)) ticks of 1/$HZ s)"
check "paused with a pad attached, the game uses under 1% of a core" lt "$pct" 100
focus "$WIN" || fail "pad: the focus comes back"
t0=$(now_ms); c0=$(cpu_ticks); back=never
for _ in $(seq 1 1000); do
  (( $(cpu_ticks) - c0 >= 2 )) && { back=$(( $(now_ms) - t0 )); break; }
  sleep 0.005
done
echo "the game went on $back ms after the focus came back (to its first 20 ms of processor time)"
check "it goes on within a second of the focus coming back" lt "${back/never/99999}" 1000
pad button x 1
gone 10
check "X mapped to Esc quits from the menu with status 0 (status $ST)" ended_within 5000

[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
