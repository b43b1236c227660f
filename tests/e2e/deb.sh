#!/bin/bash
# `make deb`'s package, built into a scratch folder: what it holds and the library dependencies
# dpkg-shlibdeps found; lintian finds no error and no warning in it; its copyright file states the
# licence; the game unpacked from it finds its data from where it lies.
# Usage: deb.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-deb.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap '[ "$failures" -eq 0 ] && rm -rf "$WORK"' EXIT

(cd "$BIN" && cpack -G DEB -B "$WORK/out") >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; echo "cpack failed"; exit 1; }
DEB=$(ls "$WORK"/out/tarvellin_*.deb 2>/dev/null | head -n 1)
check "cpack made a .deb" test -n "$DEB"
[ -n "$DEB" ] || exit 1
depends=$(dpkg-deb -f "$DEB" Depends)
for lib in libsdl2 libfreetype libfontconfig libc6 fonts-liberation2; do
  check "it depends on $lib" grep -q "$lib" <<<"$depends"
done
check "its section is games" test "$(dpkg-deb -f "$DEB" Section)" = games
dpkg-deb -c "$DEB" | awk '{print $6}' >"$WORK/files"
for f in ./usr/games/tarvellin ./usr/share/tarvellin/image/screen_menu.bmp ./usr/share/tarvellin/en/image/start.bmp \
  ./usr/share/man/man6/tarvellin.6.gz \
  ./usr/share/icons/hicolor/256x256/apps/tarvellin.png ./usr/share/applications/org.tarvellin.Tarvellin.desktop; do
  grep -qxF "$f" "$WORK/files" || fail "the package holds $f"
done
# --allow-root: as root (containers) lintian would add a note of its own.
lintian --allow-root --fail-on error,warning "$DEB" >"$WORK/lintian.log" 2>&1
st=$?
check "lintian finds no error or warning (status $st)" test "$st" -eq 0
[ "$st" -eq 0 ] || grep -v '^I:' "$WORK/lintian.log"
dpkg-deb -x "$DEB" "$WORK/root"
# The licence: MIT (Expat to Debian) for all of it, the fonts drawn into the pictures named.
copyright="$WORK/root/usr/share/doc/tarvellin/copyright"
check "the copyright file gives Expat for every file" grep -qzP 'Files: \*\nCopyright: [^\n]*\nLicense: Expat\n' "$copyright"
check "and names the fonts' own licence, OFL 1.1, with its text" grep -q "^License: OFL-1.1$" "$copyright"
check "and reserves no rights" test -z "$(grep -iE 'all[ -]rights' "$copyright")"
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= HOME="$WORK/nohome" XDG_DATA_HOME= XDG_DATA_DIRS=/nonexistent "$WORK/root/usr/games/tarvellin") >"$WORK/run.log" 2>&1
st=$?
check "the unpacked game finds its data and gets as far as the display ($st)" test "$st" -eq 1
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
