#!/usr/bin/env bash
# Cold drawing processes against the demo service in a temporary shared folder: RUNS times in
# turn, so that all see the same load,
#   - the floor: a whole cairo + pango process drawing the largest family's picture
#     (bench_widgets_floor_once);
#   - `render --preview` of AllProjectsWidget systemExtraLarge (748x382 points, scale 2) from
#     the cached snapshot;
#   - `render` of the same family (the first entry of a timeline answered from the cache).
# Prints each one's median wall and CPU time (user + system) and the ratio to the floor's.
# Usage: bench/widgets/cold_render.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:?build folder, such as build/release}
runs=${2:-15}
bin=$build/src
widgets=$bin/widgets/vantorix-widgets
# shellcheck source=bench/demo_session.sh
source "$(dirname "$0")/../demo_session.sh"
floor=$build/bench/widgets/bench_widgets_floor_once

start_signed_in_demo
"$widgets" timeline --kind AllProjectsWidget >/dev/null # fills the cache and the favicons

# Children's CPU time so far, in microseconds (bash's `times`, second line), into $cpu_us; not
# through a command substitution, whose subshell has no children of its own.
children_cpu() {
  local line user system
  times >"$work/times"
  line=$(sed -n 2p "$work/times")
  user=${line%% *}
  system=${line##* }
  cpu_us=$(awk -v u="$user" -v s="$system" 'BEGIN {
    split(u, a, "m"); split(s, b, "m");
    printf "%d", ((a[1] * 60 + a[2]) + (b[1] * 60 + b[2])) * 1e6 }')
}

# Runs a command once; appends "wall_us cpu_us" to the named file.
timed() {
  local file=$1
  shift
  local cpu0 t0 t1 cpu1
  children_cpu
  cpu0=$cpu_us
  t0=${EPOCHREALTIME/./}
  "$@" >/dev/null
  t1=${EPOCHREALTIME/./}
  children_cpu
  cpu1=$cpu_us
  echo "$((t1 - t0)) $((cpu1 - cpu0))" >>"$work/$file"
}

args=(--kind AllProjectsWidget --family systemExtraLarge --scale 2)
for _ in $(seq "$runs"); do
  timed floor "$floor" "$work/floor.png"
  timed preview "$widgets" render "${args[@]}" --preview --out "$work/preview.png"
  timed render "$widgets" render "${args[@]}" --out "$work/render.png"
done

median() { sort -n | awk '{v[NR] = $1} END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f", m / 1000}'; }
floor_wall=$(cut -d' ' -f1 "$work/floor" | median)
floor_cpu=$(cut -d' ' -f2 "$work/floor" | median)
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); $runs runs each, in turn"
printf '%-34s %10s %10s %12s %12s\n' process "wall ms" "CPU ms" "wall÷floor" "CPU÷floor"
for name in floor preview render; do
  wall=$(cut -d' ' -f1 "$work/$name" | median)
  cpu=$(cut -d' ' -f2 "$work/$name" | median)
  label=$name
  [ "$name" = floor ] && label="floor (cairo + pango, 1496x764)"
  [ "$name" = preview ] && label="render --preview (1496x764)"
  [ "$name" = render ] && label="render, timeline entry (1496x764)"
  printf '%-34s %10s %10s %12s %12s\n' "$label" "$wall" "$cpu" \
    "$(awk -v a="$wall" -v b="$floor_wall" 'BEGIN {printf "%.2f", a / b}')" \
    "$(awk -v a="$cpu" -v b="$floor_cpu" 'BEGIN {printf "%.2f", a / b}')"
done
