#!/bin/bash
# The player's own keys and options under Xvfb: --volume scales the recorded sound, F10 mutes and
# unmutes, F12 saves the shown frame in the pictures folder, or in a folder named from where the
# game started.
# Usage: keys.sh BUILD_DIR
set -u
BIN=$(cd "$1" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvellin-keys.XXXXXX")
. "$(dirname "$0")/lib.sh"
trap 'stop_x; [ "$failures" -eq 0 ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$WORK"' EXIT

"$BIN/tarvellin-assetgen" "$WORK/data" >/dev/null || { echo "tarvellin-assetgen failed"; exit 1; }
start_x
mkdir -p "$WORK/home"

# focus_peak: the loudest sample while the cursor comes onto Start (its focus sound) and leaves.
focus_peak() {
  local a0 a1
  a0=$(rec_size)
  move -112 -9  # from the centre onto Start, at (500, 375)
  sleep 0.8
  move 112 9
  a1=$(rec_size)
  rec_peak "$a0" "$a1"
}

start_game "$WORK/data" full HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
full=$(focus_peak)
hold_key F12 0.1
sleep 0.5
hold_key Escape 0.2
wait_game 5
check "the focus sound is heard at full volume (peak $full)" gt "$full" 300
shot_file=$(sed -n 's/^tarvellin: screenshot //p' "$LOG")
check "F12 saves in ~/Pictures/Tarvellin and prints the path ($shot_file)" \
  test -f "$shot_file" -a "$(dirname "$shot_file")" = "$WORK/home/Pictures/Tarvellin"
check "the screenshot is the 1024 x 768 frame" test "$(identify -format %wx%h "$shot_file" 2>&1)" = 1024x768
cp "$shot_file" "$WORK/f12.png" 2>/dev/null
check "and shows the menu (title bright)" gt "$(mean_of f12 720x100+150+130)" 150

# From another folder, the data named from the home folder in the file, screenshots into a
# folder relative to where the game started (it then enters the data folder).
mkdir -p "$WORK/conf/tarvellin" "$WORK/start"
printf 'volume 50 # half\ndata ~/../data\nscreenshot-dir shots\n' >"$WORK/conf/tarvellin/tarvellin.conf"
start_game "$WORK/start" half HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/conf"
half=$(focus_peak)
d=$((full - 2 * half))
check "at --volume 50 the peak is half ($half of $full)" test "$d" -ge -2 -a "$d" -le 2
hold_key F10 0.1
muted=$(focus_peak)
check "F10 mutes: silence (peak $muted)" test "$muted" -eq 0
hold_key F10 0.1
again=$(focus_peak)
check "F10 again brings the sound back at the same volume (peak $again)" test "$again" -eq "$half"
hold_key F12 0.1
sleep 0.5
hold_key Escape 0.2
wait_game 5; st=$?
check "the game ends normally (status $st)" test "$st" -eq 0
shot_file=$(sed -n 's/^tarvellin: screenshot //p' "$LOG")
check "a relative screenshot folder is taken from where the game started ($shot_file)" \
  test -f "$shot_file" -a "$(dirname "$shot_file")" = "$WORK/start/shots"

[ -n "${E2E_VERBOSE:-}" ] && echo "work: $WORK"
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
