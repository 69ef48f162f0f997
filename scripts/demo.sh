#!/bin/sh
# Corvane for a newcomer without a desktop: starts a private virtual desktop
# (Xvfb + openbox + trayer, whatever $DISPLAY says), runs the built app in it
# with a private configuration, types every default shortcut once and prints
# what each did. Screenshots go to out/demo/ in the repository.
#
# Usage: scripts/demo.sh BUILD_DIR
#   BUILD_DIR is a configured and built tree, e.g.
#     cmake -S . -B build -G Ninja && cmake --build build --target corvane corvane-demo
set -eu

if [ $# -ne 1 ]; then
    echo "usage: scripts/demo.sh BUILD_DIR" >&2
    exit 2
fi
build=$1
repo=$(cd "$(dirname "$0")/.." && pwd)
demo="$build/tools/demo/corvane-demo"
app="$build/app/shell/corvane"

for binary in "$demo" "$app"; do
    if [ ! -x "$binary" ]; then
        echo "demo.sh: $binary is missing; build it first:" >&2
        echo "  cmake --build $build --target corvane corvane-demo" >&2
        exit 1
    fi
done
for tool in Xvfb openbox trayer xrandr import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "demo.sh: $tool is not installed (Debian: xvfb openbox trayer x11-xserver-utils imagemagick)" >&2
        exit 1
    fi
done

out="$repo/out/demo"
mkdir -p "$out"
rm -f "$out"/*.png
exec env -u DISPLAY -u WAYLAND_DISPLAY "$demo" --corvane "$app" --out "$out"
