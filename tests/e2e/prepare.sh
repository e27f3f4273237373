#!/bin/sh
# Mounts the sample medium's folder as a drive of the build's Wine prefix, the
# way a disc appears, and generates (without root) the Japanese UTF-8 locale
# with which Wine can name files in code page 932.
set -eu
prefix=$1 drive=$2 medium=$3 locales=$4
mkdir -p "$medium" "$locales"
ln -sfn "$medium" "$prefix/dosdevices/$drive"
echo "medium $drive -> $medium"
if [ ! -f "$locales/ja_JP.UTF-8/LC_CTYPE" ]; then
  localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1 || true
fi
if [ -f "$locales/ja_JP.UTF-8/LC_CTYPE" ]; then
  echo "locale ja_JP.UTF-8 in $locales"
else
  echo "could not generate the ja_JP.UTF-8 locale: the code page 932 case will be skipped"
fi
