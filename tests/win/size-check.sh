#!/bin/sh
# Prints autorun.exe's size, imported libraries and header flags; fails over
# budget, unless it imports exactly the kernel and the registry libraries
# (any other, or one of them missing), or when its header does not ask for
# address-space randomisation and data execution prevention. The window-
# manager, shell, component and process-status libraries are loaded at run
# time, on the roads that need them: a static import of any of them would
# load it on every start. A budget of "-" skips the size (a signed copy).
set -eu
exe="$1"
budget="$2"
expected="advapi32.dll kernel32.dll"
header=$(i686-w64-mingw32-objdump -p "$exe")
size=$(stat -c %s "$exe")
imports=$(echo "$header" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]' |
  sort | tr '\n' ' ' | sed 's/ $//')
echo "autorun.exe: $size bytes (budget $budget), imports: $imports"
status=0
[ "$budget" = - ] || [ "$size" -le "$budget" ] || { echo "over budget"; status=1; }
[ "$imports" = "$expected" ] || { echo "imports must be exactly: $expected"; status=1; }
for flag in DYNAMIC_BASE NX_COMPAT; do
  echo "$header" | grep -qw "$flag" || { echo "header lacks $flag"; status=1; }
done
[ "$status" -eq 0 ] && echo "size check passed"
exit "$status"
