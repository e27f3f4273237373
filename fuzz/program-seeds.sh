#!/bin/sh
# Makes the program-reader fuzzer's seeds in FOLDER: the signature rows'
# programs (signed, time-stamped, changed, SHA-1, unsigned, MS-DOS, text, a
# package's start), signed at each run with throwaway certificates, so that
# no program is kept in the tree.
# Usage: program-seeds.sh FOLDER
set -eu
folder=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sh "$(dirname "$0")/../tests/signing/make-signed-programs.sh" "$work" >/dev/null
cp "$work"/*.exe "$work"/*.msi "$folder/"
