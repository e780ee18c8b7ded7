# Shared by the end-to-end scripts. Sourced with the driver and Tovemar.exe
# as $1 and $2; runs in the Wine prefix, display and wineserver that test.sh
# prepared (WINEPREFIX, DISPLAY, TOVEMAR_TEST_DRIVES).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

DRIVER=$1
EXE_UNIX=$2
# The program as Windows sees it: Z: is the root of the Unix file system.
EXE="Z:${EXE_UNIX//\//\\}"
DOS="$WINEPREFIX/dosdevices"
DRIVES="${TOVEMAR_TEST_DRIVES:-}"
FAILURES=0
PID=""

if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ] || [ -z "$DRIVES" ]; then
  echo "needs the prefix, display and drives that ./test.sh prepares" >&2
  exit 1
fi
# The slow drive W:'s control files, where test.sh's mount_slow_drive put them.
SLOW_DELAY_FILE="$DRIVES/slow.delay" SLOW_FREE_FILE="$DRIVES/slow.free"

# Tovemar and the driver run on a Wine virtual desktop of the display's size:
# without a window manager, Wine would not resize a maximized window on the
# X display, and the rows it draws there could not be read.
DESKTOP_REG=$(mktemp --suffix=.reg)
desktop() { # desktop on|off
  local value='"TovemarE2E"' size='"1024x768"'
  [ "$1" = off ] && value=- size=-
  cat >"$DESKTOP_REG" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Tovemar.exe\\Explorer]
"Desktop"=$value

[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\${DRIVER##*/}\\Explorer]
"Desktop"=$value

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"TovemarE2E"=$size
REG
  wine regedit /s "Z:${DESKTOP_REG//\//\\}" 2>/dev/null
}
desktop on

# The exit status that CTest reports as a skipped test (SKIP_RETURN_CODE).
SKIPPED=77
# Ends the script as skipped unless the slow drive W: is mounted: without
# FUSE (no /dev/fuse, as in many containers) test.sh cannot map it.
needs_slow_drive() {
  mountpoint -q "$DRIVES/slow" && [ -f "$SLOW_DELAY_FILE" ] && [ -e "$DOS/w:" ] && return 0
  echo "skipped: needs the slow drive W: (fuse3 and /dev/fuse), which ./test.sh maps" >&2
  desktop off
  exit "$SKIPPED"
}

# The driver, without Wine's notes about drives it cannot label.
# Status 1 is Wine's own: the driver never ends with it. Twice in CI runs a
# driver query ended so with no output and no message, between checks that
# passed on the same window: Wine did not run it. It is run once more, and
# said so.
drv() {
  local status=0
  wine "$DRIVER" "$@" 2> >(grep -v 'FS volume label' >&2) || status=$?
  [ "$status" -eq 1 ] || return "$status"
  echo "note: Wine did not run the driver ($*: status 1); once more" >&2
  wine "$DRIVER" "$@" 2> >(grep -v 'FS volume label' >&2)
}

step() { printf '\n== %s\n' "$*"; }
fail() {
  printf 'FAILED: %s\n' "$*" >&2
  FAILURES=$((FAILURES + 1))
}
# check DESCRIPTION COMMAND...: runs the command; a failure is counted.
check() {
  local what=$1
  shift
  "$@" || fail "$what"
}
# expect DESCRIPTION WANT COMMAND...: the command's output must equal WANT.
expect() {
  local what=$1 want=$2 got status
  shift 2
  got=$("$@") && status=0 || status=$?
  [ "$got" = "$want" ] || fail "$what: got \"$got\" (status $status), want \"$want\""
}

# start_program [SHOW]: starts Tovemar, SHOW its start-up show command if given.
start_program() {
  PID=$(drv start "$EXE" "$@")
  [ -n "$PID" ] || { fail "Tovemar did not start"; return 1; }
}
close_program() {
  [ -n "$PID" ] || return 0
  check "Tovemar ends when its window is closed" drv close "$PID" >/dev/null
  PID=""
}
finish() {
  [ -n "$PID" ] && drv kill "$PID"
  drv reg-clear
  desktop off
  rm -f "$DESKTOP_REG"
  # The script's status: a trap's own return value would not be it.
  [ "$FAILURES" -eq 0 ] && { echo "all passed"; exit 0; }
  echo "$FAILURES check(s) failed"
  exit 1
}

# The drive letters, upper case, in the platform's order.
drive_letters() { drv drive-letters; }

# Letters of the drives that Wine reports as removable (type "floppy").
removable_letters() {
  wine reg query 'HKLM\Software\Wine\Drives' 2>/dev/null | tr -d '\r' |
    awk 'tolower($3) == "floppy" { print toupper(substr($1, 1, 1)) }' | tr '\n' ' '
}
REMOVABLE=$(removable_letters)

# has_medium LETTER: the drive's link leads to an existing directory.
has_medium() { [ -d "$DOS/$(echo "$1" | tr A-Z a-z):/" ]; }

# rows_spec HIDDEN FLOPPIES REMOVABLES: the expected rows, top to bottom, for
# the current drives with the letters in HIDDEN hidden and the two update
# options on (1) or off (0): "A=bar+text C=bar+text ... F=light ...".
rows_spec() {
  local hidden=" $1 " floppies=$2 removables=$3 letter kind spec=""
  for letter in $(drive_letters); do
    [[ $hidden == *" $letter "* ]] && continue
    local queried=1
    if [ "$letter" = A ] || [ "$letter" = B ]; then
      queried=$floppies
    elif [[ " $REMOVABLE " == *" $letter "* ]]; then
      queried=$removables
    fi
    if [ "$queried" = 0 ]; then
      kind=dark # not asked for its size
    elif has_medium "$letter"; then
      kind=bar+text
    else
      kind=light # asked, without an answer
    fi
    spec+="$letter=$kind "
  done
  echo "${spec% }"
}

count_rows() { set -- $1; echo $#; }

# The largest scroll position for n rows in a view h pixels high: the range
# counts 33 pixels a row, and the platform keeps the position at most
# nMax - (nPage - 1).
max_scroll() {
  local n=$1 h=$2 overflow=$((33 * $1 - $2))
  [ $overflow -gt 0 ] && echo $((overflow + 1)) || echo 0
}

view_height() { drv view-size "$PID" | awk '{ print $2 }'; }

# expect_all_rows SPEC [--busy]: every row of SPEC at its place, read from the
# top and, scrolled by the thumb, page by page down to the end; the view is
# left at the top. With --busy, while drive answers are still out.
expect_all_rows() {
  local spec=$1 busy=${2:-} h max pos
  h=$(view_height)
  [ -n "$h" ] || { fail "no drive view to read the rows from"; return; }
  max=$(max_scroll "$(count_rows "$spec")" "$h")
  pos=0
  while :; do
    check "rows at scroll position $pos" drv scroll "$PID" 4 "$pos"
    check "rows at scroll position $pos" drv $busy expect-rows "$PID" "$pos" "$spec" >/dev/null
    [ "$pos" -ge "$max" ] && break
    pos=$((pos + h - 64))
    [ "$pos" -gt "$max" ] && pos=$max
  done
  drv scroll "$PID" 4 0
}
