#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the whole test suite as an account without privileges, as most users
# run the program: the rows that need root (mounts, other users) skip, and
# the rows that only mean something without privileges (a file this user
# may not read) run. Needs root, to switch accounts.
# Usage: scripts/test-unprivileged.sh [build folder] [CMake options].
# A build folder that account can reach where it stands is used as it is;
# otherwise (a work tree under a closed home folder, say) the tree is copied
# and built again where it can.
set -euo pipefail
cd "$(dirname "$0")/.."
account=${QUIBEX_TEST_ACCOUNT:-nobody}
build=${1:-build}
shift || true
if [ "$(id -u)" -ne 0 ]; then
  echo "test-unprivileged.sh: needs root to run the tests as $account" >&2
  exit 1
fi
work=$(mktemp -d /tmp/quibex-unprivileged.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/home"
chown "$account" "$work/home"
if [ -f "$build/CTestTestfile.cmake" ] \
  && runuser -u "$account" -- test -r "$PWD/CMakeLists.txt" -a -x "$PWD/$build/tests"; then
  tree=$PWD/$build
else
  git ls-files -z | xargs -0 cp --parents -t "$work"
  QUIBEX_TEST_TOOLS=1 bash "$work/scripts/setup.sh" "$work/build" "$@"
  chmod -R a+rX "$work"
  tree=$work/build
fi
# CTest writes its logs in the build folder, and an install (the end-to-end
# test's) its manifest.
mkdir -p "$tree/Testing"
touch "$tree/install_manifest.txt"
chown -R "$account" "$tree/Testing" "$tree/install_manifest.txt"
cd "$tree"
runuser -u "$account" -- env HOME="$work/home" QT_QPA_PLATFORM=offscreen ctest --output-on-failure
