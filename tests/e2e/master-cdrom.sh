#!/bin/sh
# Masters the end-to-end suite's CD-ROM as a publisher would (xorriso, Joliet
# with long names): autorun.exe, the suite's install.dat and autorun.inf,
# and the stand-in program as setup and direct-run programs. Then extracts
# it with the Joliet names, the ones Windows shows, for a drive of the
# build's Wine prefix; the image itself goes to a guest as its CD-ROM drive.
# Usage: master-cdrom.sh IMAGE FILES AUTORUN RECORDER TEXTS
set -eu
image=$1 files=$2 autorun=$3 recorder=$4 texts=$5
staging=$image.staging
rm -rf "$staging" "$image"
mkdir -p "$staging/setup" "$staging/extras"
cp "$autorun" "$staging/autorun.exe"
cp "$texts/install.dat" "$texts/autorun.inf" "$staging/"
for program in setup/setup.exe extras/runfirst.exe extras/installed.exe; do
  cp "$recorder" "$staging/$program"
done
xorriso -as mkisofs -quiet -J -joliet-long -V AUTORUN_E2E -o "$image" "$staging" 2>/dev/null
rm -rf "$staging"
# The names as Windows reads them: Joliet's, Rock Ridge's ignored.
[ ! -d "$files" ] || chmod -R u+w "$files"
rm -rf "$files"
xorriso -osirrox on -read_fs norock -indev "$image" -extract / "$files" >/dev/null 2>&1
