#!/usr/bin/env bash
# Runs a script of this tree inside the test guest: an emulated x86-64
# Debian machine (qemu, software emulation) whose kernel runs 32-bit code,
# where Wine runs the real 32-bit autorun.exe. For machines that cannot run
# 32-bit code themselves.
#
# Usage: scripts/guest.sh [--limit SECONDS] [--copy BUILD]... [--cdrom IMAGE] COMMAND [ARGUMENT...]
#   COMMAND runs as root in the guest, in a copy of this tree at the same
#   path (sources, and each BUILD folder named, such as build/win32), so
#   that the builds' absolute paths hold. Its exit status is this command's.
#   The guest's console is kept in build/guest/console.log; what the command
#   hands back lands in build/guest. With --cdrom, the disc image IMAGE is
#   the guest's CD-ROM drive (read-only, on its IDE controller).
#   scripts/guest.sh --image only makes sure the guest is built.
#
# The guest is built once from Debian's packages (build-image.sh, then a
# first boot that runs provision.sh) and cached in
# ${XDG_CACHE_HOME:-~/.cache}/autorun/, keyed by its recipe: the files that
# build it and the Wine prefix script. A change to any of them builds a new
# one and removes the old. Each run boots a copy-on-write snapshot of the
# cached disk, so every run starts from the same machine.
#
# Every step has a time limit. A guest that cannot be built, does not boot
# or does not answer makes this command fail with a message that says which
# step failed.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$PWD
run=$tree/build/guest
build_limit=${GUEST_BUILD_LIMIT:-1800}
provision_limit=${GUEST_PROVISION_LIMIT:-1200}
boot_limit=${GUEST_BOOT_LIMIT:-300}
job_limit=3600

# A guest still running when this command ends, however it ends, goes too.
qemu=""
trap '[ -z "$qemu" ] || kill $qemu 2>/dev/null || true' EXIT

fail() {
  echo "GUEST FAILED: $*" >&2
  exit 1
}

recipe=(scripts/guest/build-image.sh scripts/guest/init scripts/guest/provision.sh
  tests/win/wine-prefix.sh)
key=$(cat "${recipe[@]}" | sha256sum | cut -c1-16)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/autorun
image=$cache/guest-$key

# Boots the guest on FOLDER's disk (snapshot: changes are dropped; write:
# they are kept) and runs the job given after the limit. Returns the job's
# status.
boot() {
  local folder=$1 mode=$2 limit=$3
  shift 3
  rm -rf "$run"
  mkdir -p "$run"
  { echo "$tree"; echo "$copy"; printf '%s\n' "$@"; } >"$run/job"
  local drive="file=$folder/disk.img,if=virtio,format=raw,cache=unsafe"
  [ "$mode" = snapshot ] && drive+=",snapshot=on"
  local cdrom_drive=()
  [ -z "$cdrom" ] || cdrom_drive=(-drive "file=$cdrom,if=ide,media=cdrom,format=raw,readonly=on")
  # No KVM on such machines: pure emulation, one host thread per processor.
  # The emulated processor's SMAP faults on Wine's return to user mode under
  # qemu 7.2, so it is off, in the processor and in the kernel.
  qemu-system-x86_64 -accel tcg,thread=multi -cpu max,-smap -smp 2 -m 6G \
    -display none -no-reboot -serial stdio -nic none \
    -kernel "$folder/vmlinuz" -initrd "$folder/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet loglevel=3 nosmap panic=1 init=/sbin/autorun-guest-init" \
    -drive "$drive" "${cdrom_drive[@]}" \
    -virtfs "local,path=$tree,mount_tag=tree,security_model=none,id=tree" \
    </dev/null > >(tee "$run/console.log") 2>&1 &
  qemu=$!
  local started=$SECONDS
  while [ ! -f "$run/booted" ]; do
    kill -0 $qemu 2>/dev/null || fail "the guest stopped before it booted (console: $run/console.log)"
    if [ $((SECONDS - started)) -ge "$boot_limit" ]; then
      kill $qemu
      fail "the guest did not boot within $boot_limit s (console: $run/console.log)"
    fi
    sleep 1
  done
  echo "guest: $(cat "$run/booted")"
  while kill -0 $qemu 2>/dev/null; do
    if [ $((SECONDS - started)) -ge "$limit" ]; then
      kill $qemu
      fail "the guest did not answer within $limit s: $* (console: $run/console.log)"
    fi
    sleep 2
  done
  wait $qemu || fail "qemu ended with status $? (console: $run/console.log)"
  qemu=""
  [ -f "$run/status" ] || fail "the guest powered off without answering: $* (console: $run/console.log)"
  echo "guest: $* took $((SECONDS - started)) s"
  return "$(cat "$run/status")"
}

build_image() {
  local sudo="" status=0
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  mkdir -p "$cache"
  rm -rf "$cache"/guest-*.partial
  local partial=$image.partial
  mkdir "$partial"
  echo "guest: building the test guest in $image (the first time takes about 10 minutes)"
  local started=$SECONDS
  $sudo timeout $build_limit scripts/guest/build-image.sh "$partial" || status=$?
  [ -n "$sudo" ] && $sudo chown -R "$(id -u):$(id -g)" "$partial"
  [ $status -eq 0 ] || fail "building the guest's image failed (status $status, limit $build_limit s)"
  echo "guest: image built in $((SECONDS - started)) s; first boot configures it"
  copy="" cdrom="" boot "$partial" write "$provision_limit" sh scripts/guest/provision.sh ||
    fail "the guest's first boot could not configure it (status $?)"
  # Only one guest is kept: older recipes' go.
  find "$cache" -maxdepth 1 -name 'guest-*' ! -name "guest-$key*" -exec rm -rf {} +
  mv "$partial" "$image"
}

copy=""
cdrom=""
while [ $# -ge 2 ]; do
  case $1 in
    --limit) job_limit=$2 ;;
    --copy) copy+=" $2" ;;
    --cdrom) cdrom=$(realpath "$2") ;;
    *) break ;;
  esac
  shift 2
done
[ $# -ge 1 ] || fail "usage: scripts/guest.sh [--limit SECONDS] [--copy BUILD]... [--cdrom IMAGE] COMMAND [ARGUMENT...] | --image"
[ -f "$image/disk.img" ] || build_image
[ "$1" = "--image" ] && exit 0
boot "$image" snapshot "$job_limit" "$@"
