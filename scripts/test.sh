#!/usr/bin/env bash
# The test command: installs what is missing, checks formatting and the module arrows, builds and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check-format.sh
bash scripts/check-arrows.sh

preset=${VX_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
