#!/usr/bin/env bash
# The main job: installs what is missing, builds, starts the demo service on a free port, hands
# its session to the widgets with keyferry (in a temporary shared folder, never the user's own),
# prints the timelines of the three widget kinds, and writes the gallery of every widget drawn
# (build/gallery, kept). In a desktop session (a display is there) it then places the three
# widgets on the desktop through the widget host, with a private configuration, until Ctrl-C.
# Stops the host and the service and removes the temporary folder at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
targets=(vantorix-widgets keyferry vantorix-demo-service)
display=
[ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${DISPLAY:-}" ] && display=yes
[ -n "$display" ] && targets+=(vantorix-widget-host)
cmake --build --preset release --target "${targets[@]}" >/dev/null

bin=build/release/src
widgets=$bin/widgets/vantorix-widgets
keyferry=$bin/keyferry/keyferry
demo=$bin/demo/vantorix-demo-service
host=$bin/desktop/vantorix-widget-host

work=$(mktemp -d)
demo_pid=
host_pid=
cleanup() {
  if [ -n "$host_pid" ]; then
    kill "$host_pid" 2>/dev/null || true
    wait "$host_pid" 2>/dev/null || true
  fi
  if [ -n "$demo_pid" ]; then
    kill "$demo_pid" 2>/dev/null || true
    wait "$demo_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME="$work/data"

echo "== demo service"
# 15 projects: goals and none, a project without traffic, dot, bar and curve charts, and a long
# list of waiting items all show in the gallery.
"$demo" --port 0 --projects 15 --ready-file "$work/session.json" >/dev/null 2>"$work/demo.log" &
demo_pid=$!
for _ in $(seq 100); do
  [ -s "$work/session.json" ] && break
  if ! kill -0 "$demo_pid" 2>/dev/null; then
    cat "$work/demo.log" >&2
    echo "run: the demo service did not start" >&2
    exit 1
  fi
  sleep 0.1
done
[ -s "$work/session.json" ] || { echo "run: the demo service did not get ready" >&2; exit 1; }
cat "$work/demo.log"

echo "== keyferry save (session handed to the widgets in $XDG_DATA_HOME)"
"$keyferry" save <"$work/session.json"

# Reads one timeline (JSON on standard input) and prints its entries in a few lines each.
summarise='
let text = "";
process.stdin.on("data", (chunk) => (text += chunk));
process.stdin.on("end", () => {
  const timeline = JSON.parse(text);
  const when = (ms) => new Date(ms).toISOString().replace(/\.\d+Z$/, "Z");
  const count = (n) => Number(n).toLocaleString("en-US");
  const period = process.argv[1];
  const n = timeline.entries.length;
  console.log(`reload at ${when(timeline.reloadAt)}; ${n} ${n === 1 ? "entry" : "entries"}`);
  for (const entry of timeline.entries) {
    const snapshot = entry.snapshot;
    console.log(`  from ${when(entry.date)}: ` + (snapshot
      ? `snapshot of ${snapshot.at ? when(snapshot.at) : "?"}, ${snapshot.projects.length} of ${snapshot.projectCount} projects`
      : `"${entry.message}"`));
  }
  const snapshot = timeline.entries[0].snapshot;
  if (!snapshot) return;
  if (period === "waiting") {
    const items = snapshot.projects.flatMap((p) => p.waiting || []);
    items.sort((a, b) => b.since - a.since);
    console.log(`  ${items.length} waiting on you:`);
    for (const item of items.slice(0, 6)) {
      console.log(`    ${item.site}: ${item.action}` + (item.detail ? ` - ${item.detail}` : ""));
    }
    return;
  }
  for (const project of snapshot.projects) {
    const metrics = (project.metricsByPeriod || {})[period];
    let line = `    ${project.name}: ${count(project.realtimeVisitors)} now`;
    if (metrics) {
      line += `, ${count(metrics.visitors)} visitors`;
      if (metrics.goal) line += `, ${metrics.goal.name} ${metrics.goal.display}`;
      else if (metrics.revenueDisplay) line += `, revenue ${metrics.revenueDisplay}`;
    }
    console.log(line);
  }
});
'

echo
echo "== kinds"
"$widgets" kinds | node -e '
let text = "";
process.stdin.on("data", (chunk) => (text += chunk));
process.stdin.on("end", () => {
  for (const kind of JSON.parse(text)) {
    console.log(`  ${kind.kind} "${kind.name}" (${kind.families.join(", ")}): ${kind.description}`);
  }
});'

echo
echo "== timeline --kind ProjectSummaryWidget --period days28"
"$widgets" timeline --kind ProjectSummaryWidget --period days28 | node -e "$summarise" days28
echo
echo "== timeline --kind AllProjectsWidget --period days7"
"$widgets" timeline --kind AllProjectsWidget --period days7 | node -e "$summarise" days7
echo
echo "== timeline --kind WaitingWidget"
"$widgets" timeline --kind WaitingWidget | node -e "$summarise" waiting
echo
echo "(the summaries above are made from the JSON answers of $widgets; README: \"The vantorix-widgets command line\")"

echo
echo "== gallery"
gallery=$PWD/build/gallery
rm -rf "$gallery"
status=0
node scripts/gallery/gallery.js --widgets "$widgets" --out "$gallery" >/dev/null || status=$?
echo "every widget of the demo account, drawn: $gallery/index.html"
echo "(kept after this run; open it in a browser)"
[ -n "$display" ] || exit "$status"

echo
echo "== the widgets on your desktop"
# The host's placements and images live in the temporary folder, never in your configuration.
export XDG_CONFIG_HOME="$work/config"
"$host" place --kind ProjectSummaryWidget --family systemSmall --period days28 --x 40 --y 40 >/dev/null
"$host" place --kind WaitingWidget --family systemMedium --x 230 --y 40 >/dev/null
"$host" place --kind AllProjectsWidget --family systemLarge --period days7 --x 40 --y 230 >/dev/null
"$host" run &
host_pid=$!
sleep 2
if ! kill -0 "$host_pid" 2>/dev/null; then
  wait "$host_pid" || true
  host_pid=
  echo "run: the widget host did not start (is another one running? then stop it first)" >&2
  exit 1
fi
echo "the three widgets of the demo account are on the desktop (top left):"
echo "  \"Project\" (28 days), \"Needs you\" and \"Projects\" (7 days), from $host"
echo "press Ctrl-C to stop: the widgets go, the demo service stops, the temporary folder is removed"
wait "$host_pid" || true
host_pid=
exit "$status"
