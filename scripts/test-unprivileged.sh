#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the whole test suite as an account without privileges, as most users
# run the program: the rows that need root (mounts, other users) skip, and
# the rows that only mean something without privileges (a file this user
# may not read) run. Needs root, to switch accounts; the tree is copied and
# built where that account can read it, since the work tree's own folders
# may be closed to it. Usage: scripts/test-unprivileged.sh [CMake options].
set -euo pipefail
cd "$(dirname "$0")/.."
account=${QUIBEX_TEST_ACCOUNT:-nobody}
if [ "$(id -u)" -ne 0 ]; then
  echo "test-unprivileged.sh: needs root to run the tests as $account" >&2
  exit 1
fi
work=$(mktemp -d /tmp/quibex-unprivileged.XXXXXX)
trap 'rm -rf "$work"' EXIT
git ls-files -z | xargs -0 cp --parents -t "$work"
mkdir "$work/home"
QUIBEX_TEST_TOOLS=1 bash "$work/scripts/setup.sh" "$work/build" "$@"
chmod -R a+rX "$work"
chown -R "$account" "$work/build" "$work/home"
cd "$work/build"
runuser -u "$account" -- env HOME="$work/home" QT_QPA_PLATFORM=offscreen ctest --output-on-failure
