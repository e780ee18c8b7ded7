#!/usr/bin/env bash
# Sets up, builds and starts Tovemar under Wine, with drives of different
# sizes and fill levels. Without a display it runs on a virtual one, saves a
# screenshot under the build tree and closes again.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
trap cleanup EXIT

ensure_packages
# Only the program and its help file, not the tests and benchmarks.
TOVEMAR_TARGETS=Tovemar build_all
use_prefix wineprefix-run
prepare_demo_drives
# The program from the prefix's C:, with its help file beside it.
mkdir -p "$WINEPREFIX/drive_c/Tovemar"
cp "$BUILD/app/Tovemar.exe" "$WINEPREFIX/drive_c/Tovemar/"
[ -f "$BUILD/app/Tovemar.chm" ] && cp "$BUILD/app/Tovemar.chm" "$WINEPREFIX/drive_c/Tovemar/"
EXE='C:\Tovemar\Tovemar.exe'
# A working folder Wine can name, now that Z: is gone.
cd "$WINEPREFIX/drive_c/Tovemar"

if [ -n "${DISPLAY:-}" ]; then
  wine "$EXE"
  exit 0
fi

ensure_display
start_wineserver
# A virtual desktop gives the window a real frame in the picture.
wine explorer /desktop=Tovemar,900x600 "$EXE" &
APP_PID=$!
for _ in $(seq 100); do
  xdotool search --name '^Tovemar$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 2
SHOT="$BUILD/screenshot.png"
xwd -root -silent | convert xwd:- -crop 900x600+0+0 +repage "$SHOT"
# The picture is the window with a margin of the desktop around it.
DESKTOP=$(convert "$SHOT" -format '%[pixel:p{899,599}]' info:)
convert "$SHOT" -bordercolor "$DESKTOP" -border 1 -trim +repage -border 12 "$SHOT"
echo "$SHOT"
# Close the program as a user would (Alt+F4), so it saves its settings.
WID=$(xdotool search --name '^Tovemar$' | head -n1 || true)
[ -n "$WID" ] && xdotool windowactivate --sync "$WID" key alt+F4 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.2; done
kill "$APP_PID" 2>/dev/null || true
exit 0
