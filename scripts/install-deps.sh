#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when missing:
# CMake and g++ with GoogleTest for the host build, the mingw-w64 i686 cross
# compiler and Wine (32- and 64-bit) for the Windows build and its tests,
# clang with its sanitizer and fuzzer runtimes for the fuzzers, and the
# locale sources from which the code-page-932 test makes its locale.
set -euo pipefail

packages=(cmake g++ make libgtest-dev googletest g++-mingw-w64-i686 wine wine32:i386 wine64 clang-14 libclang-rt-14-dev locales)

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
