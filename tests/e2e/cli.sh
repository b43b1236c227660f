#!/bin/bash
# The command line and the start-up checks, before any window: help, version, usage errors
# (status 64), no data folder (66, naming every folder tried), the configuration file. DISPLAY
# is unset, so a run that gets past the checks stops at the display with status 1.
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
for opt in --data --window --fullscreen --scale --integer-scale --smooth --nosound --low-cpu --volume --screenshot-dir --version; do
  grep -q -- "^  $opt\b" "$WORK/help.out" || fail "--help lists $opt"
done
for key in F10 F11 F12; do grep -q "^  $key " "$WORK/help.out" || fail "--help lists the $key key"; done
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

printf 'bogus 1\ndata %s\n' "$WORK/data" >"$WORK/conf/tarvellin/tarvellin.conf"
run conf; st=$?
check "the config file's data folder is used: the run reaches the display ($st)" test "$st" -eq 1
check "a bad config line is reported with its number" grep -q "tarvellin.conf:1: 'bogus' unknown option" "$WORK/conf.err"
run confcli --data "$WORK/home"; st=$?
check "the command line's --data wins, and a folder without image/ or sound/ gives 66 ($st)" test "$st" -eq 66

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
