#!/usr/bin/env bash
# Sets up, builds and runs every test of Tovemar under Wine (CTest).
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
trap cleanup EXIT

ensure_packages
build_all
use_prefix wineprefix-test
prepare_test_drives
mount_slow_drive || say "no slow drive W: (needs fuse3 and /dev/fuse); the tests that need it are skipped"
ensure_display
start_wineserver
export TOVEMAR_TEST_DRIVES="$BUILD/drives"
# Tests that share the display, the drives or a registry key hold a lock;
# the others run side by side, one per core.
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)" "$@"
