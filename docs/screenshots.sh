#!/usr/bin/env bash
# Takes the pictures of the launcher's message boxes in docs/: the real
# autorun.exe under Wine's X11 driver on a virtual X server (Xvfb), on a medium
# mounted as drive M:, one machine state per box. Not part of the tests; run
# it again after a change to a box. Installs Xvfb, ImageMagick, the X window
# tools and Wine's own fonts when missing. On the guest road (scripts/road.sh),
# where no Wine here runs autorun.exe, it takes them from the launcher's
# 64-bit twin, built from the same sources, under Wine's 64-bit loader.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/road.sh
choose_windows_road build/screenshots/wineprefix
missing=()
for package in xvfb imagemagick x11-utils fonts-wine; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $apt_sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The build, and where its bitness shows: the system folder that holds the
# process-status library, and the registry view of the uninstall list that
# the launcher reads (a 32-bit program reads the 32-bit view).
preset=win32
system_folder=syswow64
uninstall_list='HKLM\SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
if [ "$windows_road" = guest ]; then
  preset=win64
  system_folder=system32
  uninstall_list='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
  export WINELOADER=$wine64_loader
  wine() { "$WINELOADER" "$@"; }
  echo "No Wine here runs autorun.exe ($road_reason): the pictures show its 64-bit twin."
fi
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target autorun e2e_psapi >/dev/null
bin=$root/build/$preset/bin

shots=$root/build/screenshots
medium=$shots/medium
export WINEPREFIX=$shots/wineprefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# Ends every program of this prefix, and with them the launchers' guards.
reset() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
# The prefix's own process-status library, set aside while a stand-in that
# lacks a function takes its place (renamed, not overwritten, as a running
# process may have it mapped).
psapi=$WINEPREFIX/drive_c/windows/$system_folder/psapi.dll
psapi_original=$psapi.shots-original
overrides='HKCU\Software\Wine\AppDefaults\autorun.exe'
swap_psapi() {
  mv "$psapi" "$psapi_original"
  cp "$bin/e2e_psapi.dll" "$psapi"
  # Wine prefers its own copy unless told to load the one on disk.
  wine reg add "$overrides\\DllOverrides" /v psapi /d native /f >/dev/null 2>&1
}
put_back_psapi() {
  [ -f "$psapi_original" ] || return 0
  reset
  # In this order, so that a run killed in between redoes both.
  wine reg delete "$overrides" /f >/dev/null 2>&1 || true
  mv -f "$psapi_original" "$psapi"
  reset
}
cleanup() {
  reset
  put_back_psapi
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
sleep 1

# A prefix of its own with the desktop's graphics driver; Wine draws the
# windows' captions itself, as there is no window manager.
if [ ! -f "$WINEPREFIX/.autorun-shots-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$shots"
  echo "Preparing the Wine prefix $WINEPREFIX (about 20 seconds)..."
  wine wineboot -i >/dev/null 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  touch "$WINEPREFIX/.autorun-shots-ready"
fi
# Wine's own fonts, among them Marlett, whose letter "r" is the caption's
# close button: Debian's Wine 8 reads no font from its data folder
# (/usr/share/wine/fonts, package fonts-wine), only from the prefix's Fonts
# folder and fontconfig's, so without this copy the button shows an "r" in
# whatever font stands in for Marlett.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
put_back_psapi  # left behind by a run that was killed half-way
rm -rf "$medium"
mkdir -p "$medium"
cp "$bin/autorun.exe" "$medium/"
ln -sfn "$medium" "$WINEPREFIX/dosdevices/m:"
wine reg add "$uninstall_list\\AutorunShots" /v UninstallString /d 'C:\nothing.exe' /f \
  >/dev/null 2>&1

windows() { xwininfo -root -tree | sed -n "s/^ *\(0x[0-9a-f]*\) \"$1\": .*/\1/p" | sort; }

# Waits for a new window captioned $1, stores it as docs/$2.png; the
# launcher stays, holding its guard, until the end.
shot() {
  local before window tries=0
  before=$(windows "$1")
  wine start /d 'M:\' 'M:\autorun.exe' >/dev/null 2>&1
  until window=$(comm -13 <(echo "$before") <(windows "$1") | head -n 1) && [ -n "$window" ]; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || { echo "no \"$1\" box for $2" >&2; exit 1; }
    sleep 0.2
  done
  sleep 0.5  # drawn
  import -window "$window" "docs/$2.png"
  echo "docs/$2.png"
}

configure() {
  printf '[Config]\r\nUnInstKey=AutorunShots\r\nSetupPath=setup.exe\r\nSetupTitle=%s\r\nExeName=%s\r\nProductLink=\\No Such Folder\\No Such Link.lnk\r\n' \
    "$1" "$2" >"$medium/install.dat"
}

# A program that stands in for the product and for the setup window. Right
# after the prefix's programs were ended it now and then fails to come up,
# so it is started again when no window shows within ten seconds.
notepad() {
  local attempt tries
  for attempt in 1 2 3; do
    wine notepad >>"$shots/notepad.log" 2>&1 &
    for tries in $(seq 50); do
      [ -z "$(windows 'Untitled - Notepad')" ] || return 0
      sleep 0.2
    done
  done
  echo "notepad did not start; see $shots/notepad.log" >&2
  exit 1
}

# No install.dat on the medium.
shot WARNING install-dat-missing
reset

# Installed; no setup window, the product not running, no shortcut; this
# launcher keeps its box open, so the next one finds the guard taken.
configure 'No Such Window' '\No Such Program.exe'
shot Autorun link-not-found
shot Autorun already-running
reset

notepad
configure 'No Such Window' 'notepad.exe'
shot WARNING program-running
reset

notepad
configure 'Untitled - Notepad' 'notepad.exe'
shot WARNING setup-running
reset

# Installed, with a process-status library lacking GetModuleFileNameExA in
# the system directory; the flow goes on to the missing shortcut afterwards.
swap_psapi
configure 'No Such Window' '\No Such Program.exe'
shot 'Fatal Error' psapi-missing
put_back_psapi
