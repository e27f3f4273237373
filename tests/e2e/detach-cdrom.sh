#!/bin/sh
# Undoes prepare.sh's read-only bind mount of the CD-ROM drive's folder
# MOUNT; the guest's own CD-ROM drive stays, it goes with the guest.
set -eu
mount=$1
case $(cat "$mount.state" 2>/dev/null) in
  guest*) ;;
  *) if [ ! -L "$mount" ] && mountpoint -q "$mount"; then umount "$mount"; fi ;;
esac
