#!/bin/sh
# Makes the files whose signatures the checker's two builds read, in FOLDER
# (in the build tree, never committed), from PROGRAM, a Windows program of
# the build: a throwaway root, a publisher and a time-stamping authority it
# issued, and the program signed by osslsigncode in each way that matters,
# time-stamped without a network (-TSA-certs, -TSA-key, -TSA-time), beside
# files that are no Windows program. Everything is made anew each time.
#
#   signed-stamped.exe    SHA-256, RFC 3161 time stamp of 2026-01-01 00:00:00
#   signed-unstamped.exe  SHA-256, no time stamp
#   signed-sha1.exe       SHA-1 only, stamped
#   nested.exe            SHA-1, with a nested SHA-256 signature, both stamped
#   altered.exe           signed-stamped.exe with one byte of its DOS stub changed
#   stamp-broken.exe      signed-stamped.exe with its time stamp's time changed
#   content-altered.exe   signed-stamped.exe with the signed file digest changed
#   unsigned.exe          the program as built
#   text.exe              a text file
#   dos.exe               a 16-bit DOS program (MZ and no newer header)
# Usage: make-signed-samples.sh FOLDER PROGRAM
set -eu
folder=$1
program=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
rm -rf "$folder"
mkdir -p "$folder/authority/issued"
cd "$folder/authority"
: >index
cat >openssl.cnf <<'EOF'
[req]
distinguished_name = name
prompt = no
[name]
CN = unused
[ca]
default_ca = throwaway
[throwaway]
database = index
new_certs_dir = issued
rand_serial = yes
default_md = sha256
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
[root]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[publisher]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[time_stamps]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF
quiet() { "$@" >/dev/null 2>&1 || { echo "failed: $*"; "$@"; exit 1; }; }
# Certificate NAME with common name CN, of the kind NAME names above, valid
# from 2025 to 2035 (the stamps' time lies inside): the root signs itself,
# the others are issued by it.
issue() {
  name=$1 common=$2
  quiet openssl req -new -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.csr" \
    -config openssl.cnf -subj "/CN=$common"
  if [ "$name" = root ]; then signer="-selfsign"; else signer="-cert root.pem"; fi
  # shellcheck disable=SC2086
  quiet openssl ca -batch -config openssl.cnf $signer -keyfile root.key -in "$name.csr" \
    -out "$name.pem" -startdate 20250101000000Z -enddate 20350101000000Z -extensions "$name" \
    -notext
  rm "$name.csr"
}
issue root "Throwaway Test Root"
issue publisher "Throwaway Test Publisher"
issue time_stamps "Throwaway Test Time Stamps"
cat time_stamps.pem root.pem >time_stamps-chain.pem
cd ..

# Signed at 2025-12-31 23:40:00 UTC, and stamped at 2026-01-01 00:00:00.
signed_at=1767224400
stamp="-TSA-certs authority/time_stamps-chain.pem -TSA-key authority/time_stamps.key"
stamp="$stamp -TSA-time 1767225600"
sign() {
  output=$1 input=$2
  shift 2
  quiet osslsigncode sign -certs authority/publisher.pem -key authority/publisher.key \
    -ac authority/root.pem -time "$signed_at" -in "$input" -out "$output" "$@"
}
cp "$program" unsigned.exe
# shellcheck disable=SC2086
{
  sign signed-stamped.exe unsigned.exe -h sha256 $stamp
  sign signed-unstamped.exe unsigned.exe -h sha256
  sign signed-sha1.exe unsigned.exe -h sha1 $stamp
  sign nested.exe signed-sha1.exe -h sha256 -nest $stamp
}
# One byte of the DOS stub's message: covered by the digest, and the
# program's headers stay sound.
cp signed-stamped.exe altered.exe
printf 'X' | dd of=altered.exe bs=1 seek=80 conv=notrunc 2>/dev/null
# Sets the byte OFFSET bytes into the first run of the bytes HEX in FILE to
# the character VALUE, or one next to it where it is that already (python3:
# the run may hold a newline, which a search by lines cannot find).
set_byte() {
  python3 - "$@" <<'PY'
import sys
path, run, offset, value = sys.argv[1], bytes.fromhex(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
data = bytearray(open(path, "rb").read())
at = data.index(run) + offset
data[at] = ord(value) if data[at] != ord(value) else ord(value) ^ 1
open(path, "wb").write(data)
PY
}
# The time stamp's time, one second later: its authority's signature no
# longer holds, while the file's digest (which leaves the table out) does.
cp signed-stamped.exe stamp-broken.exe
set_byte stamp-broken.exe "$(printf '20260101000000Z' | od -An -tx1 | tr -d ' \n')" 13 1
# The file digest that the signature signed, its first byte changed: the
# file no longer matches it, nor does the signer's own signature hold.
cp signed-stamped.exe content-altered.exe
digest=$(osslsigncode verify -in signed-stamped.exe 2>/dev/null |
  awk -F': ' '/Current message digest/ { gsub(/ /, "", $2); print $2; exit }')
set_byte content-altered.exe "$digest" 0 X
printf 'This is a text file, named as a program.\r\n' >text.exe
# A DOS program: a 64-byte MZ header (four paragraphs) whose new-header
# offset is 0, and code that ends it (mov ax, 4C00h; int 21h).
{
  printf 'MZ\106\000\001\000\000\000\004\000\000\000\377\377\000\000\000\001'
  printf '\000\000\000\000\000\000\100\000\000\000'
  head -c 36 /dev/zero
  printf '\270\000\114\315\041\000'
} >dos.exe
echo "signed samples in $folder"
