#!/bin/sh
# Checks that SIGNED is the program UNSIGNED plus a signature and nothing
# else: up to the certificate table their bytes are the same, except the
# two header fields that signing sets (the checksum and the certificate
# table's place and size), the table follows the program and ends the file,
# osslsigncode verifies the signature with ANCHOR as the only trusted
# certificate, and it refuses a copy with one byte of the program changed.
set -eu
unsigned=$1 signed=$2 anchor=$3
status=0
fail() {
  echo "$*"
  status=1
}
number() { od -An -tu"$3" -j "$2" -N "$3" "$1" | tr -d ' '; }

header=$(($(number "$signed" 60 4) + 4))
optional=$((header + 20))
case $(number "$signed" "$optional" 2) in
  267) directories=$((optional + 96)) ;;   # PE32
  523) directories=$((optional + 112)) ;;  # PE32+
  *) echo "$signed is not a Windows program"; exit 1 ;;
esac
checksum=$((optional + 64))
entry=$((directories + 4 * 8))  # the fifth directory: the certificate table
table=$(number "$signed" "$entry" 4)
table_size=$(number "$signed" $((entry + 4)) 4)
size=$(stat -c %s "$unsigned")
signed_size=$(stat -c %s "$signed")
echo "program: $size bytes; signed: $signed_size bytes, certificate table at $table ($table_size bytes)"

[ "$(number "$unsigned" "$entry" 4)" -eq 0 ] || fail "$unsigned is signed already"
[ "$table" -ge "$size" ] && [ $((table + table_size)) -eq "$signed_size" ] ||
  fail "the certificate table must follow the program and end the file"
# cmp -l lists the differing bytes (offsets from 1) up to the shorter file's end.
changed=$(cmp -l "$unsigned" "$signed" 2>/dev/null |
  awk -v sum="$checksum" -v entry="$entry" '{ at = $1 - 1 }
    !(at >= sum && at < sum + 4) && !(at >= entry && at < entry + 8) { print at }' | head -n 8 |
  tr '\n' ' ')
[ -z "$changed" ] || fail "the program's bytes differ from the unsigned ones at offsets $changed"

if ! osslsigncode verify -CAfile "$anchor" -in "$signed" >/dev/null 2>&1; then
  osslsigncode verify -CAfile "$anchor" -in "$signed" || true
  fail "the signature does not verify with $anchor"
fi
# One byte in the middle of the program, inverted.
tampered=$(mktemp)
trap 'rm -f "$tampered"' EXIT
cp "$signed" "$tampered"
at=$((size / 2))
byte=$(number "$signed" "$at" 1)
# shellcheck disable=SC2059  # the format is the octal escape of the byte
printf "$(printf '\\%03o' $((byte ^ 255)))" | dd of="$tampered" bs=1 seek="$at" conv=notrunc 2>/dev/null
cmp -s "$signed" "$tampered" && fail "could not change byte $at of a copy"
if osslsigncode verify -CAfile "$anchor" -in "$tampered" >/dev/null 2>&1; then
  fail "the signature verifies on a copy with byte $at changed"
fi

[ "$status" -eq 0 ] && echo "the signed program is the program plus a signature that verifies"
exit "$status"
