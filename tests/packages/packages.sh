#!/usr/bin/env bash
# The packages, checked from outside: the portable zip's files and program;
# then, in a fresh Wine prefix, a silent install of an older version, an
# upgrade that waits for the running program, the older installer refused
# over the newer version, an uninstall refused while the program runs, and
# a silent uninstall that keeps the settings.
# Usage: packages.sh DRIVER.exe Tovemar.exe VERSION ZIP SETUP OLD_VERSION OLD_SETUP
set -u
DRIVER=$1 EXE=$2 VERSION=$3 ZIP=$4 SETUP=$5 OLD_VERSION=$6 OLD_SETUP=$7
HERE=$(cd "$(dirname "$0")" && pwd)
FAILURES=0
fail() {
  printf 'FAILED: %s\n' "$*" >&2
  FAILURES=$((FAILURES + 1))
}
# expect DESCRIPTION WANT GOT
expect() { [ "$2" = "$3" ] || fail "$1: got \"$3\", want \"$2\""; }
step() { printf '\n== %s\n' "$*"; }

step "The portable zip holds the program, its help and a read-me"
expect "zip contents" "ReadMe.txt Tovemar.chm Tovemar.exe" \
  "$(cmake -E tar tf "$ZIP" | sort | paste -sd' ')"
UNZIPPED=$(mktemp -d)
(cd "$UNZIPPED" && cmake -E tar xf "$ZIP")
cmp -s "$UNZIPPED/Tovemar.exe" "$EXE" || fail "the zip's Tovemar.exe is not the built one"
grep -q "Tovemar $VERSION" "$UNZIPPED/ReadMe.txt" || fail "the read-me does not name version $VERSION"
grep -q $'\r$' "$UNZIPPED/ReadMe.txt" || fail "the read-me has no Windows line ends"
OBJDUMP=x86_64-w64-mingw32-objdump
expect "executable format" "pei-x86-64" \
  "$($OBJDUMP -f "$EXE" | awk '/file format/ { print $NF }')"
$OBJDUMP -t "$EXE" | grep -q 'no symbols' || fail "Tovemar.exe is not stripped"
# OLE32: OLE for the window's thread (shell menus, screen readers) and
# the worker that opens a drive.
for dll in $($OBJDUMP -p "$EXE" | awk '/DLL Name:/ { print toupper($3) }'); do
  case $dll in
  KERNEL32.DLL | USER32.DLL | GDI32.DLL | SHELL32.DLL | COMCTL32.DLL | ADVAPI32.DLL | MSVCRT.DLL | OLE32.DLL) ;;
  *) fail "Tovemar.exe imports $dll, not a system DLL" ;;
  esac
done
# Its own imports come from the system directory only (the load
# configuration's DependentLoadFlags, LOAD_LIBRARY_SEARCH_SYSTEM32), and a
# session host runs it unredirected.
HEADERS=$($OBJDUMP -p "$EXE")
grep -q TERMINAL_SERVICE_AWARE <<<"$HEADERS" || fail "Tovemar.exe is not terminal-server aware"
read -r LC_RVA LC_SIZE < <(awk '/Load Configuration Directory/ { print $3, $4 }' <<<"$HEADERS")
BASE=$(awk '$1 == "ImageBase" { print $2 }' <<<"$HEADERS")
[ "$((16#${LC_SIZE:-0}))" -ge $((0x50)) ] || fail "Tovemar.exe has no load configuration (size 0x${LC_SIZE:-0})"
FLAGS_AT=$((16#$BASE + 16#${LC_RVA:-0} + 0x4E))
expect "DependentLoadFlags (little-endian)" "0008" \
  "$($OBJDUMP -s --start-address=$FLAGS_AT --stop-address=$((FLAGS_AT + 2)) "$EXE" |
    awk '/^ [0-9a-f]+ / { print $2; exit }')"
rm -rf "$UNZIPPED"

step "A fresh prefix"
export WINEPREFIX=$PWD/wineprefix WINEDEBUG=-all
# No menu entries or desktop files in the home folder for the shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -p
PID=""
finish() {
  [ -n "$PID" ] && wine "$DRIVER" kill "$PID" >/dev/null 2>&1
  wineserver -k
  [ "$FAILURES" -eq 0 ] && { echo "all passed"; exit 0; }
  echo "$FAILURES check(s) failed"
  exit 1
}
trap finish EXIT
# Without a window manager, closing a window would wait for one.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

drv() { wine "$DRIVER" "$@" 2> >(grep -v 'FS volume label' >&2); }
unix_path() { winepath -u "$1" 2>/dev/null; }
folder_of() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
INSTALL_WIN="$(folder_of LOCALAPPDATA)\\Programs\\Tovemar"
INSTALL=$(unix_path "$INSTALL_WIN")
LINK=$(unix_path "$(folder_of APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Tovemar.lnk")
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovemar'
SETTINGS_KEY='HKCU\Software\Velmora\Tovemar'
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $NF }'; }
has_key() { wine reg query "$1" >/dev/null 2>&1; }

