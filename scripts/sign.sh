#!/usr/bin/env bash
# Signs Windows programs with a publisher's code-signing certificate, as
# scripts/release.sh --sign does: an Authenticode signature with SHA-256,
# made by osslsigncode and verified afterwards.
#
#   scripts/sign.sh [--password-file FILE] [--timestamp URL] CERT.pfx [IN OUT]...
#
# CERT.pfx is a PKCS#12 file holding the certificate, its key and, best, its
# chain. Its password is the first line of FILE, or else the value of
# AUTORUN_SIGN_PASSWORD; never an argument, which every user of the machine
# can read. Before anything is signed, the certificate must open with that
# password, be meant for code signing and not have expired. Each IN is
# signed into OUT; no OUT is written unless every one is signed and
# verifies. With no IN OUT pairs, only the certificate is checked.
# With --timestamp, a time-stamp authority (RFC 3161) countersigns the
# signature, which then stays valid after the certificate has expired.
set -euo pipefail

fail() {
  echo "signing: $*" >&2
  exit 1
}
usage="usage: sign.sh [--password-file FILE] [--timestamp URL] CERT.pfx [IN OUT]..."

password_file=""
timestamp=""
while [ $# -gt 0 ]; do
  case "$1" in
    --password-file)
      [ $# -ge 2 ] || fail "$usage"
      password_file=$2
      shift 2
      ;;
    --timestamp)
      [ $# -ge 2 ] || fail "$usage"
      timestamp=$2
      shift 2
      ;;
    -*) fail "unknown option $1; $usage" ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] && [ $(($# % 2)) -eq 1 ] || fail "$usage"
cert=$1
shift
pairs=("$@")

# Checked by reading, not by permission bits, which do not stop root.
readable() { [ -f "$1" ] && head -c 1 "$1" >/dev/null 2>&1; }
readable "$cert" || fail "cannot read the certificate file $cert (missing, not a file, or not readable)"

# The password is read once: the first line of the file (which may be a
# pipe), or the environment's value, which is then taken out of the
# environment, so that no tool started here sees it. It reaches openssl and
# osslsigncode through pipes, never through their arguments.
if [ -n "$password_file" ]; then
  [ ! -d "$password_file" ] && the_password=$(head -n 1 -- "$password_file" 2>/dev/null) ||
    fail "cannot read the password file $password_file"
  the_password=${the_password%$'\r'}
elif [ -n "${AUTORUN_SIGN_PASSWORD+set}" ]; then
  the_password=$AUTORUN_SIGN_PASSWORD
else
  fail "no password for $cert: give --password-file FILE or set AUTORUN_SIGN_PASSWORD"
fi
unset AUTORUN_SIGN_PASSWORD
# Prints the password and a line end, which both readers drop (an empty
# password needs it).
password() { printf '%s\n' "$the_password"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The certificates inside; older files use ciphers that only OpenSSL's legacy
# provider still reads.
open_pfx() {
  openssl pkcs12 -in "$cert" -passin stdin -nokeys "$@" 2>"$work/error" < <(password) ||
    openssl pkcs12 -legacy -in "$cert" -passin stdin -nokeys "$@" 2>/dev/null < <(password)
}
if ! open_pfx -out "$work/chain.pem"; then
  if grep -qi "invalid password" "$work/error"; then
    fail "wrong password for $cert"
  fi
  fail "$cert does not open as a PKCS#12 (.pfx) file"
fi
open_pfx -clcerts -out "$work/signer.pem" || true
grep -qs "BEGIN CERTIFICATE" "$work/signer.pem" || fail "$cert holds no certificate for its key"
subject=$(openssl x509 -in "$work/signer.pem" -noout -subject -nameopt oneline)
subject=${subject#subject=}
if ! openssl x509 -in "$work/signer.pem" -noout -ext extendedKeyUsage 2>/dev/null |
  grep -q "Code Signing"; then
  fail "$cert is not for code signing (its extended key usage lacks Code Signing): $subject"
fi
ends=$(openssl x509 -in "$work/signer.pem" -noout -enddate)
ends=${ends#notAfter=}
if ! openssl x509 -in "$work/signer.pem" -noout -checkend 0 >/dev/null; then
  fail "$cert expired on $ends: $subject"
fi

# What the signatures are verified against: the certificates in the file
# (a throwaway self-signed one is its own anchor) and this system's roots.
cat "$work/chain.pem" >"$work/anchors.pem"
[ -r /etc/ssl/certs/ca-certificates.crt ] && cat /etc/ssl/certs/ca-certificates.crt >>"$work/anchors.pem"

for ((i = 0; i < ${#pairs[@]}; i += 2)); do
  in=${pairs[i]}
  signed="$work/signed-$i"
  if ! osslsigncode sign -pkcs12 "$cert" -readpass <(password) -h sha256 \
    ${timestamp:+-ts "$timestamp"} -in "$in" -out "$signed" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    fail "could not sign $in${timestamp:+ (time stamp from $timestamp)}"
  fi
  if ! osslsigncode verify -CAfile "$work/anchors.pem" -in "$signed" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    fail "the signature on $in does not verify; does $cert hold its certificate's chain?"
  fi
  chmod --reference="$in" "$signed"
  echo "signed $in: $subject"
done
for ((i = 0; i < ${#pairs[@]}; i += 2)); do
  mv "$work/signed-$i" "${pairs[i + 1]}"
done
if [ -z "$timestamp" ] && [ ${#pairs[@]} -gt 0 ]; then
  echo "No time stamp (--timestamp URL): the signature ends with the certificate, on $ends."
  echo "After that date Windows no longer accepts it; a time-stamped one stays valid."
fi
