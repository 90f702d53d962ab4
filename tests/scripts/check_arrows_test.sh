#!/usr/bin/env bash
# The module arrows check, run on small trees of its own: each case must pass or fail as named.
set -uo pipefail
check=${1:?path of scripts/check-arrows.sh}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A tree with the given files, each "path:include line".
tree() {
  rm -rf "$work/src"
  local entry
  for entry in "$@"; do
    mkdir -p "$work/src/$(dirname "${entry%%:*}")"
    printf '%s\n' "#pragma once" "${entry#*:}" >>"$work/src/${entry%%:*}"
  done
}

expect() {
  local outcome=$1 what=$2
  if bash "$check" "$work" >"$work/out" 2>&1; then result=pass; else result=fail; fi
  if [[ $result != "$outcome" ]]; then
    echo "FAILED: $what: expected $outcome, got $result" >&2
    cat "$work/out" >&2
    failures=$((failures + 1))
  fi
}

tree 'store/a.cpp:#include "model/snapshot.hpp"' 'model/snapshot.hpp:#include <chrono>'
expect pass "an arrow the table lists"

tree 'widgets/a.cpp:#include "model/clock.hpp"' 'model/clock.hpp:' 'refresh/r.hpp:' 'push/p.hpp:' \
  'views/v.hpp:' 'host/h.hpp:' 'store/s.hpp:'
expect pass "a module the used modules use in turn"

tree 'model/a.cpp:#include "store/shared_store.hpp"' 'store/shared_store.hpp:'
expect fail "an arrow pointing the wrong way"

tree 'keyferry/main.cpp:#  include  "net/http_session.hpp"' 'net/http_session.hpp:' 'store/s.hpp:' \
  'model/m.hpp:'
expect fail "a module nothing leads to, however the include is spaced"

tree 'store/a.cpp:#include "config/build_config.hpp"' 'store/b.cpp:#include "store/b.hpp"'
expect pass "generated headers and the module's own"

tree 'gadgets/a.cpp:#include <vector>'
expect fail "a folder of src/ with no line in the table"

exit $((failures > 0))
