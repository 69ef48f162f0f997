#!/usr/bin/env bash
# Sets up, builds and runs Corvane. With an X display it runs the tray
# utility there; without one (a fresh server, CI) it shows the main job in a
# private virtual desktop: every default shortcut pressed on a demo window,
# each action printed with the frame it produced, a screenshot per step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh" "$top/build"
if [ -n "${DISPLAY:-}" ]; then
  exec "$top/build/app/shell/corvane" "$@"
fi
exec bash "$top/scripts/demo.sh" "$top/build"
