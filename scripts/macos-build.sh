#!/usr/bin/env bash
# Builds Corvane.app on a Mac and runs the unit tests there.
# Needs Xcode's command line tools and Homebrew; installs Qt 6, CMake, Ninja
# and GoogleTest with Homebrew when they are missing.
# Usage: scripts/macos-build.sh [build-dir]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$top/build-macos"}

[ "$(uname -s)" = Darwin ] || { echo "macos-build: run this on a Mac (on Linux: scripts/macos-check.sh)"; exit 1; }
command -v brew >/dev/null || { echo "macos-build: Homebrew is needed (https://brew.sh)"; exit 1; }
for formula in qt cmake ninja googletest nlohmann-json; do
  brew list --versions "$formula" >/dev/null || brew install "$formula"
done

cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON \
  -DCORVANE_BUILD_BENCH=OFF -DCMAKE_PREFIX_PATH="$(brew --prefix qt)"
cmake --build "$dir" -j"$(sysctl -n hw.ncpu)"

# The application layer over the fake port, the core, the settings files and
# the macOS port's translations. The X11 and end-to-end tests need an X server.
for t in corvane_core_tests corvane_app_tests corvane_desktops_tests corvane_ports_tests corvane_macos_tests; do
  exe=$(find "$dir" -name "$t" -type f -perm -u+x | head -n 1)
  [ -n "$exe" ] || { echo "macos-build: missing $t"; exit 1; }
  "$exe" --gtest_brief=1
done

app="$dir/app/shell/Corvane.app"
[ -d "$app" ] || { echo "macos-build: $app was not made"; exit 1; }
"$app/Contents/MacOS/Corvane" --version
plutil -lint "$app/Contents/Info.plist"
echo "macos-build: built $app"
echo "To run it with Qt's libraries inside the bundle: $(brew --prefix qt)/bin/macdeployqt \"$app\""
