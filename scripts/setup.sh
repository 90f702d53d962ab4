#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Safe to run again: with everything present it changes nothing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcurl4-openssl-dev libicu-dev libssl-dev
  libcairo2-dev libpng-dev libpango1.0-dev libglib2.0-dev fonts-inter
  fonts-noto-color-emoji   # emoji in names and previews draw in colour
  libcpp-httplib-dev
  clang libclang-rt-14-dev
  libexpat1-dev
  libgtk-3-dev libgtk-layer-shell-dev libxtst-dev xvfb
  openbox x11-utils             # the windows' tests: a window manager that honours EWMH, xprop
  sway grim xwayland            # the windows' tests on Wayland (headless sway, screenshots)
  weston                        # a compositor without layer-shell: the fallback through Xwayland
  # The accessible tree is read as a screen reader would: its own bus in a private session.
  at-spi2-core dbus-daemon python3-gi gir1.2-atspi-2.0
  gir1.2-gtk-3.0   # the accessibility tests look at the screen through Gdk
  chromium
  debhelper dpkg-dev lintian   # the Debian package (debian/) and the package test
  systemd   # systemd-analyze checks the installed user units, systemd-socket-activate starts the host
  desktop-file-utils   # desktop-file-validate checks the installed autostart entry
)

# Node.js runs the panelnudge tests; its headers build the module.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
[ -f /usr/include/node/node_api.h ] || packages+=(libnode-dev)

# The HTTPS integration tests put a real web server in front of the demo service; any of
# Debian's nginx flavours will do, the light one is enough.
[ -x /usr/sbin/nginx ] || command -v nginx >/dev/null 2>&1 || packages+=(nginx-light)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing missing packages: ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "setup: cannot install ${missing[*]}: not root and no sudo. Install them and run again." >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get update -qq || \
   ! "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
  echo "setup: apt-get could not install: ${missing[*]}" >&2
  exit 1
fi

# The tests start nginx themselves. The package enables a system-wide server on port 80 where
# systemd runs; one installed just now for the tests is stopped and disabled again.
if [[ " ${missing[*]} " == *" nginx-light "* ]] && [ -d /run/systemd/system ]; then
  "${as_root[@]}" systemctl disable --now nginx >/dev/null 2>&1 || true
fi
