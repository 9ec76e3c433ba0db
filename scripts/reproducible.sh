#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the binary packages twice from the same source, as differently as
# one machine allows, and fails unless each .deb of one build is the same,
# byte for byte, as the other's:
#   - in two folders of different names and depths,
#   - under umasks 022 and 002, in time zones 14 hours apart, with the
#     C.UTF-8 and the C locale,
#   - one after the other, from copies whose files carry the work tree's
#     times in one and the time of the copy in the other.
# The test suite is left out (nocheck): it changes nothing in the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-reproducible
rm -rf "$out"

# build TREE UMASK TZ LOCALE: the binary packages, beside TREE.
build() {
  local log=$1.log
  if ! (cd "$1" && umask "$2" && TZ=$3 LC_ALL=$4 DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -us -uc -b -J"$(nproc)") >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "reproducible: the build in $1 failed (whole log: $log)" >&2
    exit 1
  fi
}

first=$(umask 022 && bash scripts/debian-source.sh "$out/a")
build "$first" 022 UTC C.UTF-8
second=$(umask 002 && bash scripts/debian-source.sh "$out/second-build/in/a/deeper/folder")
find "$second" -exec touch {} +
build "$second" 002 XYZ-14 C

same=0 differ=0
for deb in "$(dirname "$first")"/*.deb; do
  other=$(dirname "$second")/$(basename "$deb")
  if cmp -s "$deb" "$other"; then
    same=$((same + 1))
    continue
  fi
  differ=$((differ + 1))
  echo "reproducible: $(basename "$deb") differs between the two builds" >&2
  if [ -f "$other" ]; then
    # What differs: the listing (names, modes, owners, times), then each
    # file's content; diffoscope, where installed, shows inside the files.
    diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$other") >&2 || true
    (
      a=$(mktemp -d) b=$(mktemp -d)
      trap 'rm -rf "$a" "$b"' EXIT
      dpkg-deb -R "$deb" "$a" && dpkg-deb -R "$other" "$b"
      diff -rq "$a" "$b" >&2 || true
    )
    if command -v diffoscope >/dev/null; then diffoscope "$deb" "$other" >&2 || true; fi
  else
    echo "reproducible: the second build made no $(basename "$deb")" >&2
  fi
done
if [ $((same + differ)) -eq 0 ] || [ "$(ls "$(dirname "$second")"/*.deb | wc -l)" -ne $((same + differ)) ]; then
  echo "reproducible: the two builds made different sets of packages" >&2
  exit 1
fi
[ "$differ" -eq 0 ] || exit 1
echo "reproducible: $same packages identical in both builds"
