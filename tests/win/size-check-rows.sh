#!/bin/sh
# The size check against doctored copies of autorun.exe, one row a line:
# the header change, then the complaint the check must make ("passed": the
# untouched copy passes). A change "map:start" leaves the program as it is
# and doctors its link map instead, as if the direct start's test stand-in
# had been linked in its place ("map:link": the shell link object's); "map+ARCHIVE(MEMBER)" adds that
# toolchain member to the map's archive members. Copies go to a scratch
# folder in the build tree.
# Usage: size-check-rows.sh EXE BUDGET MAP SCRATCH NOTICES
set -eu
here=$(dirname "$0")
exe="$1" budget="$2" map="$3" scratch="$4" notices="$5"
mkdir -p "$scratch"
failed=0
while read -r change complaint; do
  copy="$scratch/autorun-$change.exe"
  copied_map=$map
  case $change in
    map:*)
      cp "$exe" "$copy"
      copied_map="$scratch/autorun-stand-in.map"
      case ${change#map:} in
        start) real='libautorun_start\.a(direct_start\.cpp\.obj)' stand_in=elevation_required ;;
        link) real='libautorun_probes\.a(shell_link_object\.cpp\.obj)' stand_in=windows_resolution ;;
      esac
      sed "s|[^ ]*$real|CMakeFiles/autorun.dir/objects.a($stand_in.cpp.obj)|" "$map" >"$copied_map"
      ;;
    map+*)
      copy="$scratch/autorun-added.exe"
      cp "$exe" "$copy"
      copied_map="$scratch/autorun-added.map"
      awk -v member="/usr/i686-w64-mingw32/lib/${change#map+}" '{ print }
        /^Archive member included/ { getline; print; print member; print "  main.cpp.obj (f)" }' \
        "$map" >"$copied_map"
      ;;
    *) python3 "$here/doctor-pe.py" "$exe" "$copy" "$change" ;;
  esac
  if output=$(sh "$here/size-check.sh" "$copy" "$budget" "$copied_map" "$notices" 2>&1); then
    verdict="size check passed"
  else
    verdict=$(echo "$output" | tail -n +2)
  fi
  if [ "$complaint" = passed ]; then
    expected="size check passed"
  else
    expected="$complaint"
  fi
  if echo "$verdict" | grep -qF "$expected" &&
     { [ "$complaint" = passed ] || ! echo "$verdict" | grep -q "size check passed"; }; then
    echo "ok    $change: $expected"
  else
    echo "FAIL  $change: expected \"$expected\", got: $verdict"
    failed=1
  fi
done <<'ROWS'
none            passed
relocs-stripped relocations stripped
reloc-empty     relocation directory empty
dir=2           resource directory present
dir=6           debug directory present
dir=9           thread-local storage directory present
dir=d           delay-import directory present
console         subsystem not Windows GUI
entry+1         is not the program's entry function
no-tsaware      header lacks TERMINAL_SERVICE_AWARE
seh             header lacks NO_SEH
map:start       CreateProgramProcess comes from CMakeFiles/autorun.dir/objects.a(elevation_required.cpp.obj), not the real direct_start.cpp
map:link        CreateShellLink comes from CMakeFiles/autorun.dir/objects.a(windows_resolution.cpp.obj), not the real shell_link_object.cpp
map+libmingwex.a(mingw_pformat.o) linked from outside the project: libmingwex.a(mingw_pformat.o)
map+libunlisted.a(unlisted.o)     libunlisted.a has no entry in THIRD-PARTY-NOTICES.txt
ROWS
exit "$failed"
