#!/usr/bin/env bash
# Installs, as root on Debian 12, every package Corvane's build, tests and
# application need. Idempotent: packages already present are left alone and
# the package lists are refreshed at most once per run.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  # core and tests
  nlohmann-json3-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  # the application: Qt 6 Widgets and the X11 port
  qt6-base-dev libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-keysyms1-dev
  libxcb-randr0-dev libxcb-res0-dev libxcb-xtest0-dev libxcb-xkb-dev libxkbcommon-x11-dev
  # a private X desktop for the demo, the end-to-end tests and the benchmarks
  xvfb xauth openbox trayer xterm wmctrl x11-utils x11-xserver-utils x11-xkb-utils xkb-data
  imagemagick fonts-dejavu-core
  # sway and i3 through their IPC: headless sway (Wayland, keys via wtype), i3 on Xvfb
  sway wtype foot qt6-wayland i3-wm
  # GNOME Shell (headless, its extension run by GJS), Qt D-Bus, the Wayland test window
  gnome-shell gjs libglib2.0-bin libwayland-dev wayland-protocols
  # KWin (headless, its script loaded over D-Bus; keys through its fake-input protocol)
  kwin-wayland qtwayland5 plasma-wayland-protocols dbus
  # the macOS port's compile check as an Apple target (scripts/macos-check.sh)
  libc++-dev libc++abi-dev libc6-dev-arm64-cross
  # ordinary programs the end-to-end tests place: one without _NET_WM_PID, one drawing its own frame
  x11-apps gtk-3-examples
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: every package is installed"
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
