#!/usr/bin/env bash
# Drawing entries for the host, against the demo service in a temporary shared folder:
#   1. cold `render --preview` of each kind's largest family from the cached snapshot, as whole
#      processes (start to file written), RUNS times each;
#   2. one `serve` process answering a timeline of every kind, then a render of every family of
#      every kind (each the first entry of a fresh timeline): its peak footprint (Private_Dirty +
#      Swap of /proc/PID/smaps_rollup) and RSS, sampled every 5 ms, and its thread count.
# Usage: bench/widgets/render_entries.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?build folder, such as build/release}
runs=${2:-5}
bin=$build/src
widgets=$bin/widgets/vantorix-widgets
# shellcheck source=bench/demo_session.sh
source "$(dirname "$0")/../demo_session.sh"

start_signed_in_demo
for kind in ProjectSummaryWidget AllProjectsWidget WaitingWidget; do
  "$widgets" timeline --kind "$kind" >/dev/null  # fills the cache and the favicons
done

echo "== cold render from the cached snapshot (${runs} runs each)"
for pair in ProjectSummaryWidget:systemMedium AllProjectsWidget:systemExtraLarge \
            WaitingWidget:systemLarge; do
  kind=${pair%%:*}
  family=${pair##*:}
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "$kind $family: %e s, max RSS %M KiB" \
      "$widgets" render --kind "$kind" --family "$family" --preview --out "$work/cold.png" \
      >/dev/null
  done
done

echo "== serve: a timeline of every kind, then every family drawn"
requests=$work/requests.jsonl
id=0
for kind in ProjectSummaryWidget AllProjectsWidget WaitingWidget; do
  id=$((id + 1))
  echo "{\"id\":$id,\"op\":\"timeline\",\"kind\":\"$kind\"}" >>"$requests"
done
for pair in ProjectSummaryWidget:systemSmall ProjectSummaryWidget:systemMedium \
            AllProjectsWidget:systemMedium AllProjectsWidget:systemLarge \
            AllProjectsWidget:systemExtraLarge WaitingWidget:systemSmall \
            WaitingWidget:systemMedium WaitingWidget:systemLarge; do
  kind=${pair%%:*}
  family=${pair##*:}
  id=$((id + 1))
  echo "{\"id\":$id,\"op\":\"render\",\"kind\":\"$kind\",\"family\":\"$family\",\"out\":\"$work/$id.png\"}" \
    >>"$requests"
done

mkfifo "$work/in"
${SERVE_PREFIX:-} "$widgets" serve <"$work/in" >"$work/answers.jsonl" &
serve_pid=$!
exec 3>"$work/in"
peak_private=0
peak_rss=0
peak_threads=0
sample() {
  local rollup=/proc/$serve_pid/smaps_rollup
  [ -r "$rollup" ] || return 0
  local private rss threads
  private=$(awk '/^Private_Dirty:|^Swap:/ {s += $2} END {print s + 0}' "$rollup" 2>/dev/null || echo 0)
  rss=$(awk '/^Rss:/ {print $2}' "$rollup" 2>/dev/null || echo 0)
  threads=$(ls "/proc/$serve_pid/task" 2>/dev/null | wc -l)
  [ "${private:-0}" -gt "$peak_private" ] && peak_private=$private
  [ "${rss:-0}" -gt "$peak_rss" ] && peak_rss=$rss
  [ "$threads" -gt "$peak_threads" ] && peak_threads=$threads
  return 0
}
sample
echo "at start: footprint ${peak_private} KiB, RSS ${peak_rss} KiB, threads ${peak_threads}"
cat "$requests" >&3
expected=$(wc -l <"$requests")
while [ "$(wc -l <"$work/answers.jsonl")" -lt "$expected" ] && kill -0 "$serve_pid" 2>/dev/null; do
  sample
  sleep 0.005
done
sample
exec 3>&-
wait "$serve_pid"
errors=$(grep -c '"error"' "$work/answers.jsonl" || true)
echo "answers: $(wc -l <"$work/answers.jsonl"), errors: $errors"
echo "peak footprint (Private_Dirty + Swap) ${peak_private} KiB, peak RSS ${peak_rss} KiB, threads ${peak_threads}"
