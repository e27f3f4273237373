# Sourced by the scripts that need Debian's packages: installs the missing
# ones with apt, reading the package lists once per run.
#
# A package index that fails to download (a mirror caught mid-sync serves a
# stale one) does not stop anything: the update is retried once after a short
# pause, and then the lists apt has are used. Only a package that truly
# cannot be installed fails, and then apt's reason is given.

# The packages every road needs, installed first and on their own: CMake and
# g++ with GoogleTest for the host build, the mingw-w64 i686 cross compiler
# for autorun.exe, Wine with its 64-bit loader, clang with its sanitizer and
# fuzzer runtimes for the fuzzers, the locale sources from which the
# code-page-932 test makes its locale, zip for the release bundle,
# osslsigncode and openssl to sign it and to make the tests' throwaway
# certificates, python3, with which the size check's rows doctor copies of
# the program, and wixl, which makes the Windows Installer package of the
# advertised shortcut's tests; libarchive and libudfread (with pkg-config,
# which finds them), with which the host's autorun-check reads disc images,
# and xorriso and genisoimage, with which the tests master them; libssl-dev,
# whose libcrypto reads the programs' Authenticode signatures.
host_packages=(cmake g++ make libgtest-dev googletest g++-mingw-w64-i686 wine wine64 clang-14
  libclang-rt-14-dev locales zip osslsigncode openssl python3 wixl pkg-config libarchive-dev
  libudfread-dev xorriso genisoimage libssl-dev)

apt_sudo=""
[ "$(id -u)" -eq 0 ] || apt_sudo="sudo"
apt_updated=""
# The foreign architecture this run added to dpkg's, if any.
added_architecture=""
# Why the last install_packages failed, in one line: the package and apt's
# own words.
install_failure=""

# apt's first error line of LOG, with the first unmet dependency it names,
# if any.
apt_reason() {
  local error unmet
  error=$(grep -m 1 '^E: ' "$1" || true)
  unmet=$(grep -m 1 -E '^ +[^ ]+ : (Pre)?Depends: ' "$1" | sed 's/^ *//' || true)
  error=${error:-$(grep -v '^ *$' "$1" | tail -n 1)}
  echo "${error:-apt-get gave no reason}${unmet:+ ($unmet)}"
}

apt_update() {
  [ -z "$apt_updated" ] || return 0
  apt_updated=yes
  local log
  log=$(mktemp)
  if ! $apt_sudo apt-get update -q >"$log" 2>&1; then
    echo "apt-get update failed for some index: $(apt_reason "$log")"
    echo "Trying again in 5 seconds..."
    sleep 5
    if ! $apt_sudo apt-get update -q >"$log" 2>&1; then
      echo "apt-get update failed again: $(apt_reason "$log")"
      echo "Going on with the package lists apt has."
    fi
  fi
  rm -f "$log"
}

installed() { dpkg -s "$1" >/dev/null 2>&1; }

# Installs those of PACKAGES that are missing. Returns 1 when apt cannot
# install them, with install_failure naming the package (found by asking apt
# for each alone) and giving apt's reason.
install_packages() {
  local - missing=() package log
  set -o pipefail
  for package in "$@"; do
    installed "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  case " ${missing[*]} " in
    *:i386*)
      dpkg --print-foreign-architectures | grep -x i386 >/dev/null || {
        $apt_sudo dpkg --add-architecture i386
        added_architecture=i386
        apt_updated=""
      }
      ;;
  esac
  apt_update
  echo "Installing: ${missing[*]}"
  log=$(mktemp)
  if DEBIAN_FRONTEND=noninteractive $apt_sudo apt-get install -y -q "${missing[@]}" 2>&1 |
    tee "$log"; then
    rm -f "$log"
    return 0
  fi
  install_failure="${missing[*]}: $(apt_reason "$log")"
  for package in "${missing[@]}"; do
    if ! $apt_sudo apt-get install -s -q "$package" >"$log" 2>&1; then
      install_failure="$package: $(apt_reason "$log")"
      break
    fi
  done
  rm -f "$log"
  return 1
}

# Installs the packages or stops the script, naming what could not be
# installed and why.
require_packages() {
  install_packages "$@" && return 0
  echo "FAILED: cannot install $install_failure" >&2
  exit 1
}
