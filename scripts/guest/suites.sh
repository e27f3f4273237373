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
# Everything here is many times slower than on a machine that runs 32-bit
# code itself: the tests wait this many times longer for what they expect.
export AUTORUN_TEST_PATIENCE=4
status=0
ctest --preset win32 --label-exclude without_wine || status=$?
cp build/win32/Testing/Temporary/LastTest.log "$AUTORUN_GUEST_RESULTS/" || true
exit $status
