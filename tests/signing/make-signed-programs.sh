#!/bin/sh
# Makes, in FOLDER (in the build tree; never committed), the programs the
# checker's signature rows judge, with throwaway certificates made here: a
# root authority, a publisher's code-signing certificate and a time-stamp
# authority's certificate, both issued by the root. osslsigncode's built-in
# time-stamp authority (-TSA-certs, -TSA-key, -TSA-time, from version 2.7)
# gives an RFC 3161 time stamp without any network; an older osslsigncode
# (Debian 12's is 2.5) asks one on the loopback interface instead, which
# openssl ts answers with the same throwaway authority.
#   signed.exe      SHA-256, time-stamped     unsigned.exe  the same program, unsigned
#   changed.exe     signed.exe, one byte changed after signing
#   no-stamp.exe    SHA-256, no time stamp    sha1.exe      SHA-1 only, time-stamped
#   other.exe       signed by a second publisher of the same root
#   expired.exe     signed with a certificate that expired in 2021, no time stamp
#   x64.exe         a 64-bit (PE32+) program, written here from the format, signed
#   text.exe        a text file               dos.exe       an MS-DOS program
#   package.msi     a compound file's start, as a Windows Installer package has
#   nested.exe      sha1.exe with a nested SHA-256 signature, time-stamped
#   stamp-broken.exe  signed.exe with its time stamp's time changed
#   content-altered.exe  signed.exe with the file digest it signed changed
# With PROGRAM (a Windows build's stand-in program), that program is signed
# instead of a small one compiled here.
# Usage: make-signed-programs.sh FOLDER [PROGRAM]
set -eu
folder=$1
program=${2:+$(cd "$(dirname "$2")" && pwd)/$(basename "$2")}
mkdir -p "$folder"
cd "$folder"
rm -f ./*.exe ./*.msi ./*.pem ./*.key ./*.srl index* tsa*

cat >openssl.cnf <<'CONF'
[req]
distinguished_name = name
prompt = no
[name]
CN = unused
[root]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[code_signing]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
[ca]
default_ca = throwaway
[throwaway]
database = index
new_certs_dir = .
rand_serial = yes
default_md = sha256
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
[time_stamping]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
CONF

# NAME's key and a certificate for SUBJECT of kind EXTENSIONS, issued by the
# root (or by itself, for the root).
certificate() {
  name=$1 subject=$2 extensions=$3
  openssl req -new -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.csr" \
    -config openssl.cnf -subj "/CN=$subject" 2>/dev/null
  if [ "$name" = root ]; then
    openssl x509 -req -in root.csr -signkey root.key -days 3650 -out root.pem \
      -extfile openssl.cnf -extensions root 2>/dev/null
  else
    openssl x509 -req -in "$name.csr" -CA root.pem -CAkey root.key -CAcreateserial -days 3650 \
      -out "$name.pem" -extfile openssl.cnf -extensions "$extensions" 2>/dev/null
  fi
  rm "$name.csr"
}
certificate root "Throwaway Root CA" root
certificate publisher "Throwaway Publisher" code_signing
certificate second "Throwaway Second Publisher" code_signing
certificate tsa "Throwaway Time Stamps" time_stamping
# A publisher's certificate of 2020, expired since 2021.
: >index
openssl req -new -newkey rsa:2048 -nodes -keyout expired.key -out expired.csr \
  -config openssl.cnf -subj "/CN=Throwaway Expired Publisher" 2>/dev/null
openssl ca -batch -config openssl.cnf -cert root.pem -keyfile root.key -in expired.csr \
  -out expired.pem -startdate 20200101000000Z -enddate 20210101000000Z -extensions code_signing \
  -notext 2>/dev/null
rm -f expired.csr index* ./*.0 ./[0-9A-F]*.pem
cat tsa.pem root.pem >tsa-chain.pem

if [ -n "$program" ]; then
  cp "$program" unsigned.exe
else
  printf 'int main(void) { return 0; }\n' >program.c
  i686-w64-mingw32-gcc -Os -s -o unsigned.exe program.c
  rm program.c
fi
# A 64-bit program of one section ("xor eax, eax; ret"), from the PE format:
# its checksum and data directories sit where PE32+ puts them.
python3 - <<'PY'
import struct
image = bytearray(0x400)
image[0:2] = b"MZ"
struct.pack_into("<I", image, 0x3C, 0x40)
image[0x40:0x44] = b"PE\0\0"
struct.pack_into("<HHIIIHH", image, 0x44, 0x8664, 1, 0, 0, 0, 240, 0x22)
optional = 0x58
struct.pack_into("<HBBIIIII", image, optional, 0x20B, 0, 0, 0x200, 0, 0, 0x1000, 0x1000)
struct.pack_into("<QII", image, optional + 24, 0x140000000, 0x1000, 0x200)
struct.pack_into("<HHHHHHI", image, optional + 40, 6, 0, 0, 0, 6, 0, 0)
struct.pack_into("<IIIHH", image, optional + 56, 0x2000, 0x200, 0, 2, 0x8160)
struct.pack_into("<QQQQII", image, optional + 72, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
struct.pack_into("<8sIIIIIIHHI", image, optional + 240, b".text", 0x10, 0x1000, 0x200, 0x200,
                 0, 0, 0, 0, 0x60000020)
image[0x200:0x203] = b"\x31\xC0\xC3"
open("x64-unsigned.exe", "wb").write(image)
PY

# A time-stamp authority on the loopback interface: each request answered
# by openssl ts; nothing leaves this machine.
loopback_tsa() {
  cat >tsa.cnf <<'CONF'
[tsa]
default_tsa = throwaway
[throwaway]
serial = tsa-serial
signer_cert = tsa.pem
certs = root.pem
signer_key = tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256, sha384, sha512
ess_cert_id_alg = sha256
CONF
  echo 01 >tsa-serial
  cat >tsa-server.py <<'PY'
import http.server, subprocess
class Answer(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", "tsa.cnf", "-queryfile",
                                "/dev/stdin", "-out", "/dev/stdout"], input=query,
                               capture_output=True).stdout
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Answer)
print(server.server_port, flush=True)
server.serve_forever()
PY
  rm -f tsa-port
  python3 tsa-server.py >tsa-port &
  tsa_server=$!
  trap 'kill $tsa_server 2>/dev/null' EXIT
  while [ ! -s tsa-port ]; do sleep 0.1; done
  stamp="-ts http://127.0.0.1:$(cat tsa-port)/"
  export no_proxy=127.0.0.1 NO_PROXY=127.0.0.1
}
if osslsigncode sign --help 2>&1 | grep -q -- -TSA-certs && [ -z "${AUTORUN_LOOPBACK_TSA:-}" ]; then
  # Now: inside every certificate's validity.
  stamp="-TSA-certs tsa-chain.pem -TSA-key tsa.key -TSA-time $(date +%s)"
else
  loopback_tsa
fi
sign() {
  out=$1 certificate=$2 hash=$3
  shift 3
  # shellcheck disable=SC2068  # the time-stamp options split into words
  osslsigncode sign -certs "$certificate.pem" -key "$certificate.key" -ac root.pem -h "$hash" \
    $@ -in unsigned.exe -out "$out" >/dev/null
}
sign signed.exe publisher sha256 $stamp
sign no-stamp.exe publisher sha256
sign sha1.exe publisher sha1 $stamp
sign other.exe second sha256 $stamp
sign expired.exe expired sha256
# shellcheck disable=SC2086  # the time-stamp options split into words
osslsigncode sign -certs publisher.pem -key publisher.key -ac root.pem -h sha256 $stamp \
  -in x64-unsigned.exe -out x64.exe >/dev/null
rm x64-unsigned.exe
cp signed.exe changed.exe
# One byte of the program's code, inverted.
at=$(($(stat -c %s unsigned.exe) / 2))
byte=$(od -An -tu1 -j "$at" -N 1 signed.exe | tr -d ' ')
# shellcheck disable=SC2059  # the format is the octal escape of the byte
printf "$(printf '\\%03o' $((byte ^ 255)))" | dd of=changed.exe bs=1 seek="$at" conv=notrunc 2>/dev/null

# shellcheck disable=SC2086  # the time-stamp options split into words
osslsigncode sign -certs publisher.pem -key publisher.key -ac root.pem -h sha256 -nest $stamp \
  -in sha1.exe -out nested.exe >/dev/null
# One byte in signed.exe's certificate table, which its digest leaves out:
# the last digit of the time stamp's time (a GeneralizedTime, which no
# certificate here uses), so that the authority's signature no longer
# holds; or the first byte of the file digest that the signature signs
# (after SpcIndirectDataContent's type, its SHA-256 DigestInfo), so that
# neither the file nor the signer's own signature matches it.
change_signed() {
  cp signed.exe "$2"
  python3 - "$1" "$2" <<'PY'
import re, sys
what, path = sys.argv[1], sys.argv[2]
data = bytearray(open(path, "rb").read())
if what == "time":
    at = re.search(rb"\x18\x0f20[0-9]{12}Z", data).start() + 15
    data[at] = ord("8") if data[at] == ord("9") else data[at] + 1
else:
    content = data.index(bytes.fromhex("060a2b0601040182370201 04"))
    digest = bytes.fromhex("0609608648016503040201 0500 0420")
    data[data.index(digest, content) + len(digest)] ^= 0xFF
open(path, "wb").write(data)
PY
}
change_signed time stamp-broken.exe
change_signed digest content-altered.exe

printf '@echo off\r\nrem a script, not a program\r\nstart setup.msi\r\n' >text.exe
# An MS-DOS program: its header (e_lfanew 0) and "mov ax,4C00h; int 21h".
printf 'MZ\220\000\003\000\000\000\004\000\000\000\377\377\000\000' >dos.exe
head -c 44 /dev/zero >>dos.exe
printf '\000\000\000\000\270\000\114\315\041' >>dos.exe
printf '\320\317\021\340\241\261\032\341' >package.msi
head -c 504 /dev/zero >>package.msi
echo "programs to judge in $folder"
