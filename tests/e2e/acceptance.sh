#!/usr/bin/env bash
# Acceptance: the real Tovemar.exe driven as a user would, its rows read from
# the screen. Usage: acceptance.sh DRIVER.exe Tovemar.exe
source "$(dirname "$0")/lib.sh" "$@"

REFRESH=32771 VIEW_DRIVES=32772 FLOPPIES=32773 REMOVABLES=32774 HELP=32775 TOOLBAR=59392
VK_F5=0x74
SB_LINEUP=0 SB_LINEDOWN=1 SB_PAGEUP=2 SB_PAGEDOWN=3 SB_THUMBPOSITION=4 SB_TOP=6 SB_BOTTOM=7

# The prefix's drives as test.sh prepared them, also after a failed run.
restore_drives() {
  ln -sfn "$DRIVES/a" "$DOS/a:"
  rm -f "$DOS/u:"
}
trap 'restore_drives; finish' EXIT
restore_drives
drv reg-clear

step "First start: every drive shown and queried, each row at its place"
start_program || exit 1
expect "window state on a first start" "maximized=0 toolbar=1 statusbar=1 onscreen=1" \
  drv state "$PID"
ALL=$(rows_spec "" 1 1)
echo "drives: $ALL"
expect_all_rows "$ALL"

step "Scrolling by line and page moves the rows by 33 pixels, within the range; top and bottom go to its ends"
N=$(count_rows "$ALL")
MAX=$(max_scroll "$N" "$(view_height)")
[ "$MAX" -gt 66 ] || fail "the prepared drives should not fit the view (largest position $MAX)"
POS=0
# scroll_by CODE [THUMB]: sends the scroll code; the rows must then stand at
# the position the code gives, clamped to 0..MAX.
scroll_by() {
  case $1 in
  "$SB_LINEUP" | "$SB_PAGEUP") POS=$((POS - 33)) ;;
  "$SB_LINEDOWN" | "$SB_PAGEDOWN") POS=$((POS + 33)) ;;
  "$SB_THUMBPOSITION") POS=$2 ;;
  "$SB_TOP") POS=0 ;;
  "$SB_BOTTOM") POS=$MAX ;;
  esac
  [ "$POS" -lt 0 ] && POS=0
  [ "$POS" -gt "$MAX" ] && POS=$MAX
  drv scroll "$PID" "$1" "${2:-0}"
  check "scroll code $1: rows at position $POS" drv expect-rows "$PID" "$POS" "$ALL" >/dev/null
}
scroll_by $SB_LINEDOWN
scroll_by $SB_PAGEDOWN
scroll_by $SB_LINEUP
scroll_by $SB_PAGEUP
scroll_by $SB_LINEUP # already at the top
scroll_by $SB_THUMBPOSITION 10000
scroll_by $SB_LINEDOWN # already at the end
scroll_by $SB_TOP      # the first rows
scroll_by $SB_BOTTOM   # the last rows
scroll_by $SB_PAGEUP
scroll_by $SB_THUMBPOSITION 0

step "Update Floppy Drives and Update Removable Drives off: dark boxes; on: queried again"
drv cmd "$PID" $FLOPPIES
check "A: not queried" drv expect-rows "$PID" 0 "$(rows_spec "" 0 1)" >/dev/null
drv cmd "$PID" $REMOVABLES
check "A: and E: not queried" drv expect-rows "$PID" 0 "$(rows_spec "" 0 0)" >/dev/null
drv cmd "$PID" $FLOPPIES
drv cmd "$PID" $REMOVABLES
check "both queried again" drv expect-rows "$PID" 0 "$ALL" >/dev/null

