#!/usr/bin/env bash
# Builds the libFuzzer harnesses (the "fuzz" preset: clang, ASan, UBSan) and runs each one for a
# while, starting from its seed corpus in fuzz/corpus/<harness>/. New inputs go to a scratch
# folder, never into the committed seeds; an input that fails is kept in build/fuzz/artifacts/.
#
#   bash scripts/fuzz.sh [--seed N] [--runs N] [SECONDS] [HARNESS...]
#
# SECONDS per harness (default 5; bench/README.md gives the long run); HARNESS names as in
# fuzz/corpus/ (default: all of them). --seed fixes libFuzzer's random seed: the test command
# uses it so that its verdict depends on the code, not on which inputs chance tried; long runs
# leave it out and explore anew each time. --runs ends each harness after that many executions
# instead (SECONDS is then only a ceiling): `--runs 10000000 86400` is the long run.
set -euo pipefail
cd "$(dirname "$0")/.."

seed=()
runs=()
while [ $# -gt 1 ]; do
  case "$1" in
    --seed) seed=("-seed=$2") ;;
    --runs) runs=("-runs=$2") ;;
    *) break ;;
  esac
  shift 2
done
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

# Inputs longer than this are not generated (libFuzzer's default is the largest seed, at least
# 4096 bytes). The snapshot's largest seeds are 16 KB documents; every member is also in its
# small one-project seed, and 4 KB inputs run about four times as fast.
max_len() {
  case "$1" in
    snapshot) echo 4096 ;;
    *) echo 0 ;;
  esac
}

failed=0
for harness in "${harnesses[@]}"; do
  mkdir -p "$work/$harness"
  log="$work/$harness.log"
  started=$(date +%s)
  if build/fuzz/fuzz/fuzz_"$harness" "$work/$harness" "fuzz/corpus/$harness" \
      "${seed[@]}" "${runs[@]}" -max_len="$(max_len "$harness")" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$harness-" >"$log" 2>&1; then
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
    echo "fuzz_$harness: ${executed:-?} executions in $(($(date +%s) - started)) s, peak RSS ${rss:-?} MB, no failure"
  else
    echo "fuzz_$harness: FAILED (input kept in $artifacts/)" >&2
    tail -n 60 "$log" >&2
    failed=1
  fi
done
exit "$failed"
