#!/usr/bin/env bash
# Type-checks the macOS port on Linux: every Objective-C++ file of
# ports/macos, its plain C++ files and the shell's macOS branches, compiled
# by clang as an Apple target (arm64, macOS 13) against our own
# declarations-only headers in ports/macos/shim. Then proves the check has
# teeth: each snippet in ports/macos/check/misuse must be rejected, with the
# diagnostic its first line names, while the control snippet is accepted.
#
# Usage: scripts/macos-check.sh [--no-install]
# Installs what it needs on Debian 12 (clang, libc++, the arm64 C headers)
# unless --no-install is given. Exit status 0 only when everything passes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "${1:-}" != "--no-install" ]; then
  packages=(clang libc++-dev libc++abi-dev libc6-dev-arm64-cross qt6-base-dev pkg-config)
  missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "macos-check: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi

cxx=${MACOS_CHECK_CLANG:-clang++}
libcxx=$(ls -d /usr/lib/llvm-*/include/c++/v1 /usr/include/c++/v1 2>/dev/null | head -n 1 || true)
libc=/usr/aarch64-linux-gnu/include
[ -n "$libcxx" ] || { echo "macos-check: libc++ headers not found (libc++-dev)"; exit 1; }
[ -d "$libc" ] || { echo "macos-check: arm64 C headers not found (libc6-dev-arm64-cross)"; exit 1; }

# Debian's C library headers leave some POSIX names out unless asked, and
# clang predefines __nonnull as a nullability keyword for Apple targets,
# which hides the C library's own macro of that name.
common=(-std=c++20 -fsyntax-only -target arm64-apple-macos13 -fblocks -fPIC
  -nostdlibinc -stdlib=libc++ -isystem "$libcxx" -isystem ports/macos/shim -isystem "$libc"
  -U__nonnull -D_GNU_SOURCE -I . -DQT_NO_KEYWORDS
  -Wall -Wextra -Wpedantic -Wundeclared-selector -Werror=objc-method-access -Werror=unguarded-availability-new -Werror)
objcxx=(-x objective-c++ -fobjc-arc)
qt=()
for flag in $(pkg-config --cflags Qt6Widgets Qt6Network); do
  case $flag in -I*) qt+=(-isystem "${flag#-I}") ;; esac
done

# Every file is compiled on its own, several at a time; results are reported
# in order once all are done.
jobs=${MACOS_CHECK_JOBS:-$(nproc)}
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
order=()
compile() {  # file, flags...
  local file=$1 out
  out="$results/$(tr / _ <<<"$file")"
  order+=("$file")
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  ( if "$cxx" "${@:2}" "$file" >"$out.log" 2>&1; then echo 0 >"$out.status"; else echo 1 >"$out.status"; fi ) &
}
outcome() {  # file -> "0" when it compiled
  cat "$results/$(tr / _ <<<"$1").status"
}
diagnostics() {  # file
  cat "$results/$(tr / _ <<<"$1").log"
}

for f in ports/macos/*.mm; do compile "$f" "${common[@]}" "${objcxx[@]}"; done
for f in ports/macos/*.cpp; do compile "$f" "${common[@]}" -x c++; done
shell_files=(app/shell/main.cpp app/shell/mac_application.cpp app/shell/qt_key_input.cpp app/shell/status_mark.cpp
  app/shell/listening_socket.cpp app/shell/single_instance.cpp)
for f in "${shell_files[@]}"; do compile "$f" "${common[@]}" -x c++ "${qt[@]}"; done
compile ports/macos/check/control.mm "${common[@]}" "${objcxx[@]}"
misuse=(ports/macos/check/misuse/*.mm)
for f in "${misuse[@]}"; do compile "$f" "${common[@]}" "${objcxx[@]}"; done
wait

failures=0
echo "== the macOS port and the shell's macOS branches as an Apple target"
for f in "${order[@]}"; do
  case $f in ports/macos/check/misuse/*) continue ;; esac
  if [ "$(outcome "$f")" = 0 ]; then
    echo "ok    $f"
  else
    echo "FAIL  $f"
    diagnostics "$f" | sed 's/^/      /'
    failures=$((failures + 1))
  fi
done

echo "== teeth: every misuse fails, for its own reason"
for f in "${misuse[@]}"; do
  expect=$(sed -n '1s|^// expect: ||p' "$f")
  if [ -z "$expect" ]; then
    echo "FAIL  $f: its first line must be '// expect: <diagnostic text>'"
    failures=$((failures + 1))
  elif [ "$(outcome "$f")" = 0 ]; then
    echo "FAIL  $f was accepted"
    failures=$((failures + 1))
  elif ! diagnostics "$f" | grep -qF -- "$expect"; then
    echo "FAIL  $f was rejected, but not with \"$expect\":"
    diagnostics "$f" | sed 's/^/      /'
    failures=$((failures + 1))
  else
    echo "ok    $f rejected: $expect"
  fi
done

if [ "$failures" -ne 0 ]; then
  echo "macos-check: $failures failure(s)"
  exit 1
fi
echo "macos-check: passed"
