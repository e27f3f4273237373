#!/usr/bin/env bash
# Makes the release bundle build/release/autorun-VERSION-win32.zip from the
# 32-bit build: autorun.exe, autorun-check.exe, the sample medium's
# autorun.inf and install.dat as templates, the publishers' notes and
# SHA256SUMS. The version is the project's (top CMakeLists.txt). Two runs on
# the same commit give identical archives. Nothing is uploaded.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target release
rm -rf build/release
mkdir -p build/release
cp build/win32/release/autorun-*-win32.zip build/release/
ls build/release/autorun-*-win32.zip
