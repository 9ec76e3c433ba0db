#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs the whole test suite without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
QUIBEX_TEST_TOOLS=1 bash scripts/setup.sh "$build" "$@"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
