#!/usr/bin/env bash
# Makes the release bundle build/release/autorun-VERSION-win32.zip from the
# 32-bit build: autorun.exe, autorun-check.exe, the sample medium's
# autorun.inf and install.dat as templates, the publishers' notes and
# SHA256SUMS. The version is the project's (top CMakeLists.txt). Two runs on
# the same commit give identical archives. Nothing is uploaded.
#
#   scripts/release.sh [--sign CERT.pfx [--password-file FILE] [--timestamp URL]]
#
# With --sign, also autorun-VERSION-win32-signed.zip, laid out the same way,
# with both programs signed by the publisher's certificate (scripts/sign.sh:
# the password comes from FILE or AUTORUN_SIGN_PASSWORD, never from the
# command line) and SHA256SUMS of the signed files. The certificate is
# checked before anything is built; build/release is replaced only when
# every archive is complete, and left as it was otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "release: $*" >&2
  exit 1
}
usage="usage: release.sh [--sign CERT.pfx [--password-file FILE] [--timestamp URL]]"
cert=""
sign_options=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sign | --password-file | --timestamp)
      [ $# -ge 2 ] || fail "$1 needs a value; $usage"
      if [ "$1" = --sign ]; then cert=$2; else sign_options+=("$1" "$2"); fi
      shift 2
      ;;
    *) fail "unknown argument $1; $usage" ;;
  esac
done
[ -n "$cert" ] || [ ${#sign_options[@]} -eq 0 ] || fail "--password-file and --timestamp go with --sign; $usage"

scripts/install-deps.sh
if [ -n "$cert" ]; then
  scripts/sign.sh "${sign_options[@]}" "$cert" || fail "nothing was built or written"
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target release

# The new archives are gathered beside build/release and take its place when
# complete.
next=build/release.next
rm -rf "$next"
trap 'rm -rf "$next"' EXIT
mkdir -p "$next"
unsigned=$(echo build/win32/release/autorun-*-win32.zip)
cp "$unsigned" "$next/"
if [ -n "$cert" ]; then
  version=$(basename "$unsigned" -win32.zip)
  version=${version#autorun-}
  stage=$PWD/build/win32/release-signed
  rm -rf "$stage"
  mkdir -p "$stage/programs"
  scripts/sign.sh "${sign_options[@]}" "$cert" \
    build/win32/bin/autorun.exe "$stage/programs/autorun.exe" \
    build/win32/bin/autorun-check.exe "$stage/programs/autorun-check.exe" ||
    fail "build/release was left as it was"
  cmake -DVERSION="$version" -DSOURCE="$PWD" -DAUTORUN="$stage/programs/autorun.exe" \
    -DCHECK="$stage/programs/autorun-check.exe" -DOUTPUT="$stage/bundle" -DSIGNED=ON \
    -P cmake/release.cmake
  cp "$stage/bundle/autorun-$version-win32-signed.zip" "$next/"
fi
rm -rf build/release
mv "$next" build/release
ls build/release/autorun-*.zip
