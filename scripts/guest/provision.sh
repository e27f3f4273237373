#!/bin/sh
# Runs once in the test guest, on its first boot, when its image is built:
# configures the packages that could only be unpacked outside it (their
# maintainer scripts run 32-bit programs), proves that a 32-bit program runs
# here, and makes the Wine prefix every later boot starts from, with the same
# script the tests use.
set -eu
dpkg --configure -a
for package in wine wine32:i386 wine64 cmake locales; do
  if ! dpkg-query -W -f '${db:Status-Abbrev}' "$package" 2>/dev/null | grep -q '^ii'; then
    echo "guest: package $package is not installed"
    exit 1
  fi
done
echo "guest: the 32-bit loader runs: $(/usr/lib/wine/wine --version)"
mkdir -p /var/lib/autorun-guest
sh tests/win/wine-prefix.sh /var/lib/autorun-guest/wineprefix wine
wineserver -k || true
wineserver -w
