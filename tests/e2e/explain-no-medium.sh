#!/bin/sh
# autorun-check --explain with no medium anywhere: from a folder without
# install.dat, and with the suite's medium and CD-ROM drives taken out of the
# Wine prefix for the run (and put back, with the mount manager restarted),
# it gives one line that asks for the medium's drive, with exit status 2.
# Usage: explain-no-medium.sh PREFIX WINE_RUN CHECKER
set -eu
prefix=$1 wine_run=$2 checker=$3
held=$(mktemp -d)
work=$(mktemp -d)
restore() {
  for link in "$held"/*; do
    if [ -L "$link" ]; then mv "$link" "$prefix/dosdevices/"; fi
  done
  rmdir "$held"
  rm -rf "$work"
  # The mount manager took the drives as gone: restarted, it reads them and
  # the CD-ROM drive's type again, as the suite's preparation left them.
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
}
trap restore EXIT
for drive in r: s:; do
  if [ -L "$prefix/dosdevices/$drive" ]; then mv "$prefix/dosdevices/$drive" "$held/"; fi
done
cd "$work"
status=0
"$wine_run" "$checker" --explain >output || status=$?
cat output
lines=$(grep -c . output || true)
if [ "$status" -ne 2 ] || [ "$lines" -ne 1 ] || ! grep -q "give the medium's drive" output; then
  echo "FAILED: expected one line asking for the drive and exit status 2 (got $status, $lines lines)"
  exit 1
fi
