#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when missing:
# CMake and g++ with GoogleTest for the host build, the mingw-w64 i686 cross
# compiler and Wine for the Windows build and its tests, clang with its
# sanitizer and fuzzer runtimes for the fuzzers, and the locale sources from
# which the code-page-932 test makes its locale; zip for the release bundle,
# osslsigncode and openssl to sign it and to make the tests' throwaway
# certificates; python3, with which the size check's rows doctor copies of
# the program.
# Where this machine runs 32-bit x86 code, Wine comes with its 32-bit loader
# (i386 multiarch); where it cannot, with the mingw-w64 x86_64 cross compiler
# for the launcher's 64-bit twin instead, since a 32-bit loader could never
# start there, and qemu with debootstrap and the ext4 tools, which build and
# boot the emulated x86-64 guest that runs the 32-bit program there.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bitness.sh

packages=(cmake g++ make libgtest-dev googletest g++-mingw-w64-i686 wine wine64 clang-14 libclang-rt-14-dev locales zip
  osslsigncode openssl python3)
if runs_32bit_code; then
  packages+=(wine32:i386)
else
  packages+=(g++-mingw-w64-x86-64 qemu-system-x86 debootstrap e2fsprogs)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
case " ${missing[*]} " in
  *:i386*)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386
    fi
    ;;
esac
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