step "A: loses its medium: light box, dark when not queried, light again; no stale figures"
ln -sfn "$DRIVES/a-no-medium" "$DOS/a:"
drv key "$PID" $VK_F5
check "A: without a medium, after F5" drv expect-rows "$PID" 0 "$(rows_spec "" 1 1)" >/dev/null
drv cmd "$PID" $FLOPPIES
check "A: without a medium, not queried" drv expect-rows "$PID" 0 "$(rows_spec "" 0 1)" >/dev/null
drv cmd "$PID" $FLOPPIES
drv key "$PID" $VK_F5
check "A: without a medium, queried again" drv expect-rows "$PID" 0 "$(rows_spec "" 1 1)" >/dev/null
restore_drives
drv key "$PID" $VK_F5
check "A: with its medium back" drv expect-rows "$PID" 0 "$ALL" >/dev/null

step "F5 picks up a drive added while running; the scroll range stays until a resize"
mkdir -p "$DRIVES/u"
ln -sfn "$DRIVES/u" "$DOS/u:"
drv key "$PID" $VK_F5
drv scroll "$PID" $SB_THUMBPOSITION 10000
check "U: shown after F5, range unchanged" \
  drv expect-rows "$PID" "$MAX" "$(rows_spec "" 1 1)" >/dev/null
rm -f "$DOS/u:"
drv key "$PID" $VK_F5
check "U: gone after F5" drv expect-rows "$PID" "$MAX" "$ALL" >/dev/null
drv scroll "$PID" $SB_THUMBPOSITION 0

step "A screen reader, from another process, finds one list item per row, named and valued as the row shows"
# The last F5 may still be waiting for late answers (its rows' pictures
# before and after look alike at the end of the range): poll until D: has its name.
for _ in $(seq 100); do
  ACC=$(drv accessible "$PID")
  grep -q '^DATA (D:)' <<<"$ACC" && break
done
printf '%s\n' "$ACC"
[ "$(grep -c . <<<"$ACC")" -eq "$N" ] || fail "the view should have $N accessible children"
grep -qP '^DATA \(D:\)\t\d+% used, \d+\.\d\d[GMK]B free$' <<<"$ACC" ||
  fail "D: should read as its row: used percentage and free space"
grep -qP '\(F:\)\tno media$' <<<"$ACC" || fail "F: should read \"no media\""
# Labels in any script come through whole.
for name in 'Данные (K:)' '数据 (L:)'; do
  grep -qF "$name"$'\t' <<<"$ACC" || fail "the rows should name \"$name\""
done

step "View Drives: hiding D: removes its row and saves it before the dialog closes"
drv post "$PID" $VIEW_DRIVES
ITEMS=$(drv dialog-items "$PID")
[ "$(grep -c '^1 ' <<<"$ITEMS")" -eq "$N" ] || fail "the dialog should list all $N drives, selected"
for name in 'DATA (D:)' 'Данные (K:)' '数据 (L:)'; do
  grep -qxF "1 $name" <<<"$ITEMS" || fail "the dialog should list \"$name\""
done
check "click on DATA (D:)" drv dialog-click "$PID" "DATA (D:)"
check "D: stored as hidden while the dialog is open" drv expect-reg Drives "DATA (D:)" "dword 0" >/dev/null
# Each drive's entry is named by its whole name; an ASCII name as it always was.
NAMES=$(drv reg-names Drives)
for name in 'DATA (D:)' 'Данные (K:)' '数据 (L:)'; do
  grep -qxF "$name" <<<"$NAMES" || fail "the settings should hold an entry \"$name\""
done
# While the dialog is open, answers wait for it to close: look at once.
check "D:'s row gone while the dialog is open" \
  drv --busy expect-rows "$PID" 0 "$(rows_spec D 1 1)" >/dev/null
ACC=$(drv --busy accessible "$PID")
[ "$(grep -c . <<<"$ACC")" -eq $((N - 1)) ] && ! grep -q '(D:)' <<<"$ACC" ||
  fail "D: should no longer be an accessible child"
check "OK closes the dialog" drv dialog-close "$PID" ok
# The dialog has recomputed the scroll range for one row less.
expect_all_rows "$(rows_spec D 1 1)"

