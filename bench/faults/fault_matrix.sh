#!/usr/bin/env bash
# Every service endpoint the widgets use, each failing in turn in each way the demo service can
# make it fail (a status; half a body, then a stall; no answer at all; a body cut off mid-JSON;
# a 17 MiB body; a redirect to another host; a connection reset; a body dripping out slower
# than a byte a second, yet never silent for the 15-second no-progress limit), during one
# "Projects" (28 days) timeline that must refresh a stale snapshot.
# Prints one Markdown table row per combination: what the timeline showed, what became of
# "snapshot.json" and "push.json", how long the run took and its peak resident memory; fails
# when any combination ends otherwise than the refresh engine's failure table says, takes
# longer than three minutes, or peaks above 256 MB.
#
#   bash bench/faults/fault_matrix.sh [--short] [-j JOBS]
#
# --short: every endpoint with the faults that end at once, and the slow faults (stall, hang,
# drip) on the project list and the summary only. JOBS combinations run at once (default 8;
# most of their time is spent waiting for a time-out).
#
# Outcomes: "signed out" (sign-in message, no snapshot), "kept" (the previous snapshot),
# "kept, live figures new" (project list and live figures refreshed, the period's figures
# not: periodAt not stamped), "fresh" (periodAt stamped). Files: "deleted", "untouched",
# "replaced"; "written" or "none" for the push registration.
set -euo pipefail
cd "$(dirname "$0")/../.."

short=0
jobs=8
while [ $# -gt 0 ]; do
  case "$1" in
    --short) short=1 ;;
    -j) jobs=$2; shift ;;
    *) echo "usage: $0 [--short] [-j JOBS]" >&2; exit 2 ;;
  esac
  shift
done

cmake --preset release >/dev/null
cmake --build --preset release --target vantorix-widgets keyferry vantorix-demo-service >/dev/null
bin=$PWD/build/release/src
work=$(mktemp -d)
cleanup() {
  kill $(jobs -p) 2>/dev/null || true
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
quick_faults=(401 403 404 500 malformed oversize redirect reset)
slow_faults=(stall hang drip)
previous=$PWD/fuzz/corpus/snapshot/days28-and-7

# What the failure table requires: only a 401 on the project list signs out and deletes the
# snapshot; any other failure of the list keeps the previous snapshot untouched; the period's
# figures failing for every project keep the snapshot unstamped; per-project requests other
# than the summary, favicons and the push report never change the outcome. The push report
# counts as made when its answer is a 200, whatever the body.
expected() {
  local name=$1 fault=$2
  case "$name" in
    none) echo "fresh|replaced|written" ;;
    "project list") [ "$fault" = 401 ] && echo "signed out|deleted|none" || echo "kept|untouched|none" ;;
    summary) echo "kept, live figures new|replaced|none" ;;
    "push token report") [ "$fault" = malformed ] && echo "fresh|replaced|written" || echo "fresh|replaced|none" ;;
    *) echo "fresh|replaced|written" ;;
  esac
}

