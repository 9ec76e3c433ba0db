#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program (not its tests and
# benchmarks, which a first run need not wait for), and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."
QUIBEX_TARGET=quibex bash scripts/setup.sh build
exec build/quibex
