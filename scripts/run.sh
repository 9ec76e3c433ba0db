#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
exec build/quibex
