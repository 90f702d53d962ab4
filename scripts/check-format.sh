#!/usr/bin/env bash
# Fails when a C++ source is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.hpp' 'tests/*.cpp' 'tests/*.hpp' 'bench/*.cpp' 'bench/*.hpp' 'fuzz/*.cpp' 'fuzz/*.hpp' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
[ -z "$files" ] && exit 0
if ! echo "$files" | xargs clang-format --dry-run -Werror 2>/tmp/vx-format.log; then
  echo "format check failed (run: clang-format -i FILE):" >&2
  grep -E '^[^ ].*(warning|error):' /tmp/vx-format.log | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
  exit 1
fi
