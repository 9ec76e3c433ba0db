#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what a fresh Debian 12 machine lacks to build QUIBEX, then builds it
# in build/ (or in the folder given as first argument, with extra CMake options after it).
# QUIBEX_TARGET=quibex builds the program alone, without the tests and benchmarks
# (QUIBEX_TARGET="tst_join tst_window_join": those targets alone).
set -euo pipefail
cd "$(dirname "$0")/.."

# To build: the compiler, CMake and Qt. To run: Qt's French texts and the
# font the captions were measured for.
packages=(cmake make g++ qt6-base-dev qt6-translations-l10n fonts-liberation2)
# To test (QUIBEX_TEST_TOOLS=1): the join on a FAT file system, on a
# failing one (python3-fusepy) and through a second mount of a folder
# (bindfs), all mounted through FUSE; the join ended at each of its system
# calls (strace); the installed
# program from outside, with a private X server, xdotool, xprop and the
# accessibility bus; the captions in the fonts that stand in for Liberation
# Sans where it is not installed.
if [ "${QUIBEX_TEST_TOOLS:-0}" = 1 ]; then
  packages+=(fusefat dosfstools python3-fusepy bindfs strace xvfb xdotool x11-utils dbus at-spi2-core python3-pyatspi
             fonts-croscore fonts-urw-base35)
fi
bash scripts/install-packages.sh "${packages[@]}"

build=${1:-build}
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
# shellcheck disable=SC2086 # several targets are several words
cmake --build "$build" -j"$(nproc)" ${QUIBEX_TARGET:+--target $QUIBEX_TARGET}
