#!/usr/bin/env bash
# Robustness: stored settings of every wrong kind. Each case stores its values
# under a fresh application key, starts the real Tovemar.exe, which must show
# its window and rows, closes it, and checks that it left sound values.
# Usage: settings.sh DRIVER.exe Tovemar.exe
source "$(dirname "$0")/lib.sh" "$@"
trap finish EXIT

# run_case NAME FLOPPIES REMOVABLES HIDDEN: one start and close with the
# values stored since the last case; the two options and the hidden drives
# the stored values should amount to.
run_case() {
  local name=$1 floppies=$2 removables=$3 hidden=$4
  step "$name"
  start_program || return
  expect "$name: window" "maximized=0 toolbar=1 statusbar=1 onscreen=1" drv state "$PID"
  check "$name: rows" drv expect-rows "$PID" 0 "$(rows_spec "$hidden" "$floppies" "$removables")" \
    >/dev/null
  close_program
  check "$name: stored values" drv check-store >/dev/null
}
set_value() { check "store $*" drv reg-set "$@"; }
# The placement record: length, flags, show state, minimized and maximized
# positions, normal rectangle (left top right bottom).
placement() {
  python3 -c 'import struct, sys
a = [int(x) for x in sys.argv[1:]]
print(struct.pack("<IIIiiiiiiii", 44, 0, a[0], -1, -1, -1, -1, *a[1:]).hex())' "$@"
}

drv reg-clear
set_value Init ViewFloppies sz 0
set_value Init ViewRemoveables binary 00000000
run_case "Options as a string and as binary data count as not stored" 1 1 ""
expect "ViewFloppies rewritten" "dword 1" drv reg Init ViewFloppies
expect "ViewRemoveables rewritten" "dword 1" drv reg Init ViewRemoveables

drv reg-clear
set_value Init ViewFloppies qword 0
set_value Init ViewRemoveables dword 5
run_case "An option as a 64-bit value counts as not stored; 5 counts as on" 1 1 ""
expect "ViewRemoveables of 5 stored as 1" "dword 1" drv reg Init ViewRemoveables

drv reg-clear
set_value Init ViewFloppies dword 0xFFFFFFFF
set_value Init ViewRemoveables sz ""
run_case "An option of all ones counts as on" 1 1 ""
expect "ViewFloppies of all ones stored as 1" "dword 1" drv reg Init ViewFloppies

drv reg-clear
set_value Drives "DATA (D:)" sz 0
set_value Drives " (C:)" binary 00000000
set_value Drives " (E:)" qword 0
set_value Drives " (G:)" dword 7
set_value Drives " (H:)" dword 0xFFFFFFFF
set_value Drives " (A:)" dword 0
run_case "Drive flags of the wrong type count as not stored; other numbers as shown" 1 1 "A"
for name in "DATA (D:)" " (C:)" " (E:)" " (G:)" " (H:)"; do
  expect "Drives\\$name rewritten" "dword 1" drv reg Drives "$name"
done
expect "the hidden A: stays hidden" "dword 0" drv reg Drives " (A:)"

# placement_case NAME BYTES: "Placement" holding BYTES (hex) opens a normal
# window: nothing in it can be applied, or it is applied as normal.
placement_case() {
  drv reg-clear
  set_value . Placement binary "$2"
  run_case "Placement $1" 1 1 ""
}
placement_case "empty" ""
placement_case "of 4 bytes" 2c000000
placement_case "of 12 bytes" 2c0000000000000001000000
placement_case "of 48 bytes, maximized" "$(placement 3 50 50 700 500)00000000"
placement_case "all 0xFF" "$(printf 'ff%.0s' $(seq 44))"
placement_case "with an empty rectangle" "$(placement 1 0 0 0 0)"
placement_case "with an inverted rectangle" "$(placement 1 600 500 100 100)"
placement_case "minimized" "$(placement 2 100 100 700 500)"
placement_case "far off the screen" "$(placement 1 30000 30000 30600 30400)"

drv reg-clear
set_value Tovemar-Summary Bars sz 1
run_case "Dock state: the bar count as a string" 1 1 ""
drv reg-clear
set_value Tovemar-Summary Bars dword 100000
run_case "Dock state: a bar count out of range" 1 1 ""
drv reg-clear
set_value Tovemar-Summary Bars dword 3
set_value Tovemar-Bar0 BarID sz 59392
set_value Tovemar-Bar0 Visible dword 0
set_value Tovemar-Bar1 BarID dword 59392
set_value Tovemar-Bar1 Visible dword 7
set_value Tovemar-Bar1 Floating qword 1
set_value Tovemar-Bar2 BarID dword 59392
set_value Tovemar-Bar2 Visible dword 0
set_value Tovemar-Bar2 Floating dword 0
set_value Tovemar-Bar2 DockSide dword 12345
set_value Tovemar-Bar2 XPos dword 99999
set_value Tovemar-Bar2 YPos binary 00000000
run_case "Dock state: bar entries of the wrong type and out of range" 1 1 ""

# The Start menu, the taskbar and the file manager start a program with
# SW_SHOWNORMAL in its start-up information (STARTF_USESHOWWINDOW).
drv reg-clear
set_value . Placement binary "$(placement 3 50 50 700 500)"
step "A start with the shell's normal show command keeps the stored maximized state"
if start_program 1; then
  expect "maximized after a start with SW_SHOWNORMAL" "maximized=1 toolbar=1 statusbar=1 onscreen=1" \
    drv state "$PID"
  close_program
fi
