#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds QUIBEX and takes the README's screenshot (docs/screenshot.png) under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
QUIBEX_TEST_TOOLS=1 bash scripts/setup.sh build >/dev/null
bash scripts/install-packages.sh imagemagick
mkdir -p docs
/usr/bin/python3 scripts/screenshot.py build docs/screenshot.png
