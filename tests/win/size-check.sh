#!/bin/sh
# Prints autorun.exe's size, imported libraries and header flags; fails over
# budget, unless it imports exactly the kernel and the registry libraries
# (any other, or one of them missing), or when its header does not ask for
# address-space randomisation and data execution prevention, or does not
# declare that the program registers no structured exception handlers
# (NO_SEH: it has no SafeSEH table either, so nothing else would tell the
# loader that none of its addresses may serve as one). The window-
# manager, shell, component and process-status libraries are loaded at run
# time, on the roads that need them: a static import of any of them would
# load it on every start. A budget of "-" skips the size (a signed copy).
# It also fails when the relocations are stripped or their directory is
# empty (the randomisation flag would be a lie), when a thread-local storage,
# resource, debug or delay-import directory is present, when the subsystem
# is not the graphical one, when the header does not declare the program
# terminal-server aware, or when the entry point is not the program's own
# entry function, whose address the link map (third argument, when given)
# gives. The map must also show the real starts linked in (the direct start
# from direct_start.cpp, the shell's from shell_start.cpp, the network
# drive's name from network_drive.cpp), the real shell link object
# (shell_link_object.cpp) and no object built from a test source: the tests
# link stand-ins for those in their launcher variants, which must never be
# what ships. From outside the project the map may show
# only libgcc's stack probe (_chkstk_ms.o, which the compiler calls for any
# frame over a page), members of the kernel's and the registry's import
# libraries, which hold each imported function's name and the jump through
# its import-table slot, and libuuid's, which hold the identifiers of the
# system's component interfaces as data: no run-time code
# (map-libraries.sh lists them).
# With NOTICES (THIRD-PARTY-NOTICES.txt) as fourth argument, each library
# the map shows must have an entry there (notices-check.sh).
set -eu
here=$(dirname "$0")
exe="$1"
budget="$2"
map="${3:-}"
notices="${4:-}"
expected="advapi32.dll kernel32.dll"
header=$(i686-w64-mingw32-objdump -p "$exe")
size=$(stat -c %s "$exe")
imports=$(echo "$header" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]' |
  sort | tr '\n' ' ' | sed 's/ $//')
echo "autorun.exe: $size bytes (budget $budget), imports: $imports"
status=0
[ "$budget" = - ] || [ "$size" -le "$budget" ] || { echo "over budget"; status=1; }
[ "$imports" = "$expected" ] || { echo "imports must be exactly: $expected"; status=1; }
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH; do
  echo "$header" | grep -qw "$flag" || { echo "header lacks $flag"; status=1; }
done
echo "$header" | grep -qw TERMINAL_SERVICE_AWARE || { echo "header lacks TERMINAL_SERVICE_AWARE"; status=1; }
echo "$header" | grep -q '^[[:space:]]*relocations stripped' && { echo "relocations stripped"; status=1; }
# "Entry N RVA SIZE name": the directories that must be absent, and the
# relocations, which must not be empty.
directory() { echo "$header" | awk -v n="$1" '$1 == "Entry" && $2 == n { print $4 }'; }
[ "$(directory 5)" != 00000000 ] || { echo "relocation directory empty"; status=1; }
for entry in "2 resource" "6 debug" "9 thread-local storage" "d delay-import"; do
  [ "$(directory "${entry%% *}")" = 00000000 ] || { echo "${entry#* } directory present"; status=1; }
done
echo "$header" | grep -q '^Subsystem.*(Windows GUI)' || { echo "subsystem not Windows GUI"; status=1; }
if [ -n "$map" ]; then
  # The map gives the entry function's address, the header its offset from
  # the image base.
  field() { echo "$header" | awk -v f="$1" '$1 == f { print $2 }'; }
  entry=$(printf '%x' $((0x$(field ImageBase) + 0x$(field AddressOfEntryPoint))))
  own=$(awk '$2 == "_AutorunEntry" || $2 == "AutorunEntry" { print $1; exit }' "$map")
  [ -n "$own" ] && [ $((own)) -eq $((0x$entry)) ] ||
    { echo "entry point 0x$entry is not the program's entry function (${own:-missing})"; status=1; }
  # The object that gives FUNCTION its code, from the map's memory map (the
  # section's name and its object may share a line or take two).
  provider() {
    awk -v f="$1" '/^Linker script and memory map/ { m = 1; next }
      m && next_line { print $NF; exit }
      m && $1 ~ /^\.text\$/ && index($1, f) { if (NF >= 4) { print $NF; exit } next_line = 1 }' "$map"
  }
  for seam in CreateProgramProcess:start:direct_start ExecuteThroughShell:start:shell_start \
    UniversalNameOf:start:network_drive CreateShellLink:probes:shell_link_object; do
    function=${seam%%:*} source=${seam##*:} library=${seam#*:}
    library=${library%%:*}
    from=$(provider "$function")
    case $from in
      *"libautorun_$library.a($source.cpp.obj)") ;;
      *) echo "$function comes from ${from:-nowhere}, not the real $source.cpp"; status=1 ;;
    esac
  done
  for source in $(find "$here/.." -name '*.cpp' -exec basename {} \;); do
    if grep -qE "[(/ ]$source\.obj" "$map"; then
      echo "a test-only object is linked: $source.obj"
      status=1
    fi
  done
  for object in $(sh "$here/map-libraries.sh" "$map"); do
    case $object in
      "libgcc.a(_chkstk_ms.o)" | "libkernel32.a("*")" | "libadvapi32.a("*")" | "libuuid.a("*")") ;;
      *) echo "linked from outside the project: $object"; status=1 ;;
    esac
  done
  if [ -n "$notices" ] && ! listing=$(sh "$here/notices-check.sh" "$map" "$notices"); then
    echo "$listing" | grep -v ', listed$'
    status=1
  fi
fi
[ "$status" -eq 0 ] && echo "size check passed"
exit "$status"
