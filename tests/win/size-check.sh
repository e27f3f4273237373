#!/bin/sh
# Prints autorun.exe's size and imported libraries; fails over budget or when
# the imports are not exactly the kernel, the registry and the C run-time.
# The window-manager, shell, component and process-status libraries are
# loaded at run time, on the roads that need them: a static import of any of
# them would load it on every start.
set -eu
exe="$1"
budget="$2"
size=$(stat -c %s "$exe")
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' |
  tr '[:upper:]' '[:lower:]' | sort | tr '\n' ' ')
echo "autorun.exe: $size bytes (budget $budget), imports: $imports"
[ "$size" -le "$budget" ] || { echo "over budget"; exit 1; }
expected="advapi32.dll kernel32.dll msvcrt.dll "
[ "$imports" = "$expected" ] || { echo "imports differ from: $expected"; exit 1; }
echo "size check passed"
