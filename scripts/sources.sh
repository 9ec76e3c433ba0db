#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the C++ files the format and tidy scripts look at, one a line,
# relative to the top folder: the product's with "product", else every one
# (the tests and benchmarks too).
set -euo pipefail
cd "$(dirname "$0")/.."
product=(app browser form join ordering selection toolkit widgets)
if [ "${1:-}" = product ]; then
  find "${product[@]}" -name '*.cpp' | sort
  echo main.cpp
else
  find "${product[@]}" tests bench \( -name '*.cpp' -o -name '*.h' \) | sort
  echo main.cpp
fi
