#!/bin/bash
# The installed game, as a packager stages it: `cmake --install` into a temporary DESTDIR, the
# validators on the desktop entry, the metainfo, the man page and the icons, then the installed
# game started from an unrelated folder under Xvfb: it finds its data and shows the menu; F11
# goes to full screen (letterboxed) and back; Escape ends it with status 0.
# Usage: install.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-install.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

DEST="$WORK/dest"
DESTDIR="$DEST" cmake --install "$BIN" --prefix /usr >"$WORK/install.log" 2>&1 ||
  { cat "$WORK/install.log"; echo "cmake --install failed"; exit 1; }
U="$DEST/usr"
for f in bin/tarvellin bin/assetgen bin/assetcheck share/tarvellin/image/screen_menu.bmp \
  share/tarvellin/sound/click.wav share/man/man6/tarvellin.6 \
  share/applications/org.tarvellin.Tarvellin.desktop share/metainfo/org.tarvellin.Tarvellin.metainfo.xml; do
  test -f "$U/$f" || fail "installed $f"
done

check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$U/share/applications/org.tarvellin.Tarvellin.desktop"
check "appstreamcli accepts the metainfo" appstreamcli validate --no-net "$U/share/metainfo/org.tarvellin.Tarvellin.metainfo.xml"
groff -man -ww -z "$U/share/man/man6/tarvellin.6" >"$WORK/man.log" 2>&1
check "the man page formats without a warning" test ! -s "$WORK/man.log"
for s in 48 128 256; do
  icon="$U/share/icons/hicolor/${s}x${s}/apps/tarvellin.png"
  check "the ${s}px icon is a ${s}x${s} PNG with alpha" \
    grep -qE "^PNG $s $s (True|Blend)$" <<<"$(identify -format '%m %w %h %A' "$icon" 2>/dev/null)"
  corner=$(convert "$icon" -format '%[fx:int(1000*p{0,0}.a)]' info:)
  middle=$(convert "$icon" -format "%[fx:int(1000*p{$((s / 2)),$((s / 2))}.a)]" info:)
  check "its corners are transparent and its middle opaque ($corner, $middle)" test "$corner" -eq 0 -a "$middle" -eq 1000
done
check "the installed assetcheck accepts the installed data" "$U/bin/assetcheck" "$U/share/tarvellin" >/dev/null

command -v Xvfb >/dev/null || { echo "$failures failure(s) (no Xvfb: the game was not started)"; [ "$failures" -eq 0 ]; exit; }
start_x_sized() {  # like start_x, on a screen of the given size
  rm -f "$WORK/dpy"
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$WORK/dpy" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do [ -s "$WORK/dpy" ] && break; sleep 0.1; done
  [ -s "$WORK/dpy" ] || { echo "cannot start Xvfb"; exit 1; }
  export DISPLAY=":$(cat "$WORK/dpy")"
}
start_x_sized 1280x1024x24
# The window comes from a configuration file, which the installed game reads as well.
mkdir -p "$WORK/elsewhere/tarvellin"
echo window >"$WORK/elsewhere/tarvellin/tarvellin.conf"
GAME="$U/bin/tarvellin" start_game "$WORK/elsewhere" installed \
  HOME="$WORK/elsewhere" XDG_CONFIG_HOME="$WORK/elsewhere" XDG_DATA_HOME="$WORK/elsewhere" XDG_DATA_DIRS="$WORK/elsewhere"
check "the installed game opens its window from an unrelated folder" test -n "$WIN"
X=0 Y=0 WIDTH=0 HEIGHT=0
eval "$(xdotool getwindowgeometry --shell "$WIN" 2>/dev/null)"
check "the window is 1024x768 (${WIDTH:-?}x${HEIGHT:-?})" test "${WIDTH:-0}x${HEIGHT:-0}" = 1024x768
shot inst-window
check "the menu is shown (title bright)" gt "$(mean_of inst-window "720x100+$((X + 150))+$((Y + 130))")" 150

# The mouse is held while the game has the focus, free once another window takes it, held again
# when the game gets it back.
xev -geometry 100x100+0+0 >/dev/null 2>&1 &
XEV_PID=$!
OTHER=""
for _ in $(seq 1 50); do OTHER=$(xdotool search --name 'Event Tester' 2>/dev/null | head -n 1); [ -n "$OTHER" ] && break; sleep 0.1; done
xdotool windowfocus "$WIN"; sleep 0.3
where() { xdotool mousemove 5 5; sleep 0.3; xdotool getmouselocation | cut -d' ' -f1,2; }
check "with the focus the pointer cannot leave the window" test "$(where)" = "x:$X y:$Y"
xdotool windowfocus "$OTHER"; sleep 0.5
check "another window takes the focus: the pointer is free" test "$(where)" = "x:5 y:5"
xdotool windowfocus "$WIN"; sleep 0.5
check "the focus back: the pointer is held again" test "$(where)" = "x:$X y:$Y"
kill "$XEV_PID" 2>/dev/null; wait "$XEV_PID" 2>/dev/null

xdotool key F11
sleep 1.5
shot inst-full
# 1280 x 1024 holds the 4:3 picture at 1280 x 960, with 32 rows of black above and below.
check "F11: the picture fills the width, the title scaled up" gt "$(mean_of inst-full 900x125+187+195)" 150
check "F11: black bars above and below" lt "$(mean_of inst-full 1280x30+0+0)" 3
check "F11: ... and below" lt "$(mean_of inst-full 1280x30+0+994)" 3
xdotool key F11
sleep 1.5
shot inst-back
X=0 Y=0 WIDTH=0 HEIGHT=0
eval "$(xdotool getwindowgeometry --shell "$WIN" 2>/dev/null)"
check "F11 again: a 1024x768 window (${WIDTH:-?}x${HEIGHT:-?})" test "${WIDTH:-0}x${HEIGHT:-0}" = 1024x768

hold_key Escape 0.2
wait_game 5; st=$?
check "Escape ends the installed game with status 0 (status $st)" test "$st" -eq 0
[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
