#!/usr/bin/env bash
# The widget host's footprint over a long day: six widgets of the demo account drawn headless,
# then RELOADS reloads through the host socket (as panelnudge.reload() sends them, GAP_MS
# apart). Prints the time from start to the first drawn widget and to all six, then, after the
# reloads, the host's Private_Dirty (the footprint) and RSS, its open descriptors, and the
# images left in its folder against those its index names.
#
# With DISPLAY set (e.g. `xvfb-run -a`), the host shows windows instead, and the figures are
# those of the windowed host.
#
# usage: bash bench/desktop/host_footprint.sh [RELOADS [GAP_MS [PROJECTS]]]   (default 1000 20,
#        and the demo service's own number of projects)
set -euo pipefail
cd "$(dirname "$0")/../.."
reloads=${1:-1000} gap_ms=${2:-20} projects=${3:-}
bin=build/release/src
host=$bin/desktop/vantorix-widget-host
work=$(mktemp -d)
pids=()
cleanup() {
  [ ${#pids[@]} = 0 ] || kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export LC_ALL=C.UTF-8 TZ=UTC

"$bin/demo/vantorix-demo-service" ${projects:+--projects "$projects"} --port 0 --ready-file "$work/session.json" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/session.json" ] && break; sleep 0.1; done
"$bin/keyferry/keyferry" save <"$work/session.json"

"$host" place --kind ProjectSummaryWidget --family systemSmall --period days28 >/dev/null
"$host" place --kind ProjectSummaryWidget --family systemMedium --period days7 >/dev/null
"$host" place --kind AllProjectsWidget --family systemLarge --period days28 >/dev/null
"$host" place --kind AllProjectsWidget --family systemExtraLarge --period days7 >/dev/null
"$host" place --kind WaitingWidget --family systemMedium >/dev/null
"$host" place --kind WaitingWidget --family systemLarge >/dev/null

drawn() { # how many widgets the index names an image for
  node -e 'try { const i = require(process.argv[1]).widgets; console.log(i.filter(w => w.image).length) }
           catch { console.log(0) }' "$out/index.json"
}
started=$(date +%s%N)
if [ -n "${DISPLAY:-}" ]; then
  out=$XDG_CONFIG_HOME/vantorix-widget-host/images
  "$host" run 2>"$work/host.log" &
else
  out=$work/out
  "$host" run --headless --output "$out" 2>"$work/host.log" &
fi
host_pid=$!
pids+=("$host_pid")
first="" all=""
for _ in $(seq 600); do
  n=$(drawn)
  now=$(( ($(date +%s%N) - started) / 1000000 ))
  [ -z "$first" ] && [ "$n" -ge 1 ] && first=$now
  if [ "$n" -ge 6 ]; then all=$now; break; fi
  sleep 0.02
done
echo "first drawn widget after ${first:-?} ms, all six after ${all:-?} ms"

node -e '
  const net = require("net");
  const [path, count, gap] = [process.argv[1], +process.argv[2], +process.argv[3]];
  let sent = 0;
  const one = () => {
    const c = net.connect(path, () => c.end(JSON.stringify({type: "reloadAllTimelines", app: "com.vantorix.desktop"}) + "\n"));
    c.on("error", () => {});
    if (++sent < count) setTimeout(one, gap);
  };
  one();' "$XDG_RUNTIME_DIR/vantorix-widget-host.sock" "$reloads" "$gap_ms"
sleep 5  # the last drawings come in

kib() { awk -v k="$1" '$1 == k":" {print $2}' "/proc/$host_pid/smaps_rollup"; }
echo "after $reloads reloads: host Private_Dirty $(( $(kib Private_Dirty) / 1024 )) MiB" \
     "(RSS $(( $(kib Rss) / 1024 )) MiB), $(find "/proc/$host_pid/fd" -mindepth 1 | wc -l) descriptors"
indexed=$(node -e 'console.log(require(process.argv[1]).widgets.filter(w => w.image).map(w => w.image).sort().join(" "))' "$out/index.json")
on_disk=$(find "$out" -mindepth 1 ! -name index.json -printf '%f\n' | sort | tr '\n' ' ' | sed 's/ $//')
echo "images on disk: $(echo "$on_disk" | wc -w), named by the index: $(echo "$indexed" | wc -w)"
[ "$on_disk" = "$indexed" ] || echo "  differ: disk [$on_disk] index [$indexed]"
