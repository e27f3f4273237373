#!/bin/sh
# Makes the build's private Wine prefix (once) with the null graphics driver,
# so message boxes exist without a display, and keeps one wineserver alive
# for the whole test run. The second argument is the Wine loader to use:
# "wine" for 32-bit programs, Wine's 64-bit loader by its path for the 64-bit
# twin on a machine that cannot run 32-bit code (where "wine" itself would be
# the 32-bit loader, which cannot start).
set -eu
export WINEPREFIX="$1"
wine="${2:-wine}"
case $wine in /*) export WINELOADER="$wine" ;; esac
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
if [ ! -f "$WINEPREFIX/.autorun-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1
  wineserver -w
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -k || true
  wineserver -w
  touch "$WINEPREFIX/.autorun-ready"
fi
# Already running from an earlier run is fine.
wineserver -p </dev/null >/dev/null 2>&1 || true
echo "wine prefix ready: $WINEPREFIX"
