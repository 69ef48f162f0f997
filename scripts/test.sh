#!/usr/bin/env bash
# Sets up, builds and runs every test: unit tests of each layer and the
# end-to-end tests against real X servers.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh" "$top/build"
cd "$top/build"
ctest --output-on-failure -j2 "$@"
