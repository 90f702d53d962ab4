#!/usr/bin/env bash
# The main job: installs what is missing, builds, and shows the session hand-over working on a
# temporary shared folder (never the user's own).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target keyferry >/dev/null

bin=build/release/src/keyferry/keyferry
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home"
folder="$home/Q7MZ2K4XB9.$(sed -n 's/^VX_APP_BUNDLE_ID:STRING=//p' build/release/CMakeCache.txt)"

echo "== keyferry save (session handed to the widgets)"
printf '{"api":"http://localhost:8080","token":"demo-token"}' | "$bin" save
ls -l "$folder"
echo "== keyferry forget (session withdrawn)"
"$bin" forget
ls -l "$folder"
echo "== keyferry with an unknown command"
"$bin" unknown || echo "exit status $?"
