#!/usr/bin/env bash
# Builds the libFuzzer harnesses (the "fuzz" preset: clang, ASan, UBSan) and runs each one for a
# while, starting from its seed corpus in fuzz/corpus/<harness>/. New inputs go to a scratch
# folder, never into the committed seeds; an input that fails is kept in build/fuzz/artifacts/.
#
#   bash scripts/fuzz.sh [--seed N] [SECONDS] [HARNESS...]
#
# SECONDS per harness (default 5; bench/README.md gives the long run); HARNESS names as in
# fuzz/corpus/ (default: all of them). --seed fixes libFuzzer's random seed: the test command
# uses it so that its verdict depends on the code, not on which inputs chance tried; long runs
# leave it out and explore anew each time.
set -euo pipefail
cd "$(dirname "$0")/.."

seed=()
if [ "${1-}" = --seed ]; then
  seed=("-seed=$2")
  shift 2
fi
seconds=${1:-5}
[ $# -gt 0 ] && shift
if [ $# -gt 0 ]; then
  harnesses=("$@")
else
  mapfile -t harnesses < <(ls fuzz/corpus)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"

failed=0
for harness in "${harnesses[@]}"; do
  mkdir -p "$work/$harness"
  log="$work/$harness.log"
  if build/fuzz/fuzz/fuzz_"$harness" "$work/$harness" "fuzz/corpus/$harness" \
      "${seed[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$harness-" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$harness: ${runs:-?} executions in ${seconds} s, no failure"
  else
    echo "fuzz_$harness: FAILED (input kept in $artifacts/)" >&2
    tail -n 60 "$log" >&2
    failed=1
  fi
done
exit "$failed"
