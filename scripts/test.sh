#!/usr/bin/env bash
# Builds everything and runs every test: the portable parts on the host (plain
# and under AddressSanitizer and UBSan), the fuzzers for a bounded time, the
# check that two clean builds of autorun.exe and of the release bundle are
# identical, the bundle's contents and sums, the signed bundle's too and its
# signatures, then autorun.exe and the Windows-side tests under Wine.
#
# On a machine that cannot run 32-bit x86 code, no Wine here can start
# autorun.exe: its own checks (size, imports, reproducibility) run here, and
# the Windows-side suites run twice, on autorun.exe itself in an emulated
# x86-64 guest that runs 32-bit code (scripts/guest.sh), and on its 64-bit
# twin, built from the same sources, under this machine's Wine: the twin is
# the fast check, the guest the proof. The last lines say which build ran
# what.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bitness.sh
scripts/install-deps.sh
if ! runs_32bit_code; then
  # The emulated guest that runs autorun.exe here is built (or found in the
  # cache) while the rest builds and runs; its suites wait for it.
  # It runs in a session of its own, so that a test command that stops early
  # stops it too, qemu and debootstrap included.
  mkdir -p build
  setsid scripts/guest.sh --image >build/guest-image.log 2>&1 &
  guest_image=$!
  trap 'kill -- -$guest_image 2>/dev/null || true' EXIT
fi
cmake --workflow --preset host
cmake --workflow --preset host-sanitize
scripts/fuzz.sh
scripts/reproducible.sh
# The release bundle holds exactly the files a publisher gets, autorun.exe as
# built, and its sums check; signed with the build's throwaway certificate,
# so does its signed twin, whose programs are the built ones plus signatures
# that verify.
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target autorun_signed
certificates=build/win32/signing
scripts/release.sh --sign "$certificates/publisher.pfx" --password-file "$certificates/password"
rm -rf build/release/unpacked && mkdir build/release/unpacked
for bundle in build/release/autorun-*-win32.zip build/release/autorun-*-win32-signed.zip; do
  name=$(basename "$bundle" .zip)
  (cd build/release/unpacked && cmake -E tar xf "../$name.zip")
  diff <(cd "build/release/unpacked/$name" && find . -type f | sort) <(printf './%s\n' \
    README-publishers.txt SHA256SUMS autorun-check.exe autorun.exe templates/autorun.inf \
    templates/install.dat | sort)
  (cd "build/release/unpacked/$name" && sha256sum --quiet -c SHA256SUMS)
done
unsigned=$(echo build/release/unpacked/autorun-*-win32)
cmp build/win32/bin/autorun.exe "$unsigned/autorun.exe"
for program in autorun.exe autorun-check.exe; do
  sh tests/signing/signed-check.sh "$unsigned/$program" "$unsigned-signed/$program" \
    "$certificates/publisher.pem"
done

if runs_32bit_code; then
  cmake --workflow --preset win32
  echo "All tests passed. The Windows-side suites ran on autorun.exe itself, the 32-bit build:"
  echo "build/win32/bin/autorun.exe"
  exit 0
fi

echo "This machine cannot run 32-bit x86 code (a 32-bit test program was refused):"
echo "autorun.exe's Windows-side suites run in an emulated x86-64 guest, and its 64-bit twin's"
echo "under this machine's Wine."
cmake --preset win32
cmake --build --preset win32
ctest --preset win32 --label-regex without_wine
if ! "$wine64_loader" --version >/dev/null 2>&1; then
  echo "FAILED: no Wine here can run a Windows build: 32-bit code cannot run on this machine,"
  echo "and Wine's 64-bit loader ($wine64_loader) does not start either."
  exit 1
fi
cmake --preset win64
cmake --build --preset win64
# The twin's suites and the guest's run on a machine that nothing else loads.
if ! wait $guest_image; then
  cat build/guest-image.log
  echo "FAILED: the emulated x86-64 guest that runs autorun.exe could not be made ready."
  exit 1
fi
grep '^guest: ' build/guest-image.log || true
ctest --preset win64
scripts/guest.sh --limit 1200 --copy build/win32 sh scripts/guest/suites.sh
echo "All tests passed. This machine cannot run 32-bit x86 code, so the Windows-side suites ran twice:"
echo "autorun.exe (32-bit) passed every Windows-side suite in an emulated x86-64 guest; its 64-bit twin passed them under this machine's Wine."
echo "autorun.exe: build/win32/bin/autorun.exe (also passed its size, import and reproducibility checks here)"
echo "64-bit twin: build/win64/bin/autorun.exe (same sources, a test vehicle that ships nowhere)"
