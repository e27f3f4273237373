#!/usr/bin/env bash
# Builds autorun.exe and the sample medium's programs, and runs the launcher
# under Wine on the sample medium, mounted as drive M: the way a disc would
# be, twice: first on a machine without the demo product (the launcher starts
# the medium's setup program, which installs it, and waits for it), then with
# the product installed (the launcher starts it through its Start-menu
# shortcut, with the user's stored CLASSPATH merged, and waits for it).
# autorun.exe runs where the test command would run it (scripts/road.sh):
# under this machine's 32-bit Wine on the native road; on the guest road the
# demo runs its 64-bit twin, built from the same sources, under Wine's 64-bit
# loader. The last lines say which road ran and why.
#
# Usage: scripts/demo.sh [--guest]
#   --guest  on the guest road, run autorun.exe itself, the 32-bit program,
#            in the emulated x86-64 guest the test command uses
#            (scripts/guest.sh; about 10 minutes the first time, to build
#            it, then a minute or two), instead of its 64-bit twin here.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
mode=${1:-here}
case $mode in
  here | --guest | --in-guest) ;;
  *)
    echo "usage: scripts/demo.sh [--guest]" >&2
    exit 2
    ;;
esac
preset=win32
road_line=""
if [ "$mode" != --in-guest ]; then
  source scripts/road.sh
  choose_windows_road build/demo/wineprefix
  road_line="Windows road: $windows_road, because $road_reason."
  if [ "$windows_road" = native ]; then
    [ "$mode" = --guest ] && echo "autorun.exe runs under this machine's own Wine: no guest is needed."
  elif [ "$mode" = --guest ]; then
    echo "The demo runs autorun.exe itself in an emulated x86-64 guest (the first time, the"
    echo "guest is built; see build/guest/console.log)."
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 --target autorun demo_programs >/dev/null
    scripts/guest.sh --limit 900 --copy build/win32 bash scripts/demo.sh --in-guest
    echo "$road_line"
    exit 0
  else
    preset=win64
    export WINELOADER=$wine64_loader
    wine() { "$WINELOADER" "$@"; }
    echo "No Wine here can start autorun.exe, a 32-bit program: the demo runs its 64-bit twin,"
    echo "built from the same sources (scripts/demo.sh --guest runs autorun.exe itself in an"
    echo "emulated x86-64 guest)."
  fi
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset --target autorun demo_programs >/dev/null
else
  # In the guest: built already by the host; the guest's own prefix, made
  # when it was built, on its disk, stands in for the demo's.
  mkdir -p build/demo/wineprefix
  mount --bind /var/lib/autorun-guest/wineprefix build/demo/wineprefix
fi
bin=$root/build/$preset/bin

demo=$root/build/demo
medium=$demo/medium
rm -rf "$medium"
mkdir -p "$medium/setup" "$medium/product" "$medium/extras"
cp examples/medium/install.dat examples/medium/autorun.inf "$bin/autorun.exe" "$medium/"
cp "$bin/demo_setup.exe" "$medium/setup/setup.exe"
cp "$bin/demo_product.exe" "$medium/product/demo.exe"
cp "$bin/demo_uninstall.exe" "$medium/product/uninstall.exe"
cp "$bin/demo_extra.exe" "$medium/extras/readme.exe"
cp "$bin/demo_extra.exe" "$medium/extras/tools.exe"

export WINEPREFIX=$demo/wineprefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
echo "Preparing the Wine prefix $WINEPREFIX (the first time takes about 20 seconds)..."
sh tests/win/wine-prefix.sh "$WINEPREFIX" "${WINELOADER:-wine}" >/dev/null
ln -sfn "$medium" "$WINEPREFIX/dosdevices/m:"
drive_c=$WINEPREFIX/drive_c
log=$drive_c/ProgramData/AutorunDemo.log
key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\AutorunDemoProduct'
key32='HKLM\SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\AutorunDemoProduct'

# An earlier demo left the product installed: its own uninstaller removes it,
# and whatever an interrupted run left goes too.
for folder in "$drive_c/Program Files (x86)/AutorunDemo" "$drive_c/Program Files/AutorunDemo"; do
  if [ -f "$folder/uninstall.exe" ]; then
    echo "Removing the demo product left by an earlier run, with its uninstaller"
    wine "$folder/uninstall.exe" >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
done
wine reg delete "$key32" /f >/dev/null 2>&1 || true
wine reg delete "$key" /f >/dev/null 2>&1 || true
rm -rf "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Autorun Demo" \
  "$drive_c/ProgramData/AutorunDemo"
