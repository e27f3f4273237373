#!/bin/sh
# Prints autorun.exe's size and imported libraries; fails over budget or on
# any import that is not a system library.
set -eu
exe="$1"
budget="$2"
size=$(stat -c %s "$exe")
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')
echo "autorun.exe: $size bytes (budget $budget), imports: $imports"
[ "$size" -le "$budget" ] || { echo "over budget"; exit 1; }
for dll in $imports; do
  case $(echo "$dll" | tr '[:upper:]' '[:lower:]') in
    kernel32.dll|user32.dll|advapi32.dll|shell32.dll|ole32.dll|msvcrt.dll) ;;
    *) echo "not a system library: $dll"; exit 1 ;;
  esac
done
echo "size check passed"
