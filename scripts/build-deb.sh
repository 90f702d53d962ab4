#!/usr/bin/env bash
# Builds the Debian packages as the distribution does: dpkg-buildpackage -us -uc -b in a clean
# clone of the committed tree (HEAD) in a scratch folder, then lintian --pedantic on the result.
# With --twice, builds again in a second clone under another path and compares the packages
# byte for byte (SOURCE_DATE_EPOCH comes from debian/changelog, -ffile-prefix-map from
# dpkg-buildflags).
#
# usage: bash scripts/build-deb.sh [--twice] [OUT]   (the packages land in OUT, default build/deb)
# DEB_BUILD_OPTIONS passes through (e.g. nocheck); parallel= defaults to the number of cores.
set -euo pipefail
cd "$(dirname "$0")/.."
twice=0
if [ "${1:-}" = --twice ]; then
  twice=1
  shift
fi
out=$(realpath -m "${1:-build/deb}")
commit=$(git rev-parse HEAD)
if [[ ${DEB_BUILD_OPTIONS:-} != *parallel=* ]]; then
  DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)"
  export DEB_BUILD_OPTIONS
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Builds in a clone under folder $1; the packages land in $1.
build() {
  local started=$SECONDS
  git clone -q --no-checkout . "$1/vantorix-widgets"
  git -C "$1/vantorix-widgets" checkout -q "$commit"
  if ! (cd "$1/vantorix-widgets" && dpkg-buildpackage -us -uc -b) >"$1/build.log" 2>&1; then
    tail -n 60 "$1/build.log" >&2
    echo "build-deb: dpkg-buildpackage failed (log: $1/build.log)" >&2
    return 1
  fi
  echo "build-deb: built $commit in $((SECONDS - started)) s"
}

build "$scratch/first"
mkdir -p "$out"
cp "$scratch"/first/*.deb "$scratch"/first/*.buildinfo "$scratch"/first/*.changes "$out/"
as_root=()
[ "$(id -u)" != 0 ] || as_root=(--allow-root)
lintian "${as_root[@]}" --pedantic --display-info "$out"/*.changes || true

if [ "$twice" = 1 ]; then
  build "$scratch/second-build"
  same=0 differ=0
  for deb in "$scratch"/first/*.deb; do
    other=$scratch/second-build/${deb##*/}
    if cmp -s "$deb" "$other"; then
      same=$((same + 1))
    else
      differ=$((differ + 1))
      echo "build-deb: ${deb##*/} differs between the two builds; its listings:" >&2
      diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$other") >&2 || true
    fi
  done
  echo "build-deb: $same package(s) identical, $differ differing"
  [ "$differ" = 0 ]
fi
echo "build-deb: packages in $out"
