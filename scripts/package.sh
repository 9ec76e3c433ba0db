#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian source package and the binary packages from it, as a
# distribution builds them (dpkg-buildpackage, the test suite run on the
# way), and checks them with lintian. Everything lands in build-package/;
# prints the path of the program's .deb. debian/tests holds the tests of the
# installed package: autopkgtest build-package/quibex_*.changes -- null
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-package

rm -rf "$out"
tree=$(bash scripts/debian-source.sh "$out")
(cd "$tree" && dpkg-buildpackage -us -uc -J"$(nproc)") >&2

bash scripts/install-packages.sh lintian
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
# Fails on an error or a warning; the pedantic and informational remarks
# are shown, and debian/quibex.lintian-overrides says why those it hides
# are wrong.
lintian --display-info --display-experimental --pedantic --fail-on error,warning \
  --tag-display-limit 0 "$out/quibex_${version}_$arch.changes" >&2
echo "$out/quibex_${version}_$arch.deb"
