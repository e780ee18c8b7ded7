# Shared set-up for run.sh, test.sh and bench.sh: Debian packages, the build,
# a throwaway Wine prefix inside the build tree, a virtual X display and a
# persistent wineserver. Everything started here is stopped by `cleanup`,
# and only what was started here.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TOVEMAR_BUILD:-$ROOT/build}

PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  cmake ninja-build googletest wine wine64 xvfb xdotool x11-apps imagemagick fp-utils-3.2.2
  fuse3 python3 python3-fusepy nsis fonts-wine)

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

say() { printf '== %s\n' "$*" >&2; }

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

build_all() {
  if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja \
      --toolchain "$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$BUILD" ${TOVEMAR_TARGETS:+--target $TOVEMAR_TARGETS}
}

# reg_add KEY ARGS...: `wine reg add KEY ARGS... /f`, asked once more when it
# fails, saying so with what it printed.
reg_add() {
  local out
  out=$(wine reg add "$@" /f 2>&1) && return 0
  say "wine reg add $1 failed; again. It said: $out"
  wine reg add "$@" /f >/dev/null 2>&1
}

# use_prefix NAME: the Wine prefix $BUILD/NAME, created on first use.
use_prefix() {
  export WINEPREFIX="$BUILD/$1"
  # A creation that fails (seen once in a loaded CI run, with no message)
  # is cleared away and tried again; its output shows why.
  local attempt log="$BUILD/$1.wineboot.log"
  for attempt in 1 2 3; do
    [ -f "$WINEPREFIX/system.reg" ] && break
    say "creating Wine prefix $WINEPREFIX"
    if wineboot -i >"$log" 2>&1 && wineserver -w && [ -f "$WINEPREFIX/system.reg" ]; then
      break
    fi
    say "creating the prefix failed (attempt $attempt); wineboot said:"
    tail -n 20 "$log" >&2 || true
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  done
  [ -f "$WINEPREFIX/system.reg" ] || { say "cannot create the Wine prefix $WINEPREFIX"; return 1; }
  # Wine draws the caption buttons with Marlett, from the prefix's font folder
  # only; without it they show as letters.
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ] && mkdir -p "$fonts" && cp "$marlett" "$fonts/"
  return 0
}

# The drives of the test prefix: a floppy A:, C:, a labelled D:, a removable E:,
# K: and L: labelled in Cyrillic and Chinese (labels are read as UTF-8),
# an optical F: without a medium, a network N:, and enough further fixed
# drives (G: to M:, O: to T:) that the rows need a scroll bar. W: is typed as
# a network drive, which mount_slow_drive maps.
prepare_test_drives() {
  local drives="$BUILD/drives" dos="$WINEPREFIX/dosdevices"
  mkdir -p "$drives"
  for l in a d e n g h i j k l m o p q r s t; do mkdir -p "$drives/$l"; ln -sfn "$drives/$l" "$dos/$l:"; done
  echo DATA > "$drives/d/.windows-label"
  echo 'Данные' > "$drives/k/.windows-label"
  echo '数据' > "$drives/l/.windows-label"
  rm -rf "$drives/f-missing"; ln -sfn "$drives/f-missing" "$dos/f:"
  reg_add 'HKLM\Software\Wine\Drives' /v a: /d floppy
  reg_add 'HKLM\Software\Wine\Drives' /v e: /d floppy
  reg_add 'HKLM\Software\Wine\Drives' /v f: /d cdrom
  reg_add 'HKLM\Software\Wine\Drives' /v n: /d network
  reg_add 'HKLM\Software\Wine\Drives' /v w: /d network
  # Without a window manager, destroying a shown window otherwise waits for one.
  reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  wineserver -w
}

# The drives of run.sh's prefix, for a first look: drives of different sizes
# and fill levels, labelled ones, a removable one, a network share and an
# optical drive without a disc. Each is a FUSE file system that reports the
# chosen sizes (scripts/fuse_drive.py), or a plain folder where FUSE is not
# available. The prefix drops Z: (the host's root, the same file system as
# C:), so the program runs from C:\Tovemar.
DEMO_MOUNTS=()
DEMO_PIDS=()
prepare_demo_drives() {
  local drives="$BUILD/run-drives" dos="$WINEPREFIX/dosdevices" G=1000000000
  mkdir -p "$drives"
  demo_drive d hd $((2000 * G)) $((1240 * G)) Data
  demo_drive e hd $((1000 * G)) $((58 * G)) Games
  demo_drive g floppy $((64 * G)) $((52 * G)) "USB stick"
  demo_drive h hd $((4000 * G)) $((705 * G)) Backup
  demo_drive n network $((8000 * G)) $((2910 * G)) ""
  rm -f "$dos/z:"
  rm -rf "$drives/f-no-disc"
  ln -sfn "$drives/f-no-disc" "$dos/f:"
  reg_add 'HKLM\Software\Wine\Drives' /v f: /d cdrom
  wineserver -w
}
# demo_drive LETTER TYPE TOTAL FREE LABEL
demo_drive() {
  local letter=$1 type=$2 total=$3 free=$4 label=$5 dir="$BUILD/run-drives/$1"
  fusermount -uz "$dir" 2>/dev/null || true # left mounted by an interrupted run
  rm -rf "$dir" && mkdir -p "$dir"
  if [ -e /dev/fuse ] && /usr/bin/python3 -c 'import fusepy' 2>/dev/null; then
    "$ROOT/scripts/fuse_drive.py" "$dir" --total "$total" --free "$free" --label "$label" \
      >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 50); do mountpoint -q "$dir" && break; sleep 0.1; done
    if mountpoint -q "$dir"; then
      DEMO_MOUNTS+=("$dir") DEMO_PIDS+=("$pid")
    else
      kill "$pid" 2>/dev/null
      say "no FUSE drive for $letter: a plain folder instead"
    fi
  fi
  mountpoint -q "$dir" || { [ -z "$label" ] || echo "$label" >"$dir/.windows-label"; }
  ln -sfn "$dir" "$WINEPREFIX/dosdevices/$letter:"
  reg_add 'HKLM\Software\Wine\Drives' /v "$letter:" /d "$type"
}

