#!/bin/sh
# Makes the build's private Wine prefix (once) with the null graphics driver,
# so message boxes exist without a display, and keeps one wineserver alive
# for the whole test run.
set -eu
export WINEPREFIX="$1"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
if [ ! -f "$WINEPREFIX/.autorun-ready" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -k || true
  wineserver -w
  touch "$WINEPREFIX/.autorun-ready"
fi
# Already running from an earlier run is fine.
wineserver -p </dev/null >/dev/null 2>&1 || true
echo "wine prefix ready: $WINEPREFIX"
