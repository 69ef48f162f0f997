#!/usr/bin/env bash
# Installs the named Debian packages that are missing, without recommends, as
# root or through sudo. For tools only one script needs (packaging, CI checks),
# which stay out of scripts/setup.sh so that the everyday setup stays lean.
# Usage: scripts/apt-install.sh package...
set -euo pipefail

missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing ${missing[*]}"
# Another apt run (an unattended upgrade, a parallel job) may hold the lock
# for a while; wait for it rather than fail.
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
