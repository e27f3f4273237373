#!/usr/bin/env bash
# Builds everything and runs every test: the portable parts on the host (plain
# and under AddressSanitizer and UBSan), the fuzzers for a bounded time, the
# check that two clean builds of autorun.exe are identical, then autorun.exe
# and the Windows-side tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --workflow --preset host
cmake --workflow --preset host-sanitize
scripts/fuzz.sh
scripts/reproducible.sh
cmake --workflow --preset win32
echo "All tests passed. autorun.exe: build/win32/bin/autorun.exe"
