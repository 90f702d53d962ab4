#!/usr/bin/env bash
# Installs the project into a scratch folder with `cmake --install` and as the Debian package, and
# runs the installed programs there (debian/tests/installed-programs, the package's autopkgtest).
#
# The package is made from this build tree: its files as `cmake --install --prefix /usr` puts
# them, then debhelper's steps that follow the install in `dh binary`, run from debian/ as it
# is. A full `dpkg-buildpackage` would compile everything a second time, with the flags of
# dpkg-buildflags: scripts/build-deb.sh does that. Nothing is installed on the system itself,
# and no program sees the user's own folders.
#
# usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home
mkdir -p "$HOME"
# Only the system's own folders: a program found through PATH would come from elsewhere.
export PATH=/usr/bin:/bin:/usr/sbin:/sbin LC_ALL=C.UTF-8 TZ=UTC
demo=$build/src/demo/vantorix-demo-service

failures=0
fail() {
  echo "FAIL [$where]: $*" >&2
  failures=$((failures + 1))
}

# The user service and the desktop entries start the host of their own installation, and
# systemd takes the units as written (quoting, specifiers), as desktop-file-validate does the
# entries. ROOT is where a package was unpacked: systemd checks units only on the real file system.
check_unit() {
  local prefix=$1 root=${2:-} units=$1/lib/systemd/user exec_start entry
  exec_start=$(sed -n 's/^ExecStart="\(.*\)" run$/\1/p' "$units/vantorix-widget-host.service" | sed 's/%%/%/g')
  [ "$root$exec_start" = "$prefix/bin/vantorix-widget-host" ] || fail "the user service starts \"$exec_start\""
  entry=${root:-$prefix}/etc/xdg/autostart/vantorix-widget-host.desktop
  exec_start=$(sed -n 's/^Exec="\(.*\)" run$/\1/p' "$entry" | sed 's/%%/%/g')
  [ "$root$exec_start" = "$prefix/bin/vantorix-widget-host" ] || fail "the autostart entry starts \"$exec_start\""
  desktop-file-validate "$entry" >"$scratch/validate.txt" 2>&1 ||
    fail "the autostart entry is not valid: $(cat "$scratch/validate.txt")"
  entry=$prefix/share/applications/vantorix-widget-gallery.desktop
  exec_start=$(sed -n 's/^Exec="\(.*\)" gallery$/\1/p' "$entry" | sed 's/%%/%/g')
  [ "$root$exec_start" = "$prefix/bin/vantorix-widget-host" ] || fail "the gallery's entry starts \"$exec_start\""
  desktop-file-validate "$entry" >"$scratch/validate.txt" 2>&1 ||
    fail "the gallery's entry is not valid: $(cat "$scratch/validate.txt")"
  [ -z "$root" ] || return 0
  XDG_RUNTIME_DIR=$scratch systemd-analyze verify --user --man=no "$units"/vantorix-widget-host.{service,socket} \
    >"$scratch/verify.txt" 2>&1 || fail "systemd refuses the units: $(cat "$scratch/verify.txt")"
}

# A running extension notices its installed bundle being replaced: it ends, status 0, at the next
# preview instead of answering it. That holds only when it found the bundle it started from.
check_bundle() {
  local prefix=$1 plist answer rest status
  plist=$prefix/libexec/vantorix-widgets/vantorix-widgets.bundle/Contents/Info.plist
  [ -f "$plist" ] || { fail "no bundle at $plist"; return; }
  coproc SERVE { XDG_DATA_HOME=$scratch/data exec "$prefix/bin/vantorix-widgets" serve; }
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

# DIR holds the installation under PREFIX; ROOT is where a package was unpacked, if one was.
check_installation() {
  local dir=$1 prefix=$2 root=${3:-} found
  found=$(grep -rlaF -e "$source" -e "$build" "$dir" || true)
  [ -z "$found" ] || fail "build paths inside: $found"
  check_unit "$prefix" "$root"
  bash "$source/debian/tests/installed-programs" "$prefix" "$demo" || fail "installed-programs"
  check_bundle "$prefix"
}

# 1. cmake --install, twice at once: into a plain prefix and into one that the unit must quote
# (a blank) and escape (a "%", which systemd would take for a specifier).
where=install
plain=$scratch/plain odd="$scratch/pre fix%"
touch "$scratch/before-install"
cmake --install "$build" --prefix "$plain" --strip >/dev/null &
cmake --install "$build" --prefix "$odd" --strip >/dev/null || fail "cmake --install exited with $?"
wait $! || fail "cmake --install exited with $?"
[ -z "$(find "$build" -name '*.service' -newer "$scratch/before-install")" ] ||
  fail "the installations wrote their unit into the build tree"
check_unit "$plain"
check_installation "$odd" "$odd"

# 2. The Debian package, unpacked into a root of its own.
where=deb
pkg=$scratch/deb/source root=$scratch/root
mkdir -p "$pkg"
cp -r "$source/debian" "$pkg/"
DESTDIR=$pkg/debian/vantorix-widgets cmake --install "$build" --prefix /usr >/dev/null
(
  cd "$pkg"
  dh binary --no-act | sed '1,/dh_auto_install/d' | while read -r step; do eval "$step"; done
) >"$scratch/dh.txt" 2>&1 || fail "debhelper: $(cat "$scratch/dh.txt")"
deb=$(echo "$scratch"/deb/vantorix-widgets_*.deb)
[ -f "$deb" ] || { echo "FAIL [deb]: no package made" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *"libc6 ("* && $depends == *libcurl4* && $depends == *libgtk-3-0* ]] ||
  fail "Depends was not derived from the programs: $depends"
# Every tag but an overridden one fails, the hardening ones too (info tags): every shipped binary
# carries the distribution's hardening.
lintian --allow-root --display-info --pedantic "$scratch"/deb/*.deb >"$scratch/lintian.txt" 2>&1 || true
[ ! -s "$scratch/lintian.txt" ] || fail "lintian: $(cat "$scratch/lintian.txt")"

dpkg -x "$deb" "$root"
# A new version ends the extension processes still running from the old one (a new bundle).
version=$(dpkg-deb -f "$deb" Version)
grep -qF "<string>$version</string>" "$root/usr/libexec/vantorix-widgets/vantorix-widgets.bundle/Contents/Info.plist" ||
  fail "the bundle's build version is not the package's $version"
check_installation "$root" "$root/usr" "$root"

# Installing enables the socket for every user's next login, and only the socket; purging
# takes it back. The maintainer scripts run as dpkg would run them on $root, but for their check
# that leaves units alone under a DPKG_ROOT.
dpkg-deb -e "$deb" "$scratch/control"
maintainer_script() {
  # shellcheck disable=SC2016 # the script's own text
  sed 's/\[ -z "${DPKG_ROOT:-}" \]/true/' "$scratch/control/$1" |
    DPKG_ROOT=$root DPKG_MAINTSCRIPT_PACKAGE=vantorix-widgets sh -s "$2" || fail "$1 $2 exited with $?"
}
wants=$root/etc/systemd/user
maintainer_script postinst configure
[ -L "$wants/sockets.target.wants/vantorix-widget-host.socket" ] || fail "the socket is not enabled"
[ ! -e "$wants/graphical-session.target.wants" ] || fail "the service itself is enabled"
maintainer_script postrm purge
[ ! -e "$wants/sockets.target.wants/vantorix-widget-host.socket" ] || fail "purging left the socket enabled"

[ "$failures" = 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "package: cmake --install and the Debian package both work"