# mount_slow_drive: maps W: to a FUSE file system (100 GB, label SLOW) whose
# answers to Wine programs take as many seconds as the file $SLOW_DELAY_FILE
# says (set_slow_delay), 0 to begin with, and whose free bytes the file
# $SLOW_FREE_FILE says (set_slow_free), 40 GB to begin with: a network share
# that a test can make slow and fill. Wine reads the drive letters when its server
# starts, so this runs before start_wineserver; cleanup unmounts it.
SLOW_PID=""
SLOW_MNT="$BUILD/drives/slow"
SLOW_DELAY_FILE="$BUILD/drives/slow.delay"
SLOW_FREE_FILE="$BUILD/drives/slow.free"
SLOW_FREE=$((40 << 30))
mount_slow_drive() {
  unmount_slow_drive
  # A link left by an earlier run would make W: an empty folder drive.
  rm -f "$WINEPREFIX/dosdevices/w:"
  [ -e /dev/fuse ] || { say "no /dev/fuse: no slow drive W:"; return 1; }
  mkdir -p "$SLOW_MNT"
  set_slow_delay 0
  set_slow_free "$SLOW_FREE"
  /usr/bin/python3 "$ROOT/scripts/fuse_drive.py" "$SLOW_MNT" --label SLOW \
    --delay-file "$SLOW_DELAY_FILE" --free-file "$SLOW_FREE_FILE" </dev/null >/dev/null 2>&1 &
  SLOW_PID=$!
  for _ in $(seq 100); do mountpoint -q "$SLOW_MNT" && break; sleep 0.1; done
  mountpoint -q "$SLOW_MNT" || { say "the slow drive W: did not mount"; return 1; }
  ln -sfn "$SLOW_MNT" "$WINEPREFIX/dosdevices/w:"
}
set_slow_delay() { echo "$1" >"$SLOW_DELAY_FILE"; }
set_slow_free() { echo "$1" >"$SLOW_FREE_FILE"; }
unmount_slow_drive() {
  # Lazily: also a mount whose file system process has died.
  fusermount3 -uz "$SLOW_MNT" 2>/dev/null || true
  if [ -n "$SLOW_PID" ]; then
    kill "$SLOW_PID" 2>/dev/null || true
    wait "$SLOW_PID" 2>/dev/null || true
  fi
  SLOW_PID=""
  return 0
}

# use_scaled_prefix DPI [NAME]: the prefix NAME (default wineprefix-dpiDPI),
# whose display scaling is DPI (LogPixels, read when its wineserver starts),
# set up for windows without a window manager. Leaves no wineserver of its
# own running.
use_scaled_prefix() {
  use_prefix "${2:-wineprefix-dpi$1}" || return 1
  reg_add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" &&
    reg_add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
      /v LogPixels /t REG_DWORD /d "$1" &&
    reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N || return 1
  wineserver -k 2>/dev/null || true
  wineserver -w
}

XVFB_PID=""
WINESERVER_STARTED=""

ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local file="$BUILD/xvfb.display"
  rm -f "$file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$file" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$file")"
  say "virtual display $DISPLAY"
}

start_wineserver() {
  wineserver -p && WINESERVER_STARTED=1
  # Start Wine's background services now, with their output detached: started
  # later by a test, they would inherit CTest's output pipes and hold it open.
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}

cleanup() {
  unmount_slow_drive
  [ -n "$WINESERVER_STARTED" ] && wineserver -k 2>/dev/null
  local m p
  # Each step may fail (a drive already gone) without skipping the others.
  for m in "${DEMO_MOUNTS[@]}"; do fusermount -uz "$m" 2>/dev/null || true; done
  for p in "${DEMO_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  return 0
}

# program_pid WINDOWS_PATH: the Linux pid of the program running in this
# prefix that was started as WINDOWS_PATH (Wine gives it that command line);
# the one started last, as an earlier one may linger while a thread of it
# still waits in a slow file system.
program_pid() {
  local p found="" start newest=-1
  for p in /proc/[0-9]*; do
    [ "$(tr -d '\0' 2>/dev/null <"$p/cmdline" | sed 's/ *$//')" = "$1" ] &&
      tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    start=$(sed 's/.*) //' "$p/stat" 2>/dev/null | awk '{ print $20 }') || continue
    [ -n "$start" ] && [ "$start" -gt "$newest" ] && newest=$start found=${p#/proc/}
  done
  [ -n "$found" ] && echo "$found"
}
# ui_activity PID: "WAKE-UPS TICKS" of a program's UI thread (under Wine the
# process's first Linux thread): its context switches and the processor time
# it used, in clock ticks (1/100 s).
ui_activity() {
  local t="/proc/$1/task/$1"
  echo "$(awk '/ctxt_switches/ { n += $2 } END { print n }' "$t/status") $(awk '{ print $14 + $15 }' "$t/stat")"
}
# cpu_ms PID: the processor time a whole Linux process has used, in ms.
cpu_ms() { awk '{ print ($14 + $15) * 10 }' "/proc/$1/stat"; }
