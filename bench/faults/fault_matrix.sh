#!/usr/bin/env bash
# Every service endpoint the widgets use, each failing in turn in each way the demo service can
# make it fail (a status; half a body, then a stall; a body cut off mid-JSON; a 17 MiB body; a
# redirect to another host; no answer at all), during one "Projects" (28 days) timeline that
# must refresh a stale snapshot.
# Prints one Markdown table row per combination: what the timeline showed, what became of
# "snapshot.json", how long the run took and its peak resident memory.
#
#   bash bench/faults/fault_matrix.sh
#
# Outcomes: "signed out" (sign-in message, no snapshot), "kept" (the previous snapshot),
# "kept, live figures new" (project list and live figures refreshed, the period's figures
# not: periodAt not stamped), "fresh" (periodAt stamped). Files: "deleted", "untouched",
# "replaced".
set -euo pipefail
cd "$(dirname "$0")/../.."

cmake --preset release >/dev/null
cmake --build --preset release --target vantorix-widgets keyferry vantorix-demo-service >/dev/null
bin=build/release/src
work=$(mktemp -d)
demo_pid=
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export TZ=UTC LANG=C.UTF-8

endpoints=(
  "project list|^/v1/projects$"
  "summary|/analytics/summary"
  "timeseries|/analytics/timeseries"
  "business report|/analytics/business-report"
  "realtime|/analytics/realtime"
  "inbox|/inbox"
  "articles|/articles"
  "favicon|^/v1/favicons/"
  "push token report|^/v1/widgets/push-token"
)
faults=(401 403 404 500 stall malformed oversize redirect hang)
previous=fuzz/corpus/snapshot/days28-and-7

# One combination: a fresh shared folder holding the previous (stale) snapshot and a session.
run() {
  local name=$1 pattern=$2 fault=$3 options=()
  case "$fault" in
    stall) options=(--stall "$pattern") ;;
    malformed | oversize | redirect | hang) options=(--fault "$fault:$pattern") ;;
    *) options=(--status "$fault:$pattern") ;;
  esac
  rm -rf "$work/data" "$work/session.json"
  "$bin/demo/vantorix-demo-service" --port 0 --ready-file "$work/session.json" "${options[@]}" \
    >/dev/null 2>&1 &
  demo_pid=$!
  for _ in $(seq 100); do [ -s "$work/session.json" ] && break; sleep 0.1; done
  XDG_DATA_HOME="$work/data" "$bin/keyferry/keyferry" save <"$work/session.json"
  local folder
  folder=$(dirname "$(find "$work/data" -name session.json)")
  cp "$previous" "$folder/snapshot.json"
  local started=$(date +%s%N)
  XDG_DATA_HOME="$work/data" /usr/bin/time -f "%M" -o "$work/rss" \
    "$bin/widgets/vantorix-widgets" timeline --kind AllProjectsWidget --period days28 \
    --push-token 0aff >"$work/answer" 2>"$work/error" || echo "exit $?" >>"$work/error"
  local elapsed=$((($(date +%s%N) - started) / 1000000))
  kill "$demo_pid" 2>/dev/null || true
  wait "$demo_pid" 2>/dev/null || true
  demo_pid=
  node -e '
    const fs = require("fs");
    const [answerFile, previousFile, current, pushFile, name, fault, ms, rssFile] = process.argv.slice(1);
    const previous = JSON.parse(fs.readFileSync(previousFile, "utf8"));
    const answer = JSON.parse(fs.readFileSync(answerFile, "utf8"));
    const entry = answer.entries[0];
    let outcome;
    if (!entry.snapshot) outcome = entry.message.includes("sign in") ? "signed out" : "kept (nothing)";
    else if (entry.snapshot.at === previous.at) outcome = "kept";
    else if (entry.snapshot.periodAt.days28 === previous.periodAt.days28) outcome = "kept, live figures new";
    else outcome = "fresh";
    let file = "deleted";
    if (fs.existsSync(current)) {
      file = fs.readFileSync(current, "utf8") === fs.readFileSync(previousFile, "utf8") ? "untouched" : "replaced";
    }
    const push = fs.existsSync(pushFile) ? "written" : "none";
    const rss = (+fs.readFileSync(rssFile, "utf8").trim() / 1024).toFixed(0);
    console.log(`| ${name} | ${fault} | ${outcome} | ${file} | ${push} | ${(ms / 1000).toFixed(1)} s | ${rss} MB |`);
  ' "$work/answer" "$previous" "$folder/snapshot.json" "$folder/push.json" "$name" "$fault" \
    "$elapsed" "$work/rss"
  [ -s "$work/error" ] && { echo "  standard error: $(head -c 300 "$work/error")"; } || true
}

echo "| Endpoint | Fault | Timeline showed | snapshot.json | push.json | Time | Peak RSS |"
echo "|---|---|---|---|---|---|---|"
run "none" "^/never$" 500
for endpoint in "${endpoints[@]}"; do
  for fault in "${faults[@]}"; do
    run "${endpoint%%|*}" "${endpoint#*|}" "$fault"
  done
done
