#!/usr/bin/env bash
# Sets up and builds Tovemar's packages for Windows users: a per-user
# installer and a portable zip, in build/packages. Prints their paths.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"

ensure_packages
TOVEMAR_TARGETS=packages build_all
ls -1 "$BUILD"/packages/Tovemar-*
