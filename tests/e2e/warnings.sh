#!/usr/bin/env bash
# The warnings with the FUSE drive W: (100 GB), nearly full below 1 % here
# (1 GB) so that the build machine's own disks, which the other drives are,
# do not count:
# filling it brings "nearly full" and the notification icon, freeing it takes
# both away; a steady decline over a minute of polls forecasts when it is
# full; with Mark on its bar is red.
# Usage: warnings.sh DRIVER.exe Tovemar.exe
source "$(dirname "$0")/lib.sh" "$@"
# On Wine's virtual desktop the notification area is drawn inside the desktop
# window; on the X display it is a window of its own that xdotool can find.
# Nothing here is maximized, so the rows read the same without the desktop.
desktop off

[ -f "$SLOW_FREE_FILE" ] && [[ " $(echo $(drive_letters)) " == *" W "* ]] ||
  { echo "needs the slow drive W: that ./test.sh maps" >&2; exit 1; }
trap 'set_slow_free "$SLOW_FREE"; finish' EXIT
set_slow_delay 0
set_slow_free "$SLOW_FREE"
# reset_settings: nothing stored but the level of 1 %.
reset_settings() {
  drv reg-clear
  drv reg-set Warnings FreePercent dword 1
}
reset_settings

# tray_shown yes|no: polls (up to 30 s) until Wine's tray window is there or not.
tray_shown() {
  local want=$1 found
  for _ in $(seq 150); do
    found=no
    xdotool search --onlyvisible --name 'Wine System Tray' >/dev/null 2>&1 && found=yes
    [ "$found" = "$want" ] && return 0
    sleep 0.2
  done
  return 1
}
# expect_described REGEX: polls (up to 60 s) until a row's description matches.
expect_described() {
  for _ in $(seq 300); do
    drv describe "$PID" | grep -qP "$1" && return 0
    sleep 0.2
  done
  drv describe "$PID" >&2
  return 1
}

step "Filling W: past its level: nearly full, and the icon in the notification area"
start_program || exit 1
check "no icon while no drive is nearly full" tray_shown no
set_slow_free $((512 << 20))
check "W: nearly full" drv expect-accessible "$PID" '^SLOW \(W:\)\t99% used, 512\.00MB free, nearly full$'
check "the icon shows" tray_shown yes

step "Freeing it: the words and the icon go"
set_slow_free $((20 << 30))
check "W: no longer nearly full" drv expect-accessible "$PID" '^SLOW \(W:\)\t80% used, 20\.00GB free$'
check "the icon goes" tray_shown no
close_program

step "A steady decline over a minute of polls: full in about"
reset_settings # no history of the run before
set_slow_free $((30 << 30))
start_program || exit 1
for free in 30 29 28 27 26; do
  set_slow_free $((free << 30))
  check "W: at $free GB free" drv expect-accessible "$PID" "^SLOW \\(W:\\)\\t$((100 - free))% used, $free\\.00GB free$" >/dev/null
done
check "the forecast" expect_described '^SLOW \(W:\)\t.*in the last \d+ seconds, full in about \d+ minutes'
close_program
expect "the history stored" "binary" bash -c "wine '$DRIVER' reg History 'SLOW (W:)' | cut -d' ' -f1"

step "Mark on: the nearly-full drive's used share is red"
drv reg-set Warnings Mark dword 1
set_slow_free $((512 << 20))
start_program || exit 1
check "W: nearly full" drv expect-accessible "$PID" '^SLOW \(W:\)\t99% used, 512\.00MB free, nearly full$'
ROWS=$(echo $(drive_letters) | wc -w)
POS=$(max_scroll "$ROWS" "$(view_height)")
drv scroll "$PID" 4 "$POS"
# W:'s row, and no other, is red.
ROWS_SEEN=$(drv rows "$PID" "$POS")
[ "$(grep -o '=red+text' <<<"$ROWS_SEEN" | wc -l)" = 1 ] || fail "one bar, W:'s, should be red: $ROWS_SEEN"
close_program
