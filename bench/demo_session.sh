# Sourced by the bench scripts: a scratch folder `work` holding the shared folder (XDG_DATA_HOME)
# and removed at exit with the demo service, which start_signed_in_demo starts in the
# background (extra options in DEMO_OPTIONS, such as "--projects 10"), waiting for its session
# and handing it to the widgets through keyferry. Needs `bin` (the build's src folder).
# shellcheck shell=bash disable=SC2154,SC2034 # bin belongs to the caller, work is theirs to use
work=$(mktemp -d)
demo_pid=
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null && wait "$demo_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data TZ=UTC LANG=C.UTF-8

start_signed_in_demo() {
  # shellcheck disable=SC2086 # the options are words
  "$bin/demo/vantorix-demo-service" ${DEMO_OPTIONS:-} --port 0 --ready-file "$work/session.json" \
    >/dev/null 2>"$work/demo.log" &
  demo_pid=$!
  for _ in $(seq 100); do [ -s "$work/session.json" ] && break; sleep 0.1; done
  "$bin/keyferry/keyferry" save <"$work/session.json"
}
