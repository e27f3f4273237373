#!/usr/bin/env bash
# Builds the test guest: a Debian 12 x86-64 system whose own kernel runs
# 32-bit code, with Wine's 32- and 64-bit loaders, CMake's test driver and
# the locale sources, on a raw ext4 disk image, with its kernel and initial
# ramdisk beside it for qemu to boot directly. Everything comes from Debian's
# packages, through the mirror this machine's own apt configuration names.
#
# Usage: build-image.sh FOLDER (made empty by the caller; needs root)
#
# The 32-bit packages are only unpacked here, since this machine cannot run
# their maintainer scripts' 32-bit programs; the guest configures them on its
# first boot (provision.sh), where they run.
set -euo pipefail
folder=$1
suite=bookworm
base_packages=linux-image-amd64,initramfs-tools,kmod,cmake,locales
wine_packages=(wine wine32:i386 wine64)
here=$(cd "$(dirname "$0")" && pwd)

# The first mirror of this machine's apt sources that serves the suite, in
# either source format.
debian_mirror() {
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -n 's/\[[^]]*\]//; /^deb[ \t]/p' | awk -v suite=$suite '$3 == suite { print $2 }'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
      awk -v suite=$suite '
        /^[ \t]*$/ { if (uri != "" && suites ~ "(^| )" suite "( |$)") print uri; uri = ""; suites = ""; next }
        tolower($1) == "uris:" { uri = $2 }
        tolower($1) == "suites:" { $1 = ""; suites = $0 " " }
        END { if (uri != "" && suites ~ "(^| )" suite "( |$)") print uri }'
  } | grep -E '^https?://' | head -n 1
}

mirror=$(debian_mirror)
if [ -z "$mirror" ]; then
  echo "no apt source of this machine serves Debian $suite: cannot build the test guest" >&2
  exit 1
fi
echo "guest: Debian $suite from $mirror"
root=$folder/root
debootstrap --variant=minbase --include=$base_packages $suite "$root" "$mirror" >"$folder/debootstrap.log" 2>&1 || {
  tail -n 20 "$folder/debootstrap.log" >&2
  exit 1
}

# A pinned mirror's Release file may be past its validity date; the guest is
# built once and cached, so an old one is fine.
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }
cp /etc/resolv.conf "$root/etc/resolv.conf"
echo "deb $mirror $suite main" >"$root/etc/apt/sources.list"
in_root dpkg --add-architecture i386
in_root apt-get -q -o Acquire::Check-Valid-Until=false update >/dev/null
in_root apt-get clean
in_root apt-get -q -y --no-install-recommends --download-only install "${wine_packages[@]}" >/dev/null
in_root sh -c 'dpkg --force-depends --unpack /var/cache/apt/archives/*.deb' >"$folder/unpack.log" 2>&1 || {
  tail -n 20 "$folder/unpack.log" >&2
  exit 1
}
in_root apt-get clean
rm -f "$root/etc/resolv.conf"
install -m 755 "$here/init" "$root/sbin/autorun-guest-init"

cp "$root"/boot/vmlinuz-* "$folder/vmlinuz"
cp "$root"/boot/initrd.img-* "$folder/initrd.img"
# Room for Wine prefixes and the configured packages; the file is sparse.
truncate -s 12G "$folder/disk.img"
mke2fs -q -t ext4 -L autorun-guest -d "$root" "$folder/disk.img"
rm -rf "$root"
