#!/usr/bin/env bash
# Builds autorun.exe and runs it under Wine on the sample medium, mounted as
# drive M: the way a disc would be. The product is not installed, so the
# launcher starts the medium's setup program and waits until it has ended.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target autorun demo_setup >/dev/null

demo=$root/build/demo
medium=$demo/medium
rm -rf "$medium"
mkdir -p "$medium/setup"
cp examples/medium/install.dat examples/medium/autorun.inf build/win32/bin/autorun.exe "$medium/"
cp build/win32/bin/demo_setup.exe "$medium/setup/setup.exe"

export WINEPREFIX=$demo/wineprefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
echo "Preparing the Wine prefix $WINEPREFIX (the first time takes about 20 seconds)..."
sh tests/win/wine-prefix.sh "$WINEPREFIX" >/dev/null
ln -sfn "$medium" "$WINEPREFIX/dosdevices/m:"

echo "Running M:\\autorun.exe from M:\\ (sample medium: $medium)"
started=$(date +%s.%N)
status=0
wine start /wait /d 'M:\' 'M:\autorun.exe' >/dev/null 2>&1 || status=$?
ended=$(date +%s.%N)
wineserver -k 2>/dev/null || true

echo
echo "What happened:"
if [ -f "$medium/demo-setup.txt" ]; then
  sed 's/^/  /' "$medium/demo-setup.txt"
else
  echo "  the setup program did not run"
fi
printf '  the launcher ran for %.1f seconds and exited with code %s\n' \
  "$(awk "BEGIN { print $ended - $started }")" "$status"
echo
echo "autorun.exe: $root/build/win32/bin/autorun.exe ($(stat -c %s build/win32/bin/autorun.exe) bytes)"
echo "Wine prefix: $WINEPREFIX"
