#!/usr/bin/env bash
# Builds everything and runs every test: the portable parts on the host (plain
# and under AddressSanitizer and UBSan), the fuzzers for a bounded time, the
# check that two clean builds of autorun.exe and of the release bundle are
# identical, the bundle's contents and sums, then autorun.exe and the
# Windows-side tests under Wine.
#
# On a machine that cannot run 32-bit x86 code, autorun.exe is still built and
# its own checks (size, imports, reproducibility) run, but no Wine can start
# it; the Windows-side suites then run on its 64-bit twin, built from the same
# sources, under Wine's 64-bit loader. The last lines say which build ran.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bitness.sh
scripts/install-deps.sh
cmake --workflow --preset host
cmake --workflow --preset host-sanitize
scripts/fuzz.sh
scripts/reproducible.sh
# The release bundle holds exactly the files a publisher gets, autorun.exe as
# built, and its sums check.
scripts/release.sh
bundle=$(echo build/release/autorun-*-win32.zip)
name=$(basename "$bundle" .zip)
rm -rf build/release/unpacked && mkdir build/release/unpacked
(cd build/release/unpacked && cmake -E tar xf "../$name.zip")
diff <(cd "build/release/unpacked/$name" && find . -type f | sort) <(printf './%s\n' \
  README-publishers.txt SHA256SUMS autorun-check.exe autorun.exe templates/autorun.inf \
  templates/install.dat | sort)
cmp build/win32/bin/autorun.exe "build/release/unpacked/$name/autorun.exe"
(cd "build/release/unpacked/$name" && sha256sum --quiet -c SHA256SUMS)

if runs_32bit_code; then
  cmake --workflow --preset win32
  echo "All tests passed. The Windows-side suites ran on autorun.exe itself, the 32-bit build:"
  echo "build/win32/bin/autorun.exe"
  exit 0
fi

echo "This machine cannot run 32-bit x86 code (a 32-bit test program was refused):"
echo "autorun.exe is built and checked, and its 64-bit twin runs the Windows-side suites."
cmake --preset win32
cmake --build --preset win32
ctest --preset win32 --label-regex without_wine
if ! "$wine64_loader" --version >/dev/null 2>&1; then
  echo "FAILED: no Wine here can run a Windows build: 32-bit code cannot run on this machine,"
  echo "and Wine's 64-bit loader ($wine64_loader) does not start either."
  exit 1
fi
cmake --workflow --preset win64
echo "All tests passed, with one limit: this machine cannot run 32-bit x86 code."
echo "autorun.exe (build/win32/bin/autorun.exe) was built and passed its size, import and"
echo "reproducibility checks, but could not be run here. Its 64-bit twin"
echo "(build/win64/bin/autorun.exe, same sources) passed every Windows-side suite under Wine."
