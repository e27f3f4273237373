#!/usr/bin/env bash
# Builds everything and runs every test: the portable parts on the host (plain
# and under AddressSanitizer and UBSan), the fuzzers for a bounded time, the
# check that two clean builds of autorun.exe and of the release bundle are
# identical, the bundle's contents and sums, the signed bundle's too and its
# signatures, then autorun.exe and the Windows-side tests under Wine.
#
# Where autorun.exe runs is chosen from what this machine can install and
# run (scripts/road.sh). On the native road this machine's 32-bit Wine runs
# it. On the guest road its own checks (size, imports, reproducibility) run
# here, and the Windows-side suites run twice, on autorun.exe itself in an
# emulated x86-64 guest (scripts/guest.sh), and on its 64-bit twin, built
# from the same sources, under this machine's 64-bit Wine: the twin is the
# fast check, the guest the proof. The last lines say which road ran, why,
# and which build ran what.
#
# The release bundles made here go to build/test-release: a publisher's own
# release in build/release is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/road.sh
choose_windows_road build/win32/wineprefix

guest_image=""
release_mark=""
release_folder_made=""
cleanup() {
  [ -z "$guest_image" ] || kill -- -"$guest_image" 2>/dev/null || true
  [ -z "$release_mark" ] || rm -f "$release_mark"
  [ -z "$release_mark" ] || [ -z "$release_folder_made" ] || rmdir build/release 2>/dev/null || true
}
trap cleanup EXIT
if [ "$windows_road" = guest ]; then
  mkdir -p build
  if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
    # Building the guest's image needs root, and sudo asks for a password
    # only at a terminal: the build runs now, in the foreground (at once when
    # the guest is cached).
    echo "sudo needs a password here: the guest is made ready first, in the foreground."
    rm -f build/guest-image.log
    scripts/guest.sh --image
  else
    # The emulated guest that runs autorun.exe is built (or found in the
    # cache) while the rest builds and runs; its suites wait for it. It runs
    # in a session of its own, so that a test command that stops early stops
    # it too, qemu and debootstrap included.
    setsid scripts/guest.sh --image >build/guest-image.log 2>&1 &
    guest_image=$!
  fi
fi
cmake --workflow --preset host
cmake --workflow --preset host-sanitize
scripts/fuzz.sh
scripts/reproducible.sh
# The release bundle holds exactly the files a publisher gets, autorun.exe as
# built, and its sums check; signed with the build's throwaway certificate,
# so does its signed twin, whose programs are the built ones plus signatures
# that verify. Both are made in build/test-release; a file placed in
# build/release beforehand must be there unchanged afterwards, beside
# whatever a publisher keeps there.
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target autorun_signed
certificates=build/win32/signing
bundles=build/test-release
[ -d build/release ] || { mkdir -p build/release && release_folder_made=yes; }
release_mark=build/release/placed-by-the-test-command.txt
echo "scripts/test.sh removes this file after its release step" >"$release_mark"
releases() { find build/release -type f -exec sha256sum {} + | sort; }
before=$(releases)
scripts/release.sh --output "$bundles" --sign "$certificates/publisher.pfx" \
  --password-file "$certificates/password"
if [ "$(releases)" != "$before" ]; then
  echo "FAILED: the test command's release step changed build/release."
  exit 1
fi
rm -f "$release_mark"
[ -z "$release_folder_made" ] || rmdir build/release
release_mark=""
unpacked=$bundles-unpacked
rm -rf "$unpacked" && mkdir "$unpacked"
for bundle in "$bundles"/autorun-*-win32.zip "$bundles"/autorun-*-win32-signed.zip; do
  name=$(basename "$bundle" .zip)
  archive=$PWD/$bundle
  (cd "$unpacked" && cmake -E tar xf "$archive")
  diff <(cd "$unpacked/$name" && find . -type f | sort) <(printf './%s\n' \
    CHANGELOG.md LICENSE README-publishers.txt SHA256SUMS THIRD-PARTY-NOTICES.txt \
    autorun-check.exe autorun.exe templates/autorun.inf templates/install.dat | sort)
  (cd "$unpacked/$name" && sha256sum --quiet -c SHA256SUMS)
done
unsigned=$(echo "$unpacked"/autorun-*-win32)
cmp build/win32/bin/autorun.exe "$unsigned/autorun.exe"
for program in autorun.exe autorun-check.exe; do
  sh tests/signing/signed-check.sh "$unsigned/$program" "$unsigned-signed/$program" \
    "$certificates/publisher.pem"
done

if [ "$windows_road" = native ]; then
  cmake --workflow --preset win32
  echo "All tests passed on the native road, because $road_reason."
  echo "The Windows-side suites ran on autorun.exe itself, the 32-bit build, under this machine's Wine:"
  echo "build/win32/bin/autorun.exe"
  exit 0
fi

cmake --preset win32
cmake --build --preset win32
ctest --preset win32 --label-regex without_wine
if ! "$wine64_loader" --version >/dev/null 2>&1; then
  echo "FAILED: no Wine here can run a Windows build: the road is the guest's, because"
  echo "$road_reason, and Wine's 64-bit loader ($wine64_loader) does not start either."
  exit 1
fi
cmake --preset win64
cmake --build --preset win64
# The twin's suites and the guest's run on a machine that nothing else loads.
if [ -n "$guest_image" ] && ! wait "$guest_image"; then
  cat build/guest-image.log
  echo "FAILED: the emulated x86-64 guest that runs autorun.exe could not be made ready."
  exit 1
fi
guest_image=""
grep -s '^guest: ' build/guest-image.log || true
ctest --preset win64
scripts/guest.sh --limit 1200 --copy build/win32 --cdrom build/win32/e2e/cdrom.iso \
  sh scripts/guest/suites.sh
echo "All tests passed on the guest road, because $road_reason:"
echo "autorun.exe (32-bit) passed every Windows-side suite in an emulated x86-64 guest; its 64-bit twin passed them under this machine's Wine."
echo "autorun.exe: build/win32/bin/autorun.exe (also passed its size, import and reproducibility checks here)"
echo "64-bit twin: build/win64/bin/autorun.exe (same sources, a test vehicle that ships nowhere)"
