#!/usr/bin/env bash
# Makes the release bundle build/release/autorun-VERSION-win32.zip from the
# 32-bit build: autorun.exe, autorun-check.exe, the sample medium's
# autorun.inf and install.dat as templates, the publishers' notes, LICENSE,
# THIRD-PARTY-NOTICES.txt, CHANGELOG.md and SHA256SUMS. The version is the project's (top CMakeLists.txt). Two runs on
# the same commit give identical archives. Nothing is uploaded.
#
#   scripts/release.sh [--output FOLDER] [--sign CERT.pfx [--password-file FILE]
#                      [--timestamp URL]]
#
# --output puts the archives in FOLDER instead of build/release (the test
# command's go to build/test-release). The folder is replaced whole, so it
# must be new or hold release archives only.
#
# With --sign, also autorun-VERSION-win32-signed.zip, laid out the same way,
# with both programs signed by the publisher's certificate (scripts/sign.sh:
# the password comes from FILE or AUTORUN_SIGN_PASSWORD, never from the
# command line) and SHA256SUMS of the signed files. The certificate is
# checked before anything is built; build/release is replaced only when
# every archive is complete, and left as it was otherwise. The password is
# read once and removed from the environment before any tool starts, so that
# no child sees it; it reaches the signing tools through pipes only.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "release: $*" >&2
  exit 1
}
usage="usage: release.sh [--output FOLDER] [--sign CERT.pfx [--password-file FILE] [--timestamp URL]]"
cert=""
output=build/release
password_file=""
timestamp=()
while [ $# -gt 0 ]; do
  case "$1" in
    --output | --sign | --password-file | --timestamp)
      [ $# -ge 2 ] && [ -n "$2" ] || fail "$1 needs a value; $usage"
      case "$1" in
        --output) output=${2%/} ;;
        --sign) cert=$2 ;;
        --password-file) password_file=$2 ;;
        --timestamp) timestamp=(--timestamp "$2") ;;
      esac
      shift 2
      ;;
    *) fail "unknown argument $1; $usage" ;;
  esac
done
[ -n "$cert" ] || { [ -z "$password_file" ] && [ ${#timestamp[@]} -eq 0 ]; } ||
  fail "--password-file and --timestamp go with --sign; $usage"

if [ -e "$output" ]; then
  stray=$(find "$output" -mindepth 1 -maxdepth 1 ! -name 'autorun-*.zip' -print -quit 2>&1 || true)
  [ -d "$output" ] && [ -z "$stray" ] ||
    fail "$output is replaced whole by the new archives, but it holds more (${stray:-not a folder}); give a folder of its own"
fi

# A password given in the environment is taken out of it before anything
# starts, so that no child sees it (cmake's build would); scripts/sign.sh
# then reads it from a pipe, and a password file by its name.
password_options=()
[ -z "$password_file" ] || password_options=(--password-file "$password_file")
if [ -n "${AUTORUN_SIGN_PASSWORD+set}" ]; then
  password=$AUTORUN_SIGN_PASSWORD
  unset AUTORUN_SIGN_PASSWORD
  [ -n "$password_file" ] || password_options=(--password-file /dev/stdin)
fi
sign() {
  if [ "${password_options[1]:-}" = /dev/stdin ]; then
    printf '%s\n' "$password" | scripts/sign.sh "${password_options[@]}" "${timestamp[@]}" "$cert" "$@"
  else
    scripts/sign.sh "${password_options[@]}" "${timestamp[@]}" "$cert" "$@"
  fi
}

scripts/install-deps.sh
if [ -n "$cert" ]; then
  sign || fail "nothing was built or written"
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target release

# The new archives are gathered beside the output folder and take its place
# when complete.
next=$output.next
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
  sign build/win32/bin/autorun.exe "$stage/programs/autorun.exe" \
    build/win32/bin/autorun-check.exe "$stage/programs/autorun-check.exe" ||
    fail "$output was left as it was"
  cmake -DVERSION="$version" -DSOURCE="$PWD" -DAUTORUN="$stage/programs/autorun.exe" \
    -DCHECK="$stage/programs/autorun-check.exe" -DOUTPUT="$stage/bundle" -DSIGNED=ON \
    -P cmake/release.cmake
  cp "$stage/bundle/autorun-$version-win32-signed.zip" "$next/"
fi
rm -rf "$output"
mv "$next" "$output"
ls "$output"/autorun-*.zip
