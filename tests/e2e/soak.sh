#!/usr/bin/env bash
# Robustness over time: thousands of refreshes and paints, update-option
# toggles and drive dialog rounds leave the GDI and USER objects and the
# private bytes of the real Tovemar.exe where they were after a warm-up, and
# so do answers that arrive late (the slow drive W: that test.sh maps); a
# drive whose size query fails keeps showing no figures however often it is
# refreshed, also right after it had some.
# Usage: soak.sh DRIVER.exe Tovemar.exe
source "$(dirname "$0")/lib.sh" "$@"
VK_F5=0x74 REFRESH=32771 VIEW_DRIVES=32772
needs_slow_drive
W_TARGET=$(readlink "$DOS/w:")

restore_drives() {
  ln -sfn "$DRIVES/e" "$DOS/e:"
  ln -sfn "$W_TARGET" "$DOS/w:"
  set_slow_delay 0
}
trap 'restore_drives; finish' EXIT
restore_drives
drv reg-clear
start_program || exit 1

step "Soak: 250 refresh-and-paint cycles, 15 rounds of option toggles and the drive dialog"
check "no growth after the soak" drv soak "$PID" 250 15
check "rows after the soak" drv expect-rows "$PID" 0 "$(rows_spec "" 1 1)" >/dev/null

# late_round: F5 twice while W: is slow, View Drives open while the answers
# arrive, W:'s link gone while its call is out. Each refresh is sent and
# handled before the next step, so the last but one has its call on W: out.
late_round() {
  set_slow_delay 1
  drv cmd "$PID" $REFRESH
  drv cmd "$PID" $REFRESH
  drv post "$PID" $VIEW_DRIVES
  check "View Drives while answers arrive" drv dialog-click "$PID" "DATA (D:)"
  check "View Drives while answers arrive" drv dialog-click "$PID" "DATA (D:)"
  check "View Drives closes" drv dialog-close "$PID" ok
  drv cmd "$PID" $REFRESH
  rm -f "$DOS/w:"
  drv cmd "$PID" $REFRESH
  restore_drives
  drv cmd "$PID" $REFRESH
}
step "Late answers: after a first round, two halves of 3 rounds; the counts settle again"
late_round
FIRST=$(drv usage "$PID")
for _ in 1 2 3; do late_round; done
HALF=$(drv usage "$PID")
for _ in 1 2 3; do late_round; done
check "no growth with the late rounds (after the first: $FIRST, halfway: $HALF)" \
  drv usage "$PID" $FIRST $HALF

step "A drive whose size query fails at every refresh never shows stale figures"
# E:, removable, has its medium taken out and put back; queried at every
# refresh, it must show no figures exactly while the query fails.
for round in 1 2 3; do
  ln -sfn "$DRIVES/e" "$DOS/e:"
  drv key "$PID" $VK_F5
  check "E: with a medium, round $round" drv expect-rows "$PID" 0 "$(rows_spec "" 1 1)" >/dev/null
  ln -sfn "$DRIVES/e-no-medium" "$DOS/e:"
  for refresh in 1 2 3; do
    drv key "$PID" $VK_F5
    check "E: without a medium, round $round, refresh $refresh" \
      drv expect-rows "$PID" 0 "$(rows_spec "" 1 1)" >/dev/null
  done
done
close_program
