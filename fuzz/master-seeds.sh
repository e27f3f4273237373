#!/bin/sh
# Masters the disc-image fuzzer's seeds into FOLDER: a small medium (a long
# program name, an 8.3-breaking one) as xorriso writes it with and without
# Joliet and as genisoimage writes a bridge disc with UDF. Made at each run,
# so that no image is kept in the tree.
# Usage: master-seeds.sh FOLDER
set -eu
folder=$1
medium=$(mktemp -d)
trap 'rm -rf "$medium"' EXIT
long=$(printf 'a%.0s' $(seq 70))
mkdir -p "$medium/setup" "$medium/extras"
printf '[Config]\r\nUnInstKey=P\r\nSetupPath=setup\\setup_x64.msi\r\nProductLink=\\P\\P.lnk\r\n[AppRun]\r\nRunFirst=extras\\%s.exe\r\n' \
  "$long" >"$medium/install.dat"
printf '[autorun]\r\nopen=autorun.exe\r\n' >"$medium/autorun.inf"
for program in autorun.exe setup/setup_x64.msi "extras/$long.exe"; do echo MZ >"$medium/$program"; done
xorriso -as mkisofs -quiet -no-pad -J -o "$folder/joliet.iso" "$medium" 2>/dev/null
xorriso -as mkisofs -quiet -no-pad -o "$folder/no-joliet.iso" "$medium" 2>/dev/null
genisoimage -quiet -no-pad -udf -J -R -o "$folder/bridge.iso" "$medium"
