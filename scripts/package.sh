#!/usr/bin/env bash
# Builds the Debian package build/corvane_<version>_amd64.deb: the binary, the
# desktop entry, the icon, the AppStream metadata and the manual page, with
# dependencies read from the binary's shared libraries.
# Usage: scripts/package.sh [build-dir]   (default: build/, the everyday build)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$top/build"}

bash "$top/scripts/setup.sh"
# scdoc writes the manual page; dpkg-shlibdeps (dpkg-dev) and file find the
# libraries the binary needs.
bash "$top/scripts/apt-install.sh" scdoc dpkg-dev file

# Configured as scripts/build.sh does, so that a tree the tests already built
# needs no further compiling; only what the package holds is built.
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON \
  -DCORVANE_REQUIRE_MAN_PAGE=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target corvane corvane_man_page corvane_changelog

mkdir -p "$top/build"
# One package in build/ at a time, so that `apt install ./build/corvane_*.deb`
# never picks up a stale one.
rm -f "$top"/build/corvane_*.deb
(cd "$dir" && cpack -G DEB -B "$top/build" >/dev/null)
rm -rf "$top/build/_CPack_Packages"
ls "$top"/build/corvane_*_amd64.deb