# One combination: its own demo service and a fresh shared folder holding the previous (stale)
# snapshot and a session. Writes its table row to $dir/row and any problem to $dir/problem.
run() {
  local name=$1 pattern=$2 fault=$3 dir=$4 options=()
  case "$fault" in
    stall) options=(--stall "$pattern") ;;
    drip) options=(--drip "$pattern") ;;
    malformed | oversize | redirect | hang | reset) options=(--fault "$fault:$pattern") ;;
    *) options=(--status "$fault:$pattern") ;;
  esac
  mkdir -p "$dir"
  "$bin/demo/vantorix-demo-service" --port 0 --ready-file "$dir/session.json" "${options[@]}" \
    >/dev/null 2>&1 &
  local demo_pid=$!
  for _ in $(seq 100); do [ -s "$dir/session.json" ] && break; sleep 0.1; done
  XDG_DATA_HOME="$dir/data" "$bin/keyferry/keyferry" save <"$dir/session.json"
  local folder
  folder=$(dirname "$(find "$dir/data" -name session.json)")
  cp "$previous" "$folder/snapshot.json"
  local started=$(date +%s%N)
  XDG_DATA_HOME="$dir/data" /usr/bin/time -f "%M" -o "$dir/rss" timeout 180 \
    "$bin/widgets/vantorix-widgets" timeline --kind AllProjectsWidget --period days28 \
    --push-token 0aff >"$dir/answer" 2>"$dir/error" || echo "exit $?" >>"$dir/error"
  local elapsed=$((($(date +%s%N) - started) / 1000000))
  kill "$demo_pid" 2>/dev/null || true
  wait "$demo_pid" 2>/dev/null || true
  node -e '
    const fs = require("fs");
    const [dir, previousFile, folder, name, fault, ms, expected] = process.argv.slice(1);
    const previous = JSON.parse(fs.readFileSync(previousFile, "utf8"));
    let outcome = "no answer", rss = NaN;
    try {
      const entry = JSON.parse(fs.readFileSync(`${dir}/answer`, "utf8")).entries[0];
      if (!entry.snapshot) outcome = entry.message.includes("sign in") ? "signed out" : "kept (nothing)";
      else if (entry.snapshot.at === previous.at) outcome = "kept";
      else if (entry.snapshot.periodAt.days28 === previous.periodAt.days28) outcome = "kept, live figures new";
      else outcome = "fresh";
      rss = +fs.readFileSync(`${dir}/rss`, "utf8").trim().split("\n").pop() / 1024;
    } catch (e) {}
    const current = `${folder}/snapshot.json`;
    let file = "deleted";
    if (fs.existsSync(current)) {
      file = fs.readFileSync(current, "utf8") === fs.readFileSync(previousFile, "utf8") ? "untouched" : "replaced";
    }
    const push = fs.existsSync(`${folder}/push.json`) ? "written" : "none";
    const row = `| ${name} | ${fault} | ${outcome} | ${file} | ${push} | ${(ms / 1000).toFixed(1)} s | ${rss.toFixed(0)} MB |`;
    fs.writeFileSync(`${dir}/row`, row + "\n");
    const problems = [];
    if ([outcome, file, push].join("|") !== expected) problems.push(`expected ${expected.replaceAll("|", ", ")}`);
    if (!(rss <= 256)) problems.push(`peak RSS ${rss.toFixed(0)} MB`);
    const error = fs.readFileSync(`${dir}/error`, "utf8");
    if (error) problems.push(`standard error: ${error.slice(0, 300)}`);
    if (problems.length) fs.writeFileSync(`${dir}/problem`, `${row} ${problems.join("; ")}\n`);
  ' "$dir" "$previous" "$folder" "$name" "$fault" "$elapsed" "$(expected "$name" "$fault")"
}

combinations=("none|^/never$|500")
for endpoint in "${endpoints[@]}"; do
  for fault in "${quick_faults[@]}" "${slow_faults[@]}"; do
    if [ "$short" = 1 ] && [[ " ${slow_faults[*]} " == *" $fault "* ]] &&
      [[ "$endpoint" != "project list|"* && "$endpoint" != "summary|"* ]]; then
      continue
    fi
    combinations+=("$endpoint|$fault")
  done
done

started=$(date +%s)
for i in "${!combinations[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  IFS='|' read -r name pattern fault <<<"${combinations[$i]}"
  run "$name" "$pattern" "$fault" "$work/$(printf %03d "$i")" &
done
wait

echo "| Endpoint | Fault | Timeline showed | snapshot.json | push.json | Time | Peak RSS |"
echo "|---|---|---|---|---|---|---|"
cat "$work"/*/row
echo "${#combinations[@]} combinations in $(($(date +%s) - started)) s, $jobs at a time"
if compgen -G "$work/*/problem" >/dev/null; then
  echo "Not as the failure table says:"
  cat "$work"/*/problem
  exit 1
fi
missing=$((${#combinations[@]} - $(cat "$work"/*/row | wc -l)))
if [ "$missing" -gt 0 ]; then
  echo "$missing combinations ended without a result"
  exit 1
fi
