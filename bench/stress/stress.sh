#!/usr/bin/env bash
# Many widget processes at once against the demo service while the session is handed over and
# withdrawn in a loop: every process must end normally, every answer must be one the host can
# read, "snapshot.json" must decode at the end, and each process's descriptors and memory must
# not grow with the number of requests it has served. (Torn files are the subject of
# tests/store: a reader racing a thousand replacements, and writers killed mid-write.)
#
# Each process runs at most one refresh at a time. The service holds every answer back a while,
# so that two refreshes of one process would overlap there: the most requests in flight at once
# for the project list, or for any project's summary of one period, must not exceed the number
# of processes.
#
#   bash bench/stress/stress.sh [PROCESSES] [CYCLES]     (default 16 processes, 200 cycles each)
#   bash bench/stress/stress.sh 4 30                     (the short form, some seconds)
#
# Exits non-zero on any problem. Builds the release preset's programs; everything lives in a
# temporary folder that is removed at the end.
set -euo pipefail
cd "$(dirname "$0")/../.."

processes=${1:-16}
cycles=${2:-200}
latency_ms=200
cmake --preset release >/dev/null
cmake --build --preset release --target vantorix-widgets keyferry vantorix-demo-service >/dev/null
bin=build/release/src
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME="$work/data" TZ=UTC LANG=C.UTF-8

"$bin/demo/vantorix-demo-service" --port 0 --ready-file "$work/session.json" \
  --latency-ms "$latency_ms" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/session.json" ] && break; sleep 0.1; done
"$bin/keyferry/keyferry" save <"$work/session.json"
folder=$(dirname "$(find "$work/data" -name session.json)")

# The session comes and goes for as long as the widgets run.
(
  while :; do
    "$bin/keyferry/keyferry" save <"$work/session.json" || echo "keyferry save failed" >>"$work/problems"
    sleep 2
    "$bin/keyferry/keyferry" forget || echo "keyferry forget failed" >>"$work/problems"
    sleep 0.1
  done
) &
pids+=($!)

# One process's requests: timelines, previews and placeholders of the three kinds.
requests() {
  local kinds=(ProjectSummaryWidget AllProjectsWidget WaitingWidget) i kind configuration
  local configurations=('{"period":"days28"}' '{"period":"days7"}' '{"showDetails":true}')
  for i in $(seq "$cycles"); do
    kind=${kinds[$((i % 3))]}
    configuration=${configurations[$((i % 3))]}
    echo "{\"id\":$((3 * i)),\"op\":\"timeline\",\"kind\":\"$kind\",\"configuration\":$configuration}"
    echo "{\"id\":$((3 * i + 1)),\"op\":\"snapshot\",\"kind\":\"$kind\",\"configuration\":$configuration}"
    echo "{\"id\":$((3 * i + 2)),\"op\":\"placeholder\",\"kind\":\"$kind\"}"
  done
}

# Descriptors and resident memory of a process, sampled while it serves.
sample() {
  local pid=$1 out=$2
  while kill -0 "$pid" 2>/dev/null; do
    fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l) || break
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null) || break
    [ -n "$rss" ] && echo "$fds $rss" >>"$out"
    sleep 0.5
  done
}

started=$(date +%s)
status=0
served=()
for p in $(seq "$processes"); do
  requests >"$work/in-$p"
  "$bin/widgets/vantorix-widgets" serve <"$work/in-$p" >"$work/out-$p" 2>"$work/err-$p" &
  served+=($!)
  sample $! "$work/samples-$p" &
done
# A process that hangs is stopped after ten minutes (or a second per 10 cycles, if longer).
limit=$((cycles / 10 > 600 ? cycles / 10 : 600))
(
  trap 'kill "$nap" 2>/dev/null; exit' TERM
  sleep "$limit" &
  nap=$!
  wait "$nap"
  for pid in "${served[@]}"; do
    kill -9 "$pid" 2>/dev/null && echo "a process still ran after ${limit} s" >>"$work/problems"
  done
) >/dev/null 2>&1 &
watchdog=$!
for p in $(seq "$processes"); do
  if ! wait "${served[$((p - 1))]}"; then
    echo "process $p ended abnormally" >>"$work/problems"
  fi
