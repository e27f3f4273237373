#!/bin/sh
# In the test guest: every Windows-side suite of the 32-bit build, on the
# real autorun.exe, with the tests that need no Wine left to the host (they
# need its binary tools and ran there already). The build's Wine prefix is
# the guest's own, made when the guest was built. CTest's full log goes back
# to the host beside the guest's console log.
set -eu
prefix=build/win32/wineprefix
mkdir -p "$prefix"
mount --bind /var/lib/autorun-guest/wineprefix "$prefix"
# The mastered image, attached as this guest's CD-ROM drive, read by the
# kernel's ISO 9660 driver with its Joliet names (Rock Ridge off, as Windows
# reads it): the end-to-end suite's CD-ROM drive then is a real one.
# Without it the suite makes a read-only bind mount of the image's files.
cdrom=build/win32/e2e/cdrom
rm -f "$cdrom.state"
modprobe -q ata_piix 2>/dev/null || true
modprobe -q sr_mod 2>/dev/null || true
modprobe -q isofs 2>/dev/null || true
for _ in 1 2 3 4 5 6 7 8 9 10; do [ -b /dev/sr0 ] && break; sleep 1; done
if [ -b /dev/sr0 ] && mkdir -p "$cdrom" && mount -t iso9660 -o ro,norock /dev/sr0 "$cdrom"; then
  echo "guest's CD-ROM drive /dev/sr0, holding cdrom.iso, mounted read-only" >"$cdrom.state"
  echo "guest: CD-ROM drive /dev/sr0 mounted at $cdrom"
else
  echo "guest: no CD-ROM drive here; the suite makes a read-only bind mount instead"
fi
# Everything here is many times slower than on a machine that runs 32-bit
# code itself: the tests wait this many times longer for what they expect.
export AUTORUN_TEST_PATIENCE=4
status=0
ctest --preset win32 --label-exclude without_wine || status=$?
cp build/win32/Testing/Temporary/LastTest.log "$AUTORUN_GUEST_RESULTS/" || true
exit $status
