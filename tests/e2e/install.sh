#!/bin/bash
# The installed game, as a packager stages it: `cmake --install` into a temporary DESTDIR, the
# validators on what it installed, then the installed game started from an unrelated folder
# under Xvfb: it finds its data and shows the menu, holds the mouse only while it has the
# focus, goes to full screen (letterboxed) and back with F11, and ends with Escape, status 0.
# Usage: install.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-install.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

U="$WORK/dest/usr"
DESTDIR="$WORK/dest" cmake --install "$BIN" --prefix /usr >"$WORK/install.log" 2>&1 ||
  { cat "$WORK/install.log"; echo "cmake --install failed"; exit 1; }
check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$U/share/applications/org.tarvellin.Tarvellin.desktop"
meta="$U/share/metainfo/org.tarvellin.Tarvellin.metainfo.xml"
check "appstreamcli accepts the metainfo" appstreamcli validate --no-net "$meta"
check "the metainfo gives the project's licence, MIT" grep -q "<project_license>MIT</project_license>" "$meta"
check "and lists the gamepad among the controls" grep -q "<control>gamepad</control>" "$meta"
for page in tarvellin tarvellin-assetgen tarvellin-assetcheck; do
  zcat "$U/share/man/man6/$page.6.gz" | groff -man -ww -z >"$WORK/man.log" 2>&1
  check "the man page $page(6) formats without a warning" test ! -s "$WORK/man.log"
done
exec=$(sed -n 's/^Exec=//p' "$U/share/applications/org.tarvellin.Tarvellin.desktop")
check "the desktop entry starts the installed game ($exec)" test "$exec" = /usr/games/tarvellin
for s in 48 128 256; do
  icon="$U/share/icons/hicolor/${s}x${s}/apps/tarvellin.png"
  got=$(identify -format "%m %w %h %[fx:p{0,0}.a] %[fx:p{$((s / 2)),$((s / 2))}.a]" "$icon" 2>&1)
  check "the ${s}px icon: PNG, ${s}x${s}, clear corners, opaque middle ($got)" test "$got" = "PNG $s $s 0 1"
done
"$U/games/tarvellin-assetcheck" "$U/share/tarvellin" >"$WORK/assetcheck.log"
check "the installed tarvellin-assetcheck accepts the installed data" test $? -eq 0
check "the installed data carries the English pictures, and assetcheck checks them" \
  grep -q '^en/image/start.bmp .* yes$' "$WORK/assetcheck.log"

start_x 1280x1024
# A window, from the configuration file, which the installed game reads as well.
mkdir -p "$WORK/elsewhere/tarvellin"
echo window >"$WORK/elsewhere/tarvellin/tarvellin.conf"
GAME="$WORK/dest$exec" start_game "$WORK/elsewhere" installed HOME="$WORK/elsewhere" \
  XDG_CONFIG_HOME="$WORK/elsewhere" XDG_DATA_HOME="$WORK/elsewhere" XDG_DATA_DIRS="$WORK/elsewhere"
geometry() { X=0 Y=0 WIDTH=0 HEIGHT=0; eval "$(xdotool getwindowgeometry --shell "$WIN" 2>/dev/null)"; }
geometry
check "the installed game opens a 1024x768 window from an unrelated folder (${WIDTH}x$HEIGHT)" \
  test "${WIDTH}x$HEIGHT" = 1024x768
shot inst-window
check "the menu is shown (title bright)" gt "$(mean_of inst-window "720x100+$((X + 150))+$((Y + 130))")" 150

xev -geometry 100x100+0+0 >/dev/null 2>&1 &
XEV_PID=$!
for _ in $(seq 1 50); do OTHER=$(xdotool search --name 'Event Tester' 2>/dev/null | head -n 1); [ -n "$OTHER" ] && break; sleep 0.1; done
where() { xdotool windowfocus "$1"; sleep 0.5; xdotool mousemove 5 5; sleep 0.3; xdotool getmouselocation | cut -d' ' -f1,2; }
check "with the focus the pointer cannot leave the window" test "$(where "$WIN")" = "x:$X y:$Y"
check "another window takes the focus: the pointer is free" test "$(where "$OTHER")" = "x:5 y:5"
check "the focus back: the pointer is held again" test "$(where "$WIN")" = "x:$X y:$Y"
kill "$XEV_PID"; wait "$XEV_PID" 2>/dev/null

xdotool key F11; sleep 1.5; shot inst-full
# 1280 x 1024 holds the 4:3 picture at 1280 x 960, with 32 rows of black above and below.
check "F11: the picture fills the width, the title scaled up" gt "$(mean_of inst-full 900x125+187+195)" 150
check "F11: black bars above and below" lt "$(( $(mean_of inst-full 1280x30+0+0) + $(mean_of inst-full 1280x30+0+994) ))" 4
xdotool key F11; sleep 1.5
geometry
check "F11 again: a 1024x768 window (${WIDTH}x$HEIGHT)" test "${WIDTH}x$HEIGHT" = 1024x768
hold_key Escape 0.2
wait_game 5; st=$?
check "Escape ends the installed game with status 0 (status $st)" test "$st" -eq 0
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
