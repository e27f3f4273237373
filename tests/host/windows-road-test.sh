#!/usr/bin/env bash
# The Windows road's choice (scripts/road.sh), one row a line: what the
# kernel runs, what apt's index update and the 32-bit Wine's install do, and
# what the installed loader does with a 32-bit Windows program, then the
# road that must follow and words its message must hold. apt-get, dpkg, the
# i686 compiler and Wine are stand-ins on PATH; the kernel's answer is the
# row's. Every row also checks that the host packages are installed by an apt
# call of their own, and that dpkg's architectures are left as found unless
# an i386 package was installed (one row's machine had i386 before).
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin" "$scratch/tree/scripts" "$scratch/tree/tests/win"
cp "$source"/scripts/road.sh "$source"/scripts/packages.sh "$scratch/tree/scripts/"
cp "$source/tests/win/wine-prefix.sh" "$scratch/tree/tests/win/"

stand_in() { printf '#!/bin/sh\n%s\n' "$2" >"$scratch/bin/$1" && chmod +x "$scratch/bin/$1"; }
stand_in dpkg 'case $1 in
  -s) grep -qxF "$2" "$STATE/installed" ;;
  --print-foreign-architectures) cat "$STATE/architectures" ;;
  --add-architecture) echo "$2" >>"$STATE/architectures" ;;
  --remove-architecture) grep -vxF "$2" "$STATE/architectures" >"$STATE/a" || true
    mv "$STATE/a" "$STATE/architectures" ;;
esac'
stand_in apt-get 'echo "$*" >>"$STATE/calls"
if [ "$1" = update ]; then
  [ "$UPDATE" = ok ] && exit 0
  [ "$UPDATE" = once ] && [ -f "$STATE/updated-once" ] && exit 0
  touch "$STATE/updated-once"
  echo "E: Failed to fetch http://mirror/i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
  exit 100
fi
for package; do
  case $package in
    -*) ;;
    wine32:i386) [ "$WINE32" = ok ] && continue
      echo "The following packages have unmet dependencies:"
      echo " wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
      echo "$WINE32"; exit 100 ;;
    "$UNAVAILABLE") echo "E: Unable to locate package $package"; exit 100 ;;
  esac
done
[ "$2" = -s ] && exit 0
for package; do case $package in -*) ;; *) echo "$package" >>"$STATE/installed" ;; esac; done'
stand_in i686-w64-mingw32-gcc 'while [ "$1" != -o ]; do shift; done; : >"$2"'
# Wine refuses a prefix named relative to the current folder, and makes the
# prefix's folder but not the one it lies in.
stand_in wine 'case $WINEPREFIX in /*) ;; *)
  echo "wine: invalid directory $WINEPREFIX in WINEPREFIX: not an absolute path" >&2; exit 1 ;; esac
mkdir "$WINEPREFIX" 2>/dev/null || [ -d "$WINEPREFIX" ] ||
  { echo "wine: chdir to $WINEPREFIX : No such file or directory" >&2; exit 1; }
case $1 in *.exe) [ "$LOADER" = ok ] && exit 42; echo "$LOADER" >&2; exit 1 ;; esac'
stand_in wineserver 'exit 0'
stand_in sleep 'exit 0'
stand_in sudo 'exec "$@"'

