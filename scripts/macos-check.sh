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

failures=0
check() {  # label, flags..., file
  local file=${*: -1}
  if "$cxx" "${@:1:$#-1}" "$file" 2>/tmp/macos-check.$$; then
    echo "ok    $file"
  else
    echo "FAIL  $file"
    sed 's/^/      /' /tmp/macos-check.$$
    failures=$((failures + 1))
  fi
  rm -f /tmp/macos-check.$$
}

echo "== the macOS port as an Apple target"
for f in ports/macos/*.mm; do check "${common[@]}" "${objcxx[@]}" "$f"; done
for f in ports/macos/*.cpp; do check "${common[@]}" -x c++ "$f"; done
echo "== the shell's macOS branches"
for f in app/shell/main.cpp app/shell/mac_application.cpp app/shell/qt_key_input.cpp app/shell/status_mark.cpp; do
  check "${common[@]}" -x c++ "${qt[@]}" "$f"
done

echo "== teeth: the control snippet passes, every misuse fails for its reason"
check "${common[@]}" "${objcxx[@]}" ports/macos/check/control.mm
for f in ports/macos/check/misuse/*.mm; do
  expect=$(sed -n '1s|^// expect: ||p' "$f")
  if [ -z "$expect" ]; then
    echo "FAIL  $f: its first line must be '// expect: <diagnostic text>'"
    failures=$((failures + 1))
    continue
  fi
  if out=$("$cxx" "${common[@]}" "${objcxx[@]}" "$f" 2>&1); then
    echo "FAIL  $f was accepted"
    failures=$((failures + 1))
  elif ! grep -qF -- "$expect" <<<"$out"; then
    echo "FAIL  $f was rejected, but not with \"$expect\":"
    sed 's/^/      /' <<<"$out"
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