rm -f "$log"

# The user's stored class path, and the launcher's own, which differs, so
# that the merge shows. Wine hands a program it starts from Linux the stored
# value, so the launcher gets its own through cmd.
stored='C:\Shared\java\stored.jar'
own='M:\java\own.jar;'
wine reg add 'HKCU\Environment' /v CLASSPATH /d "$stored" /f >/dev/null 2>&1

declare -a took
run() {
  local number=$1
  rm -f "$log"
  local started ended
  started=$(date +%s.%N)
  wine cmd /c "set CLASSPATH=$own&& start /wait /d M:\\ M:\\autorun.exe" >/dev/null 2>&1 || true
  ended=$(date +%s.%N)
  took[number]=$(awk "BEGIN { printf \"%.1f\", $ended - $started }")
  echo "  what the medium's programs recorded:"
  if [ -s "$log" ]; then
    tr -d '\r' <"$log" | sed 's/^/    /'
    cp "$log" "$demo/run$number.log"
  else
    echo "    nothing: no program of the demo ran"
    : >"$demo/run$number.log"
  fi
  echo "  the launcher ran ${took[number]} seconds (wine start /wait returned when it ended)"
}

installed() {
  wine reg query "$key32" /v UninstallString >/dev/null 2>&1 ||
    wine reg query "$key" /v UninstallString >/dev/null 2>&1
}

echo
echo "Stored for the user: HKCU\\Environment CLASSPATH=$stored"
echo "The launcher starts with its own CLASSPATH=$own"
echo
echo "Run 1: M:\\autorun.exe from M:\\, the demo product is not installed"
echo "  expected: the launcher starts M:\\setup\\setup.exe in M:\\ and waits until it ends"
run 1
installed && echo "  afterwards: the uninstall entry AutorunDemoProduct exists, so the product counts as installed"
echo
echo "Run 2: M:\\autorun.exe from M:\\ again, the demo product is installed now"
echo "  expected: the launcher starts the product through its shortcut, in the shortcut's"
echo "  working directory, with the stored CLASSPATH merged into its own, and waits for it"
run 2
wineserver -k 2>/dev/null || true

field() { tr -d '\r' <"$demo/run$1.log" | sed -n "s/^$2//p" | head -n 1; }
echo
echo "Summary"
if grep -q '^setup finished: the product is installed' "$demo/run1.log"; then
  echo "  run 1: started M:\\setup\\setup.exe in $(field 1 'setup started in '); it installed the product;"
else
  echo "  run 1: the setup program did not install the product (see above);"
fi
echo "         the launcher waited for it: it ran ${took[1]} s, the setup $(field 1 'setup ended after ') of it"
if grep -q '^product ended' "$demo/run2.log"; then
  echo "  run 2: started $(field 2 'product started: ')"
  echo "         working directory: $(field 2 'product working directory: ')"
  echo "         CLASSPATH seen:    $(field 2 'product CLASSPATH: ')"
  echo "         the launcher waited for it: it ran ${took[2]} s, the product $(field 2 'product ended after ') of it"
else
  echo "  run 2: the product did not start (see above)"
fi
echo
program="autorun.exe"
[ "$preset" = win64 ] && program="autorun.exe's 64-bit twin"
echo "$program: $bin/autorun.exe ($(stat -c %s "$bin/autorun.exe") bytes)"
if [ "$mode" = --in-guest ]; then
  echo "It ran in the emulated x86-64 guest, on a copy of the sample medium and in the guest's own"
  echo "Wine prefix, both dropped when the guest powered off."
  exit 0
fi
echo "Sample medium (drive M:): $medium"
echo "Wine prefix, with the demo product installed: $WINEPREFIX"
# The sample medium is unsigned on purpose: Wine starts it, Windows 11 with
# Smart App Control on would start nothing. The checker says so, and what to
# do (its host build, where the test command has built it).
echo
echo "The sample medium's programs are unsigned: on Windows 11 with Smart App Control on,"
echo "Windows would block autorun.exe and the setup, and nothing would start."
if [ -x build/host/check/autorun-check ]; then
  echo "autorun-check $medium says:"
  build/host/check/autorun-check "$medium" | sed "s/^/  /" || true
else
  echo "autorun-check shows it (cmake --workflow --preset host builds it; then"
  echo "build/host/check/autorun-check $medium)."
fi
echo "How to sign every program: docs/README-publishers.txt, section 5 (Signing)."
echo "$road_line"