# An installer reads its own file: it runs from the prefix's drive C:.
install() { # install SETUP.exe [ARGS...]: the installer's exit code
  cp "$1" "$WINEPREFIX/drive_c/setup.exe"
  shift
  wine 'C:\setup.exe' "$@"
}
# install_code SETUP.exe [ARGS...]: prints the installer's whole exit code,
# of which a Linux exit status keeps only the low byte.
install_code() {
  cp "$1" "$WINEPREFIX/drive_c/setup.exe"
  shift
  printf '@start "" /wait C:\\setup.exe %%*\r\n@echo %%errorlevel%%\r\n' >"$WINEPREFIX/drive_c/setup.cmd"
  wine cmd /c 'C:\setup.cmd' "$@" 2>/dev/null | tr -d '\r'
}
# expect_installed VERSION: the installed files, shortcut and entry.
expect_installed() {
  expect "installed files" "Tovemar.chm Tovemar.exe Uninstall.exe" "$(ls "$INSTALL" 2>/dev/null | paste -sd' ')"
  expect "shortcut target and start folder" "$INSTALL_WIN\\Tovemar.exe $INSTALL_WIN" \
    "$(python3 "$HERE/shortcut.py" "$LINK" 2>&1 | paste -sd' ')"
  expect "installed-programs version" "$1" "$(reg_value "$UNINSTALL_KEY" DisplayVersion)"
  expect "installed-programs uninstaller" "\"$INSTALL_WIN\\Uninstall.exe\"" \
    "$(wine reg query "$UNINSTALL_KEY" /v UninstallString 2>/dev/null | tr -d '\r' |
      sed -n 's/.*REG_SZ *//p')"
}
start_installed() {
  PID=$(drv start "$INSTALL_WIN\\Tovemar.exe")
  [ -n "$PID" ] || fail "the installed Tovemar did not show its window"
}
close_installed() {
  [ -n "$PID" ] && { drv close "$PID" >/dev/null || fail "Tovemar did not close"; }
  PID=""
}

step "Silent install of version $OLD_VERSION"
install "$OLD_SETUP" /S
expect "installer exit code" 0 $?
expect_installed "$OLD_VERSION"
start_installed
close_installed
expect "settings written by the installed program" 0x1 "$(reg_value "$SETTINGS_KEY\\Init" ViewFloppies)"
wine reg add "$SETTINGS_KEY\\Init" /v ViewFloppies /t REG_DWORD /d 0 /f >/dev/null 2>&1

step "Upgrade to $VERSION while $OLD_VERSION runs: the installer waits until it is closed"
start_installed
install "$SETUP" /S &
INSTALLER=$!
sleep 3
kill -0 $INSTALLER 2>/dev/null || fail "the installer did not wait for the running program"
close_installed
wait $INSTALLER
expect "installer exit code" 0 $?
expect_installed "$VERSION"
cmp -s "$INSTALL/Tovemar.exe" "$EXE" || fail "the upgrade did not replace Tovemar.exe"
expect "settings kept by the upgrade" 0x0 "$(reg_value "$SETTINGS_KEY\\Init" ViewFloppies)"

step "The older installer, silent, refuses to replace $VERSION: exit code 1638, nothing changed"
BEFORE=$(ls -l --time-style=+%s.%N "$INSTALL")
expect "installer exit code" 1638 "$(install_code "$OLD_SETUP" /S)"
expect_installed "$VERSION"
cmp -s "$INSTALL/Tovemar.exe" "$EXE" || fail "the older installer replaced Tovemar.exe"
expect "the installed files, untouched" "$BEFORE" "$(ls -l --time-style=+%s.%N "$INSTALL")"

step "A silent uninstall while Tovemar runs fails with exit code 32 and removes nothing"
start_installed
# _?= runs the uninstaller in place, so its exit code comes back.
wine "$INSTALL_WIN\\Uninstall.exe" /S "_?=$INSTALL_WIN"
expect "uninstaller exit code" 32 $?
expect_installed "$VERSION"
close_installed

step "Silent uninstall: files, shortcut and entry go, the settings stay"
# The uninstaller runs a copy of itself from the temporary folder and returns
# at once: wait for the files to go.
wine "$INSTALL_WIN\\Uninstall.exe" /S
for _ in $(seq 60); do [ -d "$INSTALL" ] || break; sleep 0.5; done
[ -d "$INSTALL" ] && fail "the program's folder is still there: $(ls "$INSTALL")"
[ -e "$LINK" ] && fail "the shortcut is still there"
has_key "$UNINSTALL_KEY" && fail "the installed-programs entry is still there"
expect "settings kept by the uninstall" 0x0 "$(reg_value "$SETTINGS_KEY\\Init" ViewFloppies)"

