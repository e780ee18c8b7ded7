#!/usr/bin/env bash
# A slow network drive never holds the window, and the rows follow the
# drives by themselves. W: is the FUSE drive that test.sh maps; here each of
# the program's calls on it takes DELAY seconds when it is slow, and its free
# space changes while the program runs.
# Usage: slow_drive.sh DRIVER.exe Tovemar.exe
source "$(dirname "$0")/lib.sh" "$@"

# Each file-system call of the program's; Wine makes a few for a drive's
# three queries, so its answers take some ten seconds.
DELAY=2
VK_F5=0x74 AUTO_UPDATE=32776
needs_slow_drive
[[ " $(echo $(drive_letters)) " == *" W "* ]] || { echo "W: is not among the drives" >&2; exit 1; }
restore_drives() {
  set_slow_delay 0
  set_slow_free "$SLOW_FREE"
  ln -sfn "$DRIVES/e" "$DOS/e:"
}
trap 'restore_drives; finish' EXIT
restore_drives
drv reg-clear

# Taken while W: is fast: reading its directory from here would wait too.
ALL=$(rows_spec "" 1 1)
PENDING=${ALL/W=bar+text/W=light}
[ "$PENDING" != "$ALL" ] || fail "W: should have a row with figures"
set_slow_delay "$DELAY"

step "Start: the window shows at once, W: with the light box until its answers arrive"
T0=$(date +%s%N)
start_program || exit 1
echo "window after $((($(date +%s%N) - T0) / 1000000)) ms"
expect_all_rows "$PENDING" --busy
POS=$(max_scroll "$(count_rows "$ALL")" "$(view_height)")
# expect_figures WHAT: W:'s row, at the end of the list, shows its figures
# once its answers are in. W: is made fast first: while it stays slow, its
# free space is asked again every 10 s and the list is rarely settled.
expect_figures() {
  set_slow_delay 0
  drv scroll "$PID" 4 10000
  check "$1" drv expect-rows "$PID" "$POS" "$ALL" >/dev/null
  drv scroll "$PID" 4 0
}
expect_figures "W: shows its figures once they arrive"

step "F5: the window keeps answering while W: is asked again"
set_slow_delay "$DELAY"
check "the window answers during F5" drv answers "$PID" 1500 1000
expect_figures "W: shows its figures again after F5"

step "W:'s free space changes: its row follows without F5"
set_slow_free $((10 << 30))
check "W: shows its new free space" drv expect-accessible "$PID" '^SLOW \(W:\)\t90% used, 10\.00GB free$'

step "F5 while W: is slow: its row keeps its figures, then says it does not respond"
set_slow_delay "$DELAY"
drv key "$PID" $VK_F5
grep -qP '^SLOW \(W:\)\t90% used' <<<"$(drv --busy accessible "$PID")" ||
  fail "W: should keep its figures while it is asked again"
check "W: not responding" drv expect-accessible "$PID" '^SLOW \(W:\)\tnot responding$'
expect_figures "W: shows its figures once it answers again"

# Wine's mount manager sees a new drive letter or a changed label only when
# its server restarts; a removable drive's medium it sees at once.
step "Volume notices for E:'s medium going and coming show without F5"
ln -sfn "$DRIVES/e-no-medium" "$DOS/e:"
drv device "$PID" E removal
check "E: without a medium" drv expect-accessible "$PID" '\(E:\)\tno media$'
ln -sfn "$DRIVES/e" "$DOS/e:"
drv device "$PID" E arrival
check "E: with its medium" drv expect-accessible "$PID" '\(E:\)\t\d+% used'

step "Closing while W: is being asked ends at once and saves the settings"
set_slow_delay "$DELAY"
drv key "$PID" $VK_F5
close_program
expect "stored floppy option" "dword 1" drv reg Init ViewFloppies
expect "stored automatic update, on by default" "dword 1" drv reg Init AutoUpdate
expect "no entry without a name" "missing" drv reg Drives ""
set_slow_delay 0

step "Update Automatically off: kept across a restart; no processor time, no new figures"
start_program || exit 1
drv cmd "$PID" $AUTO_UPDATE
close_program
expect "stored automatic update off" "dword 0" drv reg Init AutoUpdate
start_program || exit 1
check "no answer out" drv idle "$PID"
set_slow_free $((30 << 30))
# Off, with no answer out, the window's thread does not wake up at all; the
# window watched is longer than the update period.
UNIX_PID=$(program_pid "$EXE") || fail "no Linux process for Tovemar"
BEFORE=$(ui_activity "$UNIX_PID")
sleep 12
AFTER=$(ui_activity "$UNIX_PID")
[ "$AFTER" = "$BEFORE" ] || fail "the idle program woke up with the option off: $BEFORE -> $AFTER"
grep -qP '^SLOW \(W:\)\t90% used' <<<"$(drv accessible "$PID")" ||
  fail "W:'s row should keep its old figures with the option off"
drv cmd "$PID" $AUTO_UPDATE
check "W: updated once the option is on" drv expect-accessible "$PID" '^SLOW \(W:\)\t70% used'
close_program
expect "stored automatic update on" "dword 1" drv reg Init AutoUpdate
