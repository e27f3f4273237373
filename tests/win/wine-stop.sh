#!/bin/sh
# Ends the test run's wineserver.
export WINEPREFIX="$1"
wineserver -k 2>/dev/null || true
echo "wineserver stopped"
