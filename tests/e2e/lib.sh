# Shared pieces of the end-to-end runs: an X server of our own, the game, input held for a few
# frames (the game reads levels once a frame), screenshots and pixel measurements.
# Needs: BIN (build dir with tarvellin, tarvellin-assetgen, xclose, pcmstat), WORK (scratch dir).

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }
check() {  # check "what" test-expression...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

start_x() {  # [WIDTHxHEIGHT]
  rm -f "$WORK/dpy"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp 3>"$WORK/dpy" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$WORK/dpy" ] && break
    sleep 0.1
  done
  [ -s "$WORK/dpy" ] || { echo "cannot start Xvfb"; cat "$WORK/xvfb.log"; exit 1; }
  export DISPLAY=":$(cat "$WORK/dpy")"
}

stop_x() { [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=""; }

# start_game DATA_DIR NAME [env assignments...]: the game in DATA_DIR, recording its sound; it
# returns once the menu is shown (NO_MENU=1: a data folder whose menu cannot show; a short wait).
start_game() {
  local dir=$1 name=$2; shift 2
  REC="$WORK/$name.raw"
  LOG="$WORK/$name.log"
  : >"$REC"
  (cd "$dir" && exec env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$REC" "$@" "${GAME:-$BIN/tarvellin}") >"$LOG" 2>&1 &
  GAME_PID=$!
  wait_window
  wait_drawn
}

# wait_drawn: until the game shows its menu (its title bright; start-up loads every picture first,
# which takes long on a busy machine), or it has ended, or 30 s have passed; then a few frames more.
wait_drawn() {
  [ -n "$WIN" ] || return 0
  [ -n "${NO_MENU:-}" ] && { sleep 1.5; return 0; }
  for _ in $(seq 1 150); do
    kill -0 "$GAME_PID" 2>/dev/null || return 0
    [ "$(import -window "$WIN" -crop 720x100+150+130 +repage -format '%[fx:int(1000*mean)]' info: 2>/dev/null)" \
      -gt 150 ] 2>/dev/null && break
    sleep 0.2
  done
  sleep 0.5
}

# wait_window: WIN becomes the game's window (empty when none came within 10 s or the game ended).
wait_window() {
  WIN=""
  for _ in $(seq 1 100); do
    WIN=$(xdotool search --name '^GAME$' 2>/dev/null | head -n 1)
    [ -n "$WIN" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
}

# wait_game SECONDS: the game's exit status, or 124 when it did not end in time (then killed).
wait_game() {
  local limit=$(( $1 * 10 ))
  for _ in $(seq 1 "$limit"); do
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$GAME_PID" 2>/dev/null; then
    kill -9 "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    return 124
  fi
  wait "$GAME_PID"
}

# another window to give the focus to: OTHER is its id, XM_PID its process (the trap kills it)
open_other_window() {
  xmessage -geometry +0+0 "elsewhere" >/dev/null 2>&1 &
  XM_PID=$!
  for _ in $(seq 1 100); do OTHER=$(xdotool search --name '^xmessage$' 2>/dev/null | head -n 1); [ -n "$OTHER" ] && break; sleep 0.1; done
  [ -n "$OTHER" ] || { echo "xmessage shows no window"; exit 1; }
}
hold_key() { xdotool keydown "$1"; sleep "${2:-0.25}"; xdotool keyup "$1"; }
click() { xdotool mousedown 1; sleep 0.25; xdotool mouseup 1; }
move() { xdotool mousemove_relative -- "$1" "$2"; sleep 0.4; }
shot() { import -window root "$WORK/$1.png"; }
rec_size() { stat -c %s "$REC"; }
# peak sample of the recording between two byte offsets
rec_peak() { "$BIN/pcmstat" "$REC" "$1" "$2" | cut -d' ' -f1; }

# pixels that differ by more than 8% inside GEOMETRY (WxH+X+Y) of two shots
diff_px() {
  convert "$WORK/$1.png" -crop "$3" +repage "$WORK/crop-a.png"
  convert "$WORK/$2.png" -crop "$3" +repage "$WORK/crop-b.png"
  compare -metric AE -fuzz 8% "$WORK/crop-a.png" "$WORK/crop-b.png" null: 2>&1 | cut -d' ' -f1
}
# mean brightness 0..1000 of GEOMETRY in a shot
mean_of() { convert "$WORK/$1.png" -crop "$2" +repage -format '%[fx:int(1000*mean)]' info:; }
# mean red, green, blue 0..1000
rgb_of() { convert "$WORK/$1.png" -crop "$2" +repage -format '%[fx:int(1000*mean.r)] %[fx:int(1000*mean.g)] %[fx:int(1000*mean.b)]' info:; }
gt() { [ "${1:-0}" -gt "$2" ]; }
lt() { [ "${1:-0}" -lt "$2" ]; }
