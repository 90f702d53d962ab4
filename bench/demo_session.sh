# Sourced by the bench scripts: starts the demo service in the background (extra options in
# DEMO_OPTIONS, such as "--projects 10"), waits for its session and hands it to the widgets
# through keyferry, in the shared folder XDG_DATA_HOME names. Needs `bin` (the build's src
# folder) and `work` (a scratch folder); sets demo_pid for the caller's clean-up.
# shellcheck shell=bash disable=SC2154,SC2034 # bin, work and demo_pid belong to the caller
start_signed_in_demo() {
  # shellcheck disable=SC2086 # the options are words
  "$bin/demo/vantorix-demo-service" ${DEMO_OPTIONS:-} --port 0 --ready-file "$work/session.json" \
    >/dev/null 2>"$work/demo.log" &
  demo_pid=$!
  for _ in $(seq 100); do [ -s "$work/session.json" ] && break; sleep 0.1; done
  "$bin/keyferry/keyferry" save <"$work/session.json"
}
