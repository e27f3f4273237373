#!/usr/bin/env bash
# Builds autorun.exe and the release bundle twice from scratch in two folders
# of different names and checks the programs and the bundles are
# byte-for-byte identical and the programs carry neither folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

dirs=(build/repro-a build/repro-b-with-a-longer-name)
for dir in "${dirs[@]}"; do
  rm -rf "$dir"
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  cmake --build "$dir" --target release -j2 >/dev/null
done

a="${dirs[0]}/bin/autorun.exe"
b="${dirs[1]}/bin/autorun.exe"
sha256sum "$a" "$b"
status=0
if ! cmp "$a" "$b"; then
  echo "autorun.exe differs between the two builds"
  status=1
fi
# A folder name inside the program would make it depend on where it was built.
for path in "$PWD" "${dirs[@]}"; do
  if grep -qaF "$path" "$a" "$b"; then
    echo "autorun.exe contains the path $path"
    status=1
  fi
done
for zip in "${dirs[0]}"/release/*.zip; do
  cmp "$zip" "${dirs[1]}/release/${zip##*/}" || { echo "the release bundle differs"; status=1; }
done
[ "$status" -eq 0 ] && echo "autorun.exe and the release bundle are reproducible"
exit "$status"
