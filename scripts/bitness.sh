# Sourced by the scripts that run Windows programs under Wine: finds out
# whether this machine can run 32-bit x86 code, by running such a program.
# Some machines cannot at all (a kernel without IA-32 emulation, a hypervisor
# that runs 64-bit user code only); there not even a 64-bit Wine can start a
# 32-bit Windows program, and the Windows-side tests run on the launcher's
# 64-bit twin under Wine's 64-bit loader instead.

# Wine's 64-bit loader, called by its path: where 32-bit code cannot run,
# "wine" starts the 32-bit loader and fails.
wine64_loader=/usr/lib/wine/wine64

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
