# Sourced by the scripts that run Windows programs under Wine: chooses the
# road on which autorun.exe, a 32-bit program, runs here, from what this
# machine can install and run, and installs what that road needs.
#
#   native  this machine's Wine runs autorun.exe itself: the kernel runs
#           32-bit code, apt installs the 32-bit Wine (wine32:i386), and its
#           loader starts a small 32-bit Windows program;
#   guest   anything less: the 32-bit program runs in an emulated x86-64
#           guest (scripts/guest.sh) and its 64-bit twin under this machine's
#           64-bit Wine. This road needs no i386 package here.
#
# AUTORUN_WINDOWS_ROAD=native or =guest picks the road by hand; native then
# fails, with the reason, where it cannot work.
source scripts/packages.sh

# Wine's 64-bit loader, called by its path: where 32-bit code cannot run,
# "wine" starts the 32-bit loader and fails.
wine64_loader=/usr/lib/wine/wine64

# What each road adds to the host packages: the 32-bit Wine; or the mingw-w64
# x86_64 cross compiler for the twin, with qemu, debootstrap and the ext4
# tools, which build and boot the guest.
native_packages=(wine32:i386)
guest_packages=(g++-mingw-w64-x86-64 qemu-system-x86 debootstrap e2fsprogs)

# True when a 32-bit x86 Linux program runs here. The program is 93 bytes
# written out whole: an ELF header, one loadable segment at 0x08048000, and
# code that ends the process with status 42 through the 32-bit system call
# gate (xor ebx,ebx; mov bl,42; xor eax,eax; inc eax; int 0x80). It is kept
# in the build folder, since a temporary folder may forbid running programs.
runs_32bit_code() {
  local probe=build/runs-32bit-code status=0
  mkdir -p build
  printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\x31\xdb\xb3\x2a\x31\xc0\x40\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# True when the installed 32-bit Wine starts a 32-bit Windows program that
# ends with status 42, in the Wine prefix PREFIX, which it makes as the tests
# do (so the tests find it ready); loader_failure says otherwise what went
# wrong, in the loader's last words.
loader_failure=""
starts_32bit_windows_program() {
  local prefix=$1 folder=build/windows-road status=0
  # Wine takes only an absolute prefix, whose folder must exist; the callers
  # name theirs in the tree, which a fresh clone has not built yet.
  case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac
  mkdir -p "$(dirname "$prefix")"
  mkdir -p "$folder"
  echo 'int main(void) { return 42; }' >"$folder/probe.c"
  i686-w64-mingw32-gcc -o "$folder/probe.exe" "$folder/probe.c"
  timeout 300 sh tests/win/wine-prefix.sh "$prefix" wine >/dev/null 2>&1 || true
  # Through a file: Wine's services inherit the output and outlive the program.
  WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
    timeout 120 wine "$folder/probe.exe" >"$folder/probe.log" 2>&1 </dev/null || status=$?
  [ "$status" -eq 42 ] && return 0
  loader_failure=$(grep -v '^[[:space:]]*$' "$folder/probe.log" | tail -n 1)
  loader_failure="exit status $status${loader_failure:+: $loader_failure}"
  return 1
}

# Leaves dpkg's architectures as they were when the 32-bit Wine could not be
# installed after all.
forget_added_architecture() {
  [ -n "$added_architecture" ] || return 0
  $apt_sudo dpkg --remove-architecture "$added_architecture" 2>/dev/null || true
  added_architecture=""
}

# Installs the host packages and chooses the road, with PREFIX the Wine prefix
# in which the native road's loader is tried. Sets windows_road (native or
# guest) and road_reason (one line: why), installs the road's packages, and
# says both. Stops the script when a needed package cannot be installed, or
# when the road picked by hand cannot work.
choose_windows_road() {
  local prefix=$1 picked=${AUTORUN_WINDOWS_ROAD:-}
  require_packages "${host_packages[@]}"
  case $picked in
    "" | native | guest) ;;
    *)
      echo "FAILED: AUTORUN_WINDOWS_ROAD is \"$picked\"; it must be native or guest (or unset)." >&2
      exit 1
      ;;
  esac
  windows_road=guest
  if [ "$picked" = guest ]; then
    road_reason="AUTORUN_WINDOWS_ROAD=guest picked it"
  elif ! runs_32bit_code; then
    road_reason="this machine cannot run 32-bit x86 code (a 32-bit test program was refused)"
  elif ! install_packages "${native_packages[@]}"; then
    forget_added_architecture
    road_reason="the 32-bit Wine cannot be installed here: $install_failure"
  elif ! starts_32bit_windows_program "$prefix"; then
    road_reason="the 32-bit Wine is installed but could not start a 32-bit Windows program ($loader_failure)"
  else
    windows_road=native
    road_reason="this machine's 32-bit Wine started a 32-bit Windows program"
    [ "$picked" = native ] && road_reason+="; AUTORUN_WINDOWS_ROAD=native picked it"
  fi
  if [ "$picked" = native ] && [ "$windows_road" != native ]; then
    echo "FAILED: AUTORUN_WINDOWS_ROAD=native, but $road_reason." >&2
    exit 1
  fi
  [ "$windows_road" = native ] || require_packages "${guest_packages[@]}"
  echo "Windows road: $windows_road, because $road_reason."
}
