#!/usr/bin/env bash
# CI's package stage: builds the Debian package, holds it to lintian,
# desktop-file-validate and appstreamcli, installs it on this machine, runs
# the installed binary (its version, one placement on a private X server),
# removes it again and checks that nothing of it is left.
# Needs root or sudo; installs what it needs itself.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@"; }
fail() { echo "package check: $*" >&2; exit 1; }

bash scripts/apt-install.sh lintian desktop-file-utils appstream man-db

echo "== package"
bash scripts/package.sh
deb=$(ls build/corvane_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -f "$deb" Depends

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"

echo "== desktop entry and AppStream metadata"
unpacked=$(mktemp -d)
installed_here=false
# However the stage ends, the machine is left as it was found.
cleanup() {
  rm -rf "$unpacked"
  if $installed_here && dpkg-query -W -f='${Status}' corvane 2>/dev/null | grep -q installed; then
    apt_get purge corvane >/dev/null || true
  fi
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/corvane.desktop"
appstreamcli validate --no-net --strict "$unpacked"/usr/share/metainfo/*.metainfo.xml
# The tree as a software centre reads it: metadata, desktop entry and icon together.
appstreamcli validate-tree --no-net --strict "$unpacked"
# The manual page as man renders it: no roff warnings.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$unpacked/usr/share/man/man1/corvane.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"

echo "== install"
# A package left by an earlier, interrupted run would hide what this one does.
if dpkg-query -W -f='${Status}' corvane 2>/dev/null | grep -q 'installed'; then apt_get purge corvane; fi
installed_here=true
apt_get install --no-install-recommends "./$deb"
mapfile -t owned < <(dpkg-query -L corvane)

installed=$(/usr/bin/corvane --version)
[ "$installed" = "corvane $version" ] || fail "/usr/bin/corvane --version says \"$installed\", the package is $version"
[ "$(man -w corvane)" = /usr/share/man/man1/corvane.1.gz ] || fail "man corvane does not find the page"
# Everything that states the version states the package's.
grep -q "<release version=\"$version\"" /usr/share/metainfo/*.metainfo.xml || fail "AppStream release is not $version"
zgrep -q "^\.TH .*\"Corvane $version\"" /usr/share/man/man1/corvane.1.gz || fail "the manual page is not $version's"
# The menu entry starts `corvane` from PATH.
[ "$(command -v corvane)" = /usr/bin/corvane ] || fail "corvane on PATH is $(command -v corvane)"

echo "== one placement with the installed binary"
e2e=build/tests/e2e/corvane_e2e_tests
[ -x "$e2e" ] || bash scripts/build.sh build
result=$(CORVANE_E2E_BINARY=/usr/bin/corvane "$e2e" \
  --gtest_filter=Placements.HalvesAndQuartersFillTheirShareOfTheVisibleArea 2>&1) || {
  echo "$result"
  fail "the installed binary did not place the window"
}
# A skipped test passes too; it must have run.
grep -q '^\[  PASSED  \] 1 test' <<<"$result" || { echo "$result"; fail "the placement test did not run"; }
echo "placed with /usr/bin/corvane"

echo "== remove"
apt_get purge corvane
dpkg-query -W -f='${Status}' corvane 2>/dev/null | grep -q 'installed' && fail "corvane is still installed"
left=()
for path in "${owned[@]}"; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # Shared directories (/usr/bin, the icon theme's) stay with their owners;
  # a file, or an empty directory nobody owns, is ours left behind.
  if [ -d "$path" ] && { dpkg-query -S "$path" >/dev/null 2>&1 || [ -n "$(ls -A "$path")" ]; }; then continue; fi
  left+=("$path")
done
[ ${#left[@]} -eq 0 ] || fail "left behind after removal: ${left[*]}"

echo "package check passed: $deb"
