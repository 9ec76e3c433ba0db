#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package in build-package/ (tests left out) and checks it
# as a distribution would: lintian on the package, desktop-file-validate on
# the menu entry, appstreamcli on the metainfo. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-packages.sh dpkg-dev lintian desktop-file-utils appstream

build=build-package
bash scripts/setup.sh "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >&2
(cd "$build" && cpack -G DEB >&2)
# The version is the one project() in CMakeLists.txt gives.
version=$(sed -n 's/^project(quibex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$(ls "$build"/quibex_"$version"_*.deb)

desktop-file-validate packaging/quibex.desktop >&2
# The id is the program's name, not a reversed domain name: the project owns
# no domain. That one warning is expected; anything else fails.
report=$(appstreamcli validate --no-net "$build"/packaging/quibex.metainfo.xml 2>&1 || true)
unexpected=$(printf '%s\n' "$report" | grep -E '^[EWI]:' | grep -v 'cid-desktopapp-is-not-rdns' || true)
if [ -n "$unexpected" ]; then
  printf '%s\n' "$report" >&2
  exit 1
fi
# lintian exits non-zero on any error; warnings are shown.
lintian --tag-display-limit 0 "$deb" >&2
echo "$deb"