step "A restart restores the hidden drive, both options, the maximized window and the hidden toolbar"
drv cmd "$PID" $FLOPPIES
drv cmd "$PID" $REMOVABLES
drv cmd "$PID" $TOOLBAR
check "maximize" drv maximize "$PID"
expect "window state before closing" "maximized=1 toolbar=0 statusbar=1 onscreen=1" drv state "$PID"
close_program
expect "stored floppy option" "dword 0" drv reg Init ViewFloppies
expect "stored removable option" "dword 0" drv reg Init ViewRemoveables
expect "stored D: flag" "dword 0" drv reg Drives "DATA (D:)"
check "stored settings are sound" drv check-store >/dev/null
placement=$(drv reg . Placement)
start_program || exit 1
expect "window state after the restart" "maximized=1 toolbar=0 statusbar=1 onscreen=1" \
  drv state "$PID"
expect_all_rows "$(rows_spec D 0 0)"
grep -qP '\(A:\)\tno media, not queried$' <<<"$(drv accessible "$PID")" ||
  fail "A:, not queried, should read \"no media, not queried\""
drv post "$PID" $VIEW_DRIVES
grep -qx '0 DATA (D:)' <<<"$(drv dialog-items "$PID")" || fail "the dialog should list D: unselected"
check "Cancel closes the dialog" drv dialog-close "$PID" cancel

step "Ctrl+C copies the shown rows as text; a screen reader reads each row's details"
SHOWN=$(rows_spec D 0 0)
COPY=$(drv copy-keys "$PID")
printf '%s\n' "$COPY" | head -3
[ "$(head -1 <<<"$COPY")" = $'Drive\tName\tTotal\tUsed\tFree\tUsed %\tChange/day\tFull in' ] ||
  fail "the copy should begin with its header line"
[ "$(grep -c . <<<"$COPY")" -eq $(($(count_rows "$SHOWN") + 1)) ] ||
  fail "the copy should hold one line per shown row"
grep -qP '^A:\t[^\t]*\(A:\)\t\t\t\tnot queried\t\t$' <<<"$COPY" || fail "A: should copy as not queried"
# L:'s change a day once it has a trend (its forecast stays empty: it holds steady).
grep -qP '^L:\t数据 \(L:\)(\t\d+\.\d\d[GMK]B){3}\t\d+%\t([+-]\d+\.\d\d[GMK]B)?\t$' <<<"$COPY" ||
  fail "L: should copy its figures"
DESC=$(drv describe "$PID")
[ "$(head -1 <<<"$DESC")" = Drives ] || fail "the list should be named \"Drives\""
grep -qP '^数据 \(L:\)\t数据 \(L:\) \| [^|]+ \| Total \d+\.\d\d[GMK]B, used \d+\.\d\d[GMK]B \(\d+%\), free \d+\.\d\d[GMK]B( \| [+-]\d+\.\d\d[GMK]B in the last [^|]+)?$' \
  <<<"$DESC" || fail "L: should be described by name, type and figures"
grep -qP '\(F:\)\t[^|]*\(F:\) \| [^|]* \| no media$' <<<"$DESC" || fail "F: should be described as no media"

step "A double-click on a row opens its drive in the file manager"
# row_of LETTER: the drive's row among the shown ones, from 0.
row_of() { tr ' ' '\n' <<<"$SHOWN" | grep -n "^$1=" | cut -d: -f1 | awk '{ print $1 - 1 }'; }
check "C: opens in a window of its own" drv row-open "$PID" "$(row_of C)" "(C:)"

step "A right-click shows the drive's menu; its Hide This Drive hides the row and stores 0"
G_NAME=$(drv accessible "$PID" | grep -oP '^[^\t]*\(G:\)(?=\t)')
check "right-click on G:, then H" drv row-menu "$PID" "$(row_of G)" h
check "G: stored as hidden" drv expect-reg Drives "$G_NAME" "dword 0" >/dev/null
expect_all_rows "$(rows_spec "D G" 0 0)"
close_program
expect "a maximized start and close store the placement read" "$placement" drv reg . Placement

step "File > Exit with the help window open ends the program"
start_program || exit 1
drv post "$PID" $HELP
check "the help window opens" drv wait-window "$PID" "Tovemar Help"
check "File > Exit ends the program" drv exit "$PID" >/dev/null
PID=""
