#!/usr/bin/env bash
# Runs the view's DPI tests in Wine prefixes at 120, 144, 168 and 192 DPI
# (display scaling 125, 150, 175 and 200 %), each kept in the build tree for
# the next run.
# Usage: dpi.sh BUILD_DIR TEST_EXE
set -euo pipefail
export TOVEMAR_BUILD=$1
TEST_EXE=$2
source "$(dirname "$0")/../../scripts/common.sh"

# Whatever ends the script, the scaled prefix in use keeps no server behind.
trap 'wineserver -k 2>/dev/null || true' EXIT
status=0
for dpi in 120 144 168 192; do
  use_scaled_prefix "$dpi"
  say "view DPI tests at $dpi DPI"
  TOVEMAR_EXPECT_DPI=$dpi wine "$TEST_EXE" || status=1
  wineserver -k 2>/dev/null || true
done
exit $status
