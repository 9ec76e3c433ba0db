#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails, naming each place, when a C++ file differs from what clang-format
# (.clang-format) would make of it. scripts/format.sh applies it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh clang-format
bash scripts/sources.sh | xargs -d '\n' clang-format --dry-run --Werror
