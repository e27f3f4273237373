#!/bin/sh
# Holds the platform's reading of each signed program (make-signed-programs.sh)
# to what the file was made to be, with WinVerifyTrust's verdict as this
# Wine gives it, and then to the host build's reading of the same files,
# fact for fact (signature_line.h). In a guest without the host build the
# second half is skipped, and says so.
# Usage: signature-differential.sh WINE_RUN PLATFORM_PRINTER PROGRAMS HOST_PRINTER
set -eu
wine_run=$1 platform_printer=$2 samples=$3 host_printer=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What each file was made to be. Times and validity are the making's own
# ("now", or the authority's clock), so these rows ask only that they are
# there; the host build's reading must then give them exactly. Every
# signature chains to the throwaway root, which no machine trusts: Windows
# answers CERT_E_UNTRUSTEDROOT (0x800B0109) for each intact one, where Wine
# answers S_OK, which is what these rows can show; for expired.exe Windows
# would also find the certificate expired (CERT_E_EXPIRED, 0x800B0101),
# which Wine does not. Not measured on Windows here: its answer for the DOS
# program and the package (Wine: TRUST_E_NOSIGNATURE, and
# TRUST_E_SUBJECT_FORM_UNKNOWN) and for content-altered.exe (Wine:
# TRUST_E_BAD_DIGEST).
publisher='signer="Throwaway Publisher" issuer="Throwaway Root CA"'
valid='nested= valid=? to ?'
stamped='timestamp=rfc3161 time=? stamp-verified=yes'
unstamped='timestamp=none time="" stamp-verified=no'
good="embedded=yes intact=yes verified=yes"
unsigned="embedded=no intact=no verified=no digest= $unstamped signer=\"\" issuer=\"\" signatures=0 nested= valid=\"\" to \"\""
cat >"$work/expected" <<ROWS
changed.exe: embedded=yes intact=no verified=yes digest=SHA-256 $stamped $publisher signatures=1 $valid | verdict 0x80096010
content-altered.exe: embedded=yes intact=no verified=no digest=SHA-256 $stamped $publisher signatures=1 $valid | verdict 0x80096010
dos.exe: $unsigned | verdict 0x800B0100
expired.exe: $good digest=SHA-256 $unstamped signer="Throwaway Expired Publisher" issuer="Throwaway Root CA" signatures=1 $valid | verdict 0x00000000
nested.exe: $good digest=SHA-1 $stamped $publisher signatures=2 nested=SHA-256 valid=? to ? | verdict 0x00000000
no-stamp.exe: $good digest=SHA-256 $unstamped $publisher signatures=1 $valid | verdict 0x00000000
other.exe: $good digest=SHA-256 $stamped signer="Throwaway Second Publisher" issuer="Throwaway Root CA" signatures=1 $valid | verdict 0x00000000
package.msi: $unsigned | verdict 0x800B0003
sha1.exe: $good digest=SHA-1 $stamped $publisher signatures=1 $valid | verdict 0x00000000
signed.exe: $good digest=SHA-256 $stamped $publisher signatures=1 $valid | verdict 0x00000000
stamp-broken.exe: $good digest=SHA-256 timestamp=rfc3161 time=? stamp-verified=no $publisher signatures=1 $valid | verdict 0x00000000
text.exe: $unsigned | verdict 0x800B0003
unsigned.exe: $unsigned | verdict 0x800B0100
x64.exe: $good digest=SHA-256 $stamped $publisher signatures=1 $valid | verdict 0x00000000
ROWS

# The programs' lines only (the folder also holds the certificates), and
# for the rows above, times and validity there or not.
programs() { grep -E '^[^:]+\.(exe|msi): ' || true; }
present() { sed -E 's/time="[^"]+"/time=?/; s/valid="[^"]+" to "[^"]+"/valid=? to ?/'; }

# Wine shows a Linux path through its drive Z:.
windows_samples=Z:$(echo "$samples" | tr / '\\')
"$wine_run" "$platform_printer" "$windows_samples" | tr -d '\r' | programs >"$work/platform"
status=0
if ! present <"$work/platform" | diff "$work/expected" -; then
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
"$host_printer" "$samples" | programs >"$work/host"
if ! diff "$work/platform-facts" "$work/host"; then
  echo "FAILED: the host build's facts (>) differ from the platform's (<)"
  exit 1
fi
echo "the host build's facts equal the platform's: $(wc -l <"$work/host") files"
exit "$status"
