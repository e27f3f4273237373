#!/bin/sh
# Mounts the sample medium's folder as a drive of the build's Wine prefix, the
# way a disc appears, and generates (without root) the Japanese UTF-8 locale
# with which Wine can name files in code page 932; with four more arguments,
# also a read-only CD-ROM drive holding the mastered image's files.
# Usage: prepare.sh PREFIX DRIVE MEDIUM LOCALES [CD_DRIVE FILES MOUNT WINE_RUN]
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

# The CD-ROM drive, when asked for: DRIVE (s:) of type cdrom over MOUNT, a
# read-only view of FILES, the mastered image's files by their Joliet
# names. The guest mounts its own CD-ROM drive there before the suites run
# and says so in MOUNT.state; elsewhere a read-only bind mount is made (as
# root, the files' modes would not stop a write), or, where mounting is not
# allowed, the drive is the folder itself and MOUNT.state says it can be
# written to. WINE_RUN sets the drive's type in the prefix's registry.
[ $# -ge 8 ] || exit 0
cd_drive=$5 cd_files=$6 cd_mount=$7 wine_run=$8
state=$cd_mount.state
[ ! -L "$cd_mount" ] || rm "$cd_mount"
mkdir -p "$cd_mount"
case $(cat "$state" 2>/dev/null) in
  guest*) ;;
  *)
    # Left by a run that was stopped before its cleanup.
    ! mountpoint -q "$cd_mount" || umount "$cd_mount"
    if mount --bind "$cd_files" "$cd_mount" 2>/dev/null &&
      mount -o remount,ro,bind "$cd_mount" 2>/dev/null; then
      echo "read-only bind mount of $cd_files" >"$state"
    else
      ! mountpoint -q "$cd_mount" || umount "$cd_mount"
      rmdir "$cd_mount"
      ln -sfn "$cd_files" "$cd_mount"
      echo "writable: this machine allows no read-only bind mount here" >"$state"
    fi
    ;;
esac
ln -sfn "$cd_mount" "$prefix/dosdevices/$cd_drive"
# In the 64-bit view, where the mount manager reads it: a 32-bit reg.exe
# would write to the 32-bit one.
"$wine_run" reg add 'HKLM\Software\Wine\Drives' /v "$cd_drive" /d cdrom /f /reg:64 >/dev/null
# The mount manager reads the drives' types when it starts.
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
WINEPREFIX=$prefix wineserver -p </dev/null >/dev/null 2>&1 || true
echo "CD-ROM $cd_drive -> $cd_mount ($(cat "$state"))"
