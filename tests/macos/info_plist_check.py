#!/usr/bin/env python3
"""The bundle's Info.plist: well formed, a menu-bar accessory, and saying the
version `corvane --version` prints and the oldest system the compile check
targets.

Usage: info_plist_check.py <Info.plist> <macos-check.sh> [<corvane executable>]
"""
import plistlib
import re
import subprocess
import sys

plist_path, check_script = sys.argv[1], sys.argv[2]
with open(plist_path, "rb") as f:
    info = plistlib.load(f)

problems = []
if info.get("LSUIElement") is not True:
    problems.append("LSUIElement must be true: no Dock icon, no menu bar of its own")
if not re.fullmatch(r"[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+", info.get("CFBundleIdentifier", "")):
    problems.append("CFBundleIdentifier must be a reverse-DNS name, not %r" % info.get("CFBundleIdentifier"))
if info.get("CFBundlePackageType") != "APPL":
    problems.append("CFBundlePackageType must be APPL")
if info.get("CFBundleExecutable") != "Corvane":
    problems.append("CFBundleExecutable must name the bundle's executable, Corvane")

with open(check_script) as f:
    target = re.search(r"-target arm64-apple-macos(\d+)", f.read())
if not target or info.get("LSMinimumSystemVersion") != target.group(1) + ".0":
    problems.append("LSMinimumSystemVersion %r differs from the compile check's target %r"
                    % (info.get("LSMinimumSystemVersion"), target and target.group(1)))

if len(sys.argv) > 3:
    printed = subprocess.run([sys.argv[3], "--version"], capture_output=True, text=True, check=True).stdout.split()
    version = printed[-1] if printed else ""
    for key in ("CFBundleShortVersionString", "CFBundleVersion"):
        if info.get(key) != version:
            problems.append("%s %r differs from `corvane --version` (%r)" % (key, info.get(key), version))

for p in problems:
    print("Info.plist: " + p)
sys.exit(1 if problems else 0)
