#!/bin/bash
# The whole program, built with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer:
# start, a few hundred frames of play with the fire key held, quit. No report is allowed.
# Usage: leak.sh SANITIZER_BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-leak.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

# Leaks inside the system's own libraries (X11, the SDL driver stack, fontconfig caches) are theirs.
cat >"$WORK/lsan.supp" <<'SUPP'
leak:libX11.so
leak:libxcb.so
leak:libSDL2
leak:libdbus
leak:libfontconfig.so
leak:libasound.so
leak:libpulse
leak:libGLX
leak:libEGL
leak:libGL.so
leak:libglib
SUPP
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$WORK/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
start_x
start_game "$WORK/data" leak
check "the game starts" test -n "$WIN"
move -112 -9  # onto Start
click
sleep 1
xdotool keydown Control_L
for _ in 1 2; do
  hold_key Left 0.8
  hold_key Right 1.6
  hold_key Left 0.8
done
xdotool keyup Control_L
hold_key Escape 0.2
wait_game 20; st=$?
check "the game quits with status 0 (status $st)" test "$st" -eq 0
if grep -qE "AddressSanitizer|LeakSanitizer|runtime error" "$LOG"; then
  fail "sanitizer reports:"
  grep -E -A12 "ERROR|runtime error" "$LOG" | head -60
else
  pass "no sanitizer report"
fi
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
