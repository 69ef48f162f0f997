#!/usr/bin/env bash
# Fuzzes the stored-configuration reader with libFuzzer.
#
#   scripts/fuzz.sh [seconds]     (default 60)
#
# Configures a clang build in build-fuzz/ at the repository root, builds the
# fuzz target, writes a seed corpus there and fuzzes for the given time.
# Exits non-zero when the fuzzer finds a crash or a broken invariant; the
# offending input is left in build-fuzz/artifacts/.
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 [seconds]" >&2
    exit 2
fi

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build-fuzz"
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi

CC=clang CXX=clang++ cmake -S "$repo" -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANE_BUILD_FUZZ=ON -DCORVANE_BUILD_APP=OFF -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target corvane_fuzz_config_decode corvane_fuzz_seeds -j2

seeds="$build/seeds"
corpus="$build/corpus"
artifacts="$build/artifacts"
mkdir -p "$corpus" "$artifacts"
"$build/tests/fuzz/corvane_fuzz_seeds" "$seeds"

# New interesting inputs go to corpus/ (kept between runs); seeds/ is read only.
"$build/tests/fuzz/corvane_fuzz_config_decode" \
    -max_total_time="$seconds" \
    -max_len=4096 \
    -dict="$repo/tests/fuzz/config_decode.dict" \
    -artifact_prefix="$artifacts/" \
    -print_final_stats=1 \
    "$corpus" "$seeds"