# name | AUTORUN_WINDOWS_ROAD | kernel runs 32-bit code | index update: ok,
# once (fails once), always (fails both times) | wine32:i386: ok or apt's
# error | loader: ok or its last words | road, or "fails" | words the
# message must hold
broken="E: Unable to correct problems, you have held broken packages."
no_kernel32="wine: could not load kernel32.dll, status c0000135"
rows=(
  "native|-|yes|ok|ok|ok|native|because this machine's 32-bit Wine started a 32-bit Windows program"
  "kernel-refuses-32-bit|-|no|ok|ok|ok|guest|because this machine cannot run 32-bit x86 code"
  "index-fails-once|-|yes|once|ok|ok|native|apt-get update failed for some index: E: Failed to fetch"
  "stale-index-and-skewed-versions|-|yes|always|$broken|ok|guest|the 32-bit Wine cannot be installed here: wine32:i386: $broken (wine32:i386 : Depends: libwine:i386"
  "stale-index-goes-on|-|yes|always|$broken|ok|guest|Going on with the package lists apt has."
  "loader-fails|-|yes|ok|ok|$no_kernel32|guest|could not start a 32-bit Windows program (exit status 1: $no_kernel32)"
  "picked-guest|guest|yes|ok|ok|ok|guest|because AUTORUN_WINDOWS_ROAD=guest picked it"
  "picked-native|native|yes|ok|ok|ok|native|AUTORUN_WINDOWS_ROAD=native picked it"
  "picked-native-not-installable|native|yes|ok|$broken|ok|fails|AUTORUN_WINDOWS_ROAD=native, but the 32-bit Wine cannot be installed here: wine32:i386: $broken"
  "picked-native-without-32-bit|native|no|ok|ok|ok|fails|AUTORUN_WINDOWS_ROAD=native, but this machine cannot run 32-bit x86 code"
  "picked-unknown|wine32|yes|ok|ok|ok|fails|AUTORUN_WINDOWS_ROAD is \"wine32\"; it must be native or guest"
  "host-package-unavailable|-|no|ok|ok|ok|fails|cannot install clang-14: E: Unable to locate package clang-14"
  "i386-added-before-is-kept|-|yes|always|$broken|ok|guest|the 32-bit Wine cannot be installed here"
)

failures=0
for row in "${rows[@]}"; do
  IFS='|' read -r name picked kernel update wine32 loader road words <<<"$row"
  state=$scratch/state-$name
  mkdir -p "$state"
  : >"$state/installed"
  # The one row whose machine had the i386 architecture before.
  [ "$name" = i386-added-before-is-kept ] && echo i386 >"$state/architectures" ||
    : >"$state/architectures"
  architectures=$(cat "$state/architectures")
  : >"$state/calls"
  unavailable=""
  [ "$name" = host-package-unavailable ] && unavailable=clang-14
  status=0
  (
    cd "$scratch/tree"
    export PATH="$scratch/bin:$PATH" STATE=$state UPDATE=$update WINE32=$wine32 LOADER=$loader
    export UNAVAILABLE=$unavailable
    if [ "$picked" = - ]; then unset AUTORUN_WINDOWS_ROAD; else export AUTORUN_WINDOWS_ROAD=$picked; fi
    source scripts/road.sh
    runs_32bit_code() { [ "$kernel" = yes ]; }
    # Named in the tree, as the test command names its own.
    choose_windows_road "build/$name/wineprefix"
  ) >"$state/out" 2>&1 || status=$?
  problems=""
  grep -qF -- "$words" "$state/out" || problems+=" no \"$words\";"
  if [ "$road" = fails ]; then
    [ "$status" -ne 0 ] || problems+=" it did not fail;"
  elif [ "$status" -ne 0 ]; then
    problems+=" it failed;"
  else
    last=$(tail -n 1 "$state/out")
    [[ $last == "Windows road: $road, because "* ]] || problems+=" last line: $last;"
  fi
  mixed=$(awk '$1 == "install" { i386 = 0; other = 0
      for (i = 2; i <= NF; i++) if ($i ~ /:i386$/) i386++; else if ($i !~ /^-/) other++
      if (i386 && other) print }' "$state/calls")
  if [ -n "$mixed" ]; then
    problems+=" an i386 package was asked for with host packages;"
  fi
  if ! grep -q ':i386$' "$state/installed" && [ "$(cat "$state/architectures")" != "$architectures" ]; then
    problems+=" dpkg's architectures were left changed;"
  fi
  if [ -n "$problems" ]; then
    echo "FAIL $name:$problems"
    sed 's/^/    /' "$state/out"
    failures=$((failures + 1))
  else
    echo "ok   $name: $(grep -F -- "$words" "$state/out" | head -n 1)"
  fi
done
echo "$((${#rows[@]} - failures)) passed, $failures failed"
exit $((failures > 0))