done
kill "$watchdog" 2>/dev/null || true
elapsed=$(($(date +%s) - started))
kill "${pids[1]}" 2>/dev/null || true

# Single flight. A refresh asks for the project list once, and for each project's summary once
# for today (its entry) and once for the period (its figures), the two at the same time; the
# service counts the two periods apart. With one refresh at a time per process, neither the list
# nor one project's summary for one period is ever asked for more often at once than there are
# processes.
node -e '
  const [session, processes] = process.argv.slice(1);
  const api = JSON.parse(require("fs").readFileSync(session, "utf8")).api;
  fetch(`${api}/demo/requests`).then((r) => r.json()).then((report) => {
    const list = "GET /v1/projects";
    const summaries = Object.keys(report.peaks).filter((k) => /^GET \/v1\/projects\/[^/]+\/analytics\/summary period=/.test(k));
    const summaryPeak = Math.max(0, ...summaries.map((k) => report.peaks[k]));
    console.log(`project list: ${report.paths[list] || 0} requests, at most ${report.peaks[list] || 0} at once;` +
                ` summaries: at most ${summaryPeak} at once on one project and period (limit ${processes})`);
    let failed = false;
    if (!report.paths[list]) { console.log("the project list was never asked for"); failed = true; }
    for (const k of [list, ...summaries]) {
      if (report.peaks[k] > +processes) { console.log(`${k}: ${report.peaks[k]} at once, more than processes`); failed = true; }
    }
    process.exit(failed ? 1 : 0);
  }).catch((e) => { console.log(`cannot read the request counts of the service: ${e}`); process.exit(1); });
' "$work/session.json" "$processes" || status=1

# Every answer is a JSON object with the request's id and either a result or an error.
node -e '
  const fs = require("fs");
  const [work, processes, cycles] = process.argv.slice(1);
  let answers = 0, errors = 0, problems = [], kinds = {};
  for (let p = 1; p <= +processes; p++) {
    const lines = fs.readFileSync(`${work}/out-${p}`, "utf8").split("\n").filter(Boolean);
    if (lines.length !== 3 * +cycles) problems.push(`process ${p}: ${lines.length} answers`);
    for (const line of lines) {
      const answer = JSON.parse(line);
      if (!("result" in answer) && !("error" in answer)) problems.push(`process ${p}: ${line}`);
      if ("error" in answer) { errors++; kinds[answer.error] = (kinds[answer.error] || 0) + 1; }
      answers++;
    }
    const err = fs.readFileSync(`${work}/err-${p}`, "utf8");
    if (err) problems.push(`process ${p} wrote to standard error: ${err.slice(0, 200)}`);
  }
  console.log(`answers: ${answers}, of which errors: ${errors}`, JSON.stringify(kinds));
  if (errors) problems.push(`error answers: ${JSON.stringify(kinds)}`);
  if (problems.length) { console.log(problems.slice(0, 20).join("\n")); process.exit(1); }
' "$work" "$processes" "$cycles" || status=1

if [ -f "$folder/snapshot.json" ]; then
  node -e 'JSON.parse(require("fs").readFileSync(process.argv[1], "utf8"))' "$folder/snapshot.json" \
    || { echo "snapshot.json does not decode" >>"$work/problems"; }
fi

# Descriptors and memory of each process: the sample after a second of serving against the
# last one and the largest (descriptors, resident kB).
for p in $(seq "$processes"); do
  if [ -f "$work/samples-$p" ] && [ "$(wc -l <"$work/samples-$p")" -ge 3 ]; then
    awk -v p="$p" 'NR == 3 { f = $1; r = $2 } { if ($1 > mf) mf = $1; if ($2 > mr) mr = $2; lf = $1; lr = $2 }
      END { printf "process %s: descriptors %d -> %d (max %d), resident kB %d -> %d (max %d)\n", p, f, lf, mf, r, lr, mr }' \
      "$work/samples-$p"
  fi
done
echo "$processes processes x $cycles cycles (x3 requests), answers held back ${latency_ms} ms, in ${elapsed} s"
if [ -s "$work/problems" ]; then
  sort "$work/problems" | uniq -c
  status=1
fi
exit "$status"
