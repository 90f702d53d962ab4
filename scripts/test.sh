#!/usr/bin/env bash
# The test command: installs what is missing, checks formatting and the module arrows, builds and
# runs every test, then runs each fuzzing harness briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check-format.sh
bash scripts/check-arrows.sh

preset=${VX_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2

# A short run of every fuzzing harness (a second build tree, clang with ASan and UBSan).
bash scripts/fuzz.sh 5

# With VX_SANITIZE=1, the unit and integration tests once more under ASan and UBSan (a third
# build tree; see bench/README.md for what it costs).
if [ "${VX_SANITIZE:-0}" = 1 ] && [ "$preset" != debug ]; then
  cmake --preset debug >/dev/null
  cmake --build --preset debug
  ctest --preset debug -j2 -L 'unit|integration'
fi
