#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Rewrites the C++ files in place as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh clang-format
bash scripts/sources.sh | xargs -d '\n' clang-format -i
