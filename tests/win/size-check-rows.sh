#!/bin/sh
# The size check against doctored copies of autorun.exe, one row a line:
# the header change, then the complaint the check must make ("passed": the
# untouched copy passes). Copies go to a scratch folder in the build tree.
# Usage: size-check-rows.sh EXE BUDGET MAP SCRATCH
set -eu
here=$(dirname "$0")
exe="$1" budget="$2" map="$3" scratch="$4"
mkdir -p "$scratch"
failed=0
while read -r change complaint; do
  copy="$scratch/autorun-$change.exe"
  python3 "$here/doctor-pe.py" "$exe" "$copy" "$change"
  if output=$(sh "$here/size-check.sh" "$copy" "$budget" "$map" 2>&1); then
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
ROWS
exit "$failed"
