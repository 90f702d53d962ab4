#!/usr/bin/env bash
# The test command: installs what is missing, checks formatting and the module arrows, builds and
# runs every test, runs each fuzzing harness briefly, a short fault matrix and stress run, and
# the unit and integration tests again under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check-format.sh
bash scripts/check-arrows.sh

preset=${VX_PRESET:-release}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2

# A short run of every fuzzing harness (a second build tree, clang with ASan and UBSan), with a
# fixed seed so that the same code always meets the same inputs.
bash scripts/fuzz.sh --seed 1 5

# Short forms of the fault matrix and the stress run (bench/README.md has the long ones).
bash bench/faults/fault_matrix.sh --short
bash bench/stress/stress.sh 4 30

# The unit and integration tests once more under ASan and UBSan (a third build tree, without
# the benchmarks). VX_SANITIZE=0 leaves them out, e.g. for a quick run on a warm tree.
if [ "${VX_SANITIZE:-1}" = 1 ] && [ "$preset" != debug ]; then
  cmake --preset debug -DVX_BUILD_BENCH=OFF >/dev/null
  cmake --build --preset debug
  ctest --preset debug -j2 -L 'unit|integration'
fi
