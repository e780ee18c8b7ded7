#!/usr/bin/env bash
# A slow network drive never holds the window. W: is the FUSE drive that
# test.sh maps; here each of the program's calls on it takes DELAY seconds.
# Usage: slow_drive.sh DRIVER.exe Tovemar.exe
source "$(dirname "$0")/lib.sh" "$@"

# Each file-system call of the program's; Wine makes a few for a drive's
# three queries, so its answers take some ten seconds.
DELAY=2
DELAY_FILE="$DRIVES/slow.delay"
VK_F5=0x74
[ -f "$DELAY_FILE" ] && [[ " $(echo $(drive_letters)) " == *" W "* ]] ||
  { echo "needs the slow drive W: that ./test.sh maps" >&2; exit 1; }
trap 'echo 0 >"$DELAY_FILE"; finish' EXIT
drv reg-clear

# Taken while W: is fast: reading its directory from here would wait too.
ALL=$(rows_spec "" 1 1)
PENDING=${ALL/W=bar+text/W=light}
[ "$PENDING" != "$ALL" ] || fail "W: should have a row with figures"
echo "$DELAY" >"$DELAY_FILE"

step "Start: the window shows at once, W: with the light box until its answers arrive"
T0=$(date +%s%N)
start_program || exit 1
echo "window after $((($(date +%s%N) - T0) / 1000000)) ms"
expect_all_rows "$PENDING"
POS=$(max_scroll "$(count_rows "$ALL")" "$(view_height)")
# expect_figures WHAT: W:'s row, at the end of the list, shows its figures
# once its answers are in (the driver polls 10 s at a time).
expect_figures() {
  drv scroll "$PID" 4 10000
  drv expect-rows "$PID" "$POS" "$ALL" >/dev/null 2>&1 ||
    drv expect-rows "$PID" "$POS" "$ALL" >/dev/null 2>&1 ||
    check "$1" drv expect-rows "$PID" "$POS" "$ALL" >/dev/null
  drv scroll "$PID" 4 0
}
expect_figures "W: shows its figures once they arrive"

step "F5: the window keeps answering while W: is asked again"
check "the window answers during F5" drv answers "$PID" 1500 1000
expect_figures "W: shows its figures again after F5"

step "Closing while W: is being asked ends at once and saves the settings"
drv key "$PID" $VK_F5
close_program
expect "stored floppy option" "dword 1" drv reg Init ViewFloppies
expect "no entry without a name" "missing" drv reg Drives ""
