#!/bin/sh
# Holds the platform's reading of each signed sample (make-signed-samples.sh)
# to what the file was made to be, with WinVerifyTrust's verdict as this
# Wine gives it, and then to the host build's reading of the same files,
# fact for fact (signature_line.h). In a guest without the host build the
# second half is skipped, and says so.
# Usage: signature-differential.sh WINE_RUN PLATFORM_PRINTER SAMPLES HOST_PRINTER
set -eu
wine_run=$1 platform_printer=$2 samples=$3 host_printer=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What each file was made to be. Every signature chains to the samples'
# throwaway root, which no machine trusts: Windows answers CERT_E_UNTRUSTEDROOT
# (0x800B0109) for each intact one, where Wine answers S_OK, which is what
# these rows can show. Not measured on Windows here: its answer for the DOS
# program (Wine's is TRUST_E_NOSIGNATURE) and for content-altered.exe, whose
# signer's own signature no longer holds (Wine's is TRUST_E_BAD_DIGEST).
valid='nested= valid="2025-01-01 00:00:00" to "2035-01-01 00:00:00"'
signer='signer="Throwaway Test Publisher" issuer="Throwaway Test Root"'
stamped='timestamp=rfc3161 time="2026-01-01 00:00:00" stamp-verified=yes'
good="embedded=yes intact=yes verified=yes"
unsigned='embedded=no intact=no verified=no digest= timestamp=none time="" stamp-verified=no signer="" issuer="" signatures=0 nested= valid="" to ""'
cat >"$work/expected" <<ROWS
altered.exe: embedded=yes intact=no verified=yes digest=SHA-256 $stamped $signer signatures=1 $valid | verdict 0x80096010
content-altered.exe: embedded=yes intact=no verified=no digest=SHA-256 $stamped $signer signatures=1 $valid | verdict 0x80096010
dos.exe: $unsigned | verdict 0x800B0100
nested.exe: $good digest=SHA-1 $stamped $signer signatures=2 nested=SHA-256 ${valid#nested= } | verdict 0x00000000
signed-sha1.exe: $good digest=SHA-1 $stamped $signer signatures=1 $valid | verdict 0x00000000
signed-stamped.exe: $good digest=SHA-256 $stamped $signer signatures=1 $valid | verdict 0x00000000
signed-unstamped.exe: $good digest=SHA-256 timestamp=none time="" stamp-verified=no $signer signatures=1 $valid | verdict 0x00000000
stamp-broken.exe: $good digest=SHA-256 timestamp=rfc3161 time="2026-01-01 00:00:01" stamp-verified=no $signer signatures=1 $valid | verdict 0x00000000
text.exe: $unsigned | verdict 0x800B0003
unsigned.exe: $unsigned | verdict 0x800B0100
ROWS

# Wine shows a Linux path through its drive Z:.
windows_samples=Z:$(echo "$samples" | tr / '\\')
"$wine_run" "$platform_printer" "$windows_samples" | tr -d '\r' >"$work/platform"
status=0
if ! diff "$work/expected" "$work/platform"; then
  echo "FAILED: the platform's facts (>) differ from what the files were made to be (<)"
  status=1
else
  echo "the platform's facts are what each file was made to be: $(wc -l <"$work/platform") files"
fi

if [ ! -x "$host_printer" ]; then
  echo "skipped: the host build's reader ($host_printer) is not here (in the guest, or the host"
  echo "build not made), so the two builds are not held to each other in this run"
  exit "$status"
fi
sed 's/ | .*//' "$work/platform" >"$work/platform-facts"
"$host_printer" "$samples" >"$work/host"
if ! diff "$work/platform-facts" "$work/host"; then
  echo "FAILED: the host build's facts (>) differ from the platform's (<)"
  exit 1
fi
echo "the host build's facts equal the platform's: $(wc -l <"$work/host") files"
exit "$status"
