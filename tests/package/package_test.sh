#!/usr/bin/env bash
# Installs the project twice into a scratch folder, with `cmake --install --prefix` and by
# unpacking the Debian package that `cpack -G DEB` makes, and runs the installed programs there.
# Nothing is installed on the system itself, and no program sees the user's own folders.
#
# usage: package_test.sh BUILD_DIR SOURCE_DIR NODEDIR BINDIR LIBEXECDIR UNITDIR
set -euo pipefail
build=$1 source=$2 nodedir=$3 bindir=$4 libexecdir=$5 unitdir=$6

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 0700 "$XDG_RUNTIME_DIR"
# Only the system's own folders: a program found through PATH would come from elsewhere.
export PATH=/usr/bin:/bin LC_ALL=C.UTF-8 TZ=UTC

failures=0
fail() {
  echo "FAIL [$where]: $*" >&2
  failures=$((failures + 1))
}

# The session as keyferry stores it, bytes unchanged, in a shared folder of its own; `forget`
# withdraws it again.
check_keyferry() {
  local prefix=$1 data=$scratch/data-$where
  local folder=$data/Q7MZ2K4XB9.com.vantorix.desktop session='{"api":"https://api.example","token":"s3cret"}'
  printf '%s' "$session" | XDG_DATA_HOME=$data "$prefix/$bindir/keyferry" save ||
    fail "keyferry save exited with $?"
  [ "$(cat "$folder/session.json" 2>/dev/null)" = "$session" ] || fail "session.json differs from the input"
  [ "$(stat -c %a "$folder/session.json" 2>/dev/null)" = 600 ] || fail "session.json is not private"
  XDG_DATA_HOME=$data "$prefix/$bindir/keyferry" forget || fail "keyferry forget exited with $?"
  [ ! -e "$folder/session.json" ] || fail "keyferry forget left session.json"
}

# The extension answers from bin/, and the host finds that same program beside itself.
check_programs() {
  local prefix=$1 kinds
  kinds=$(XDG_DATA_HOME=$scratch/data-$where "$prefix/$bindir/vantorix-widgets" kinds) ||
    fail "vantorix-widgets kinds exited with $?"
  [ "$(node -e 'console.log(JSON.parse(process.argv[1]).map(k => k.kind).join(" "))' "$kinds")" = \
    "ProjectSummaryWidget AllProjectsWidget WaitingWidget" ] || fail "kinds answered: $kinds"

  local usage
  usage=$("$prefix/$bindir/vantorix-widget-host" --help) || fail "the host's --help exited with $?"
  [[ $usage == "usage: vantorix-widget-host"* ]] || fail "the host's --help printed: $usage"

  local config=$scratch/host-$where id
  id=$(XDG_CONFIG_HOME=$config XDG_DATA_HOME=$scratch/data-$where "$prefix/$bindir/vantorix-widget-host" \
    place --kind AllProjectsWidget --family systemLarge --period days28) ||
    fail "the host could not place a widget through the installed extension"
  [ "$id" = 1 ] || fail "place printed \"$id\""
  # A family the kind does not offer is refused: the host read the installed extension's kinds.
  if XDG_CONFIG_HOME=$config XDG_DATA_HOME=$scratch/data-$where "$prefix/$bindir/vantorix-widget-host" \
    place --kind ProjectSummaryWidget --family systemLarge >/dev/null 2>&1; then
    fail "the host placed a family the kind does not offer"
  fi
}

check_node_module() {
  local prefix=$1 shape
  shape=$(node -e "const m = require(process.argv[1]);
    console.log(['reload', 'notificationStatus', 'askForNotifications'].map(f => typeof m[f]).join(' '))" \
    "$prefix/$nodedir/panelnudge") || fail "node could not load the installed module"
  [ "$shape" = "function function function" ] || fail "the module exports: $shape"
}

# A running extension notices its installed bundle being replaced: it ends, status 0, at the next
# preview instead of answering it. That holds only when it found the bundle it started from.
check_bundle() {
  local prefix=$1 plist answer rest status
  plist=$prefix/$libexecdir/vantorix-widgets/vantorix-widgets.bundle/Contents/Info.plist
  [ -f "$plist" ] || { fail "no bundle at $plist"; return; }
  coproc SERVE { XDG_DATA_HOME=$scratch/data-$where exec "$prefix/$bindir/vantorix-widgets" serve; }
  local to from pid=$SERVE_PID
  # Bash closes a coprocess's own descriptors as soon as it ends, which may come before its
  # last answer is read: the answers are read through copies of them instead.
  exec {to}>&"${SERVE[1]}" {from}<&"${SERVE[0]}"
  eval "exec ${SERVE[1]}>&- ${SERVE[0]}<&-"
  echo '{"id":1,"op":"kinds"}' >&"$to"
  read -r answer <&"$from" || true
  [[ $answer == '{"id":1,'* ]] || fail "serve answered: $answer"
  sed -i -z 's|\(<key>CFBundleVersion</key>\s*<string>\)[^<]*|\1replaced|' "$plist"
  grep -q '<string>replaced</string>' "$plist" || fail "could not change the bundle's version"
  echo '{"id":2,"op":"snapshot","kind":"WaitingWidget","configuration":{}}' >&"$to"
  exec {to}>&-
  rest=$(cat <&"$from")
  exec {from}<&-
  status=0
  wait "$pid" || status=$?
  [ "$status" = 0 ] || fail "serve ended with status $status"
  [[ $rest != *'"id":2'* ]] || fail "serve answered the preview after its bundle was replaced: $rest"
}

# No path of the build machine's trees remains in anything installed.
check_no_build_paths() {
  local root=$1 found
  found=$(grep -rlaF -e "$source" -e "$build" "$root" || true)
  [ -z "$found" ] || fail "build paths inside: $found"
}

check_installation() {
  local root=$1 prefix=$2 exec_start
  check_no_build_paths "$root"
  check_keyferry "$prefix"
  check_programs "$prefix"
  check_node_module "$prefix"
  check_bundle "$prefix"
  exec_start=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$prefix/$unitdir/vantorix-widget-host.service")
  [ -x "$root${exec_start#"$root"}" ] && [ "${exec_start##*/}" = vantorix-widget-host ] ||
    fail "the user service starts \"$exec_start\""
  [ -f "$prefix/$unitdir/vantorix-widget-host.socket" ] || fail "no user socket unit"
}

# 1. cmake --install into a prefix of its own.
where=install
cmake --install "$build" --prefix "$scratch/prefix" --strip >/dev/null
check_installation "$scratch/prefix" "$scratch/prefix"

# 2. The Debian package, unpacked into a root of its own.
where=deb
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/cpack" >/dev/null
deb=$(echo "$scratch"/cpack/*.deb)
[ -f "$deb" ] || { echo "FAIL [deb]: cpack made no package" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *"libc6 ("* && $depends == *libcurl4* && $depends == *libgtk-3-0* ]] ||
  fail "Depends was not derived from the programs: $depends"
[[ $(dpkg-deb -f "$deb" Recommends) == *fonts-noto-color-emoji* ]] || fail "no emoji font recommended"
lintian --fail-on error --display-info "$deb" >"$scratch/lintian.txt" 2>&1 || fail "lintian: $(cat "$scratch/lintian.txt")"
# Every shipped binary carries the distribution's hardening (lintian tells at the info level).
! grep -E 'hardening-' "$scratch/lintian.txt" || fail "binaries without the distribution's hardening"
dpkg -x "$deb" "$scratch/root"
check_installation "$scratch/root" "$scratch/root/usr"

[ "$failures" = 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "package: cmake --install and the Debian package both work"
