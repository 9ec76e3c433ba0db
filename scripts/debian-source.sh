#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building the Debian package needs (debian/control's
# Build-Depends), then copies the source into FOLDER/quibex-VERSION and
# prints that path. dpkg-buildpackage writes its results beside the folder
# it builds in: a copy keeps them, and the build, out of the work tree.
# What is copied is what a clean clone holds, with the edits not yet
# committed: no build folder, nothing git ignores.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$1

bash scripts/install-packages.sh dpkg-dev debhelper >&2
if ! dpkg-checkbuilddeps >/dev/null 2>&1; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" \
    apt-get build-dep -y -q --no-install-recommends "$PWD" >&2
fi

version=$(dpkg-parsechangelog -S Version)
tree=$out/quibex-$version
rm -rf "$tree"
mkdir -p "$tree"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard \
    | while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done \
    | tar --null -T - -cf - | tar -xf - -C "$tree"
else
  tar --exclude='./build*' -cf - . | tar -xf - -C "$tree"
fi
echo "$tree"
