#!/usr/bin/env bash
# Builds QUIBEX and takes the README's screenshot (docs/screenshot.png) under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
QUIBEX_TEST_TOOLS=1 bash scripts/setup.sh build >/dev/null
dpkg -s imagemagick >/dev/null 2>&1 || {
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends imagemagick
}
mkdir -p docs
/usr/bin/python3 scripts/screenshot.py build docs/screenshot.png
