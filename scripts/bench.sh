#!/usr/bin/env bash
# Builds and runs Corvane's benchmarks: corvane_bench_core (the core's
# hot paths, Google Benchmark) and corvane_bench_desktop (the real app on a
# private Xvfb + openbox, side by side with wmctrl and openbox's own
# actions: key press -> frame, desktop send with and without following,
# the app's round trips per press, idle footprint also while another client
# is busy, launch).
#
#   scripts/bench.sh [build-dir] [corvane_bench_desktop arguments...]
#
# The build directory defaults to build/ at the repository root and is
# configured like scripts/build.sh does when it has not been yet. Examples:
#   scripts/bench.sh build --presses 400 --idle-seconds 120
#   scripts/bench.sh build --runs 3      # three runs, then the median of their ratios
# A ratio moves between runs with the CPUs the processes land on; judge by
# the median of three. A sample that does not settle is reported and left
# out; the run goes on.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build"
if [ $# -gt 0 ] && [[ "$1" != -* ]]; then
  dir=$1
  shift
fi
# Build output goes to stderr, so that stdout holds the figures only.
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON >&2
fi
cmake --build "$dir" --target corvane_bench_core corvane_bench_desktop -j"$(nproc)" >&2

echo "== corvane_bench_core"
"$dir/bench/corvane_bench_core"
echo
echo "== corvane_bench_desktop $*"
"$dir/bench/corvane_bench_desktop" "$@"
