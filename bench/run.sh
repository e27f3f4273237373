#!/usr/bin/env bash
# Measures autorun.exe against floors built by the same toolchain and flags:
# its size and where the bytes go, its imports, header flags and
# reproducibility, its start overhead under Wine on both roads, against the
# floors and against the launcher of a baseline commit that still had the C
# run-time's start-up, the running-program probe's cost per process, and its
# peak working set. Prints a table and writes bench/results.md. Not a test:
# no figure passes or fails. Everything lives in build/bench, with a Wine
# prefix of its own. BENCH_PAIRS, BENCH_MEMORY_RUNS, BENCH_SCAN_COUNTS and
# BENCH_BASELINE (a commit) change the runs.
#
# Size, imports, header flags and reproducibility are always those of the
# 32-bit autorun.exe. Whatever runs is run on the 32-bit build on the native
# road (scripts/road.sh), and on the 64-bit twin (same sources, Wine's
# 64-bit loader) on the guest road; the report says which.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
source scripts/road.sh
root=$PWD
pairs=${BENCH_PAIRS:-60}
memoryRuns=${BENCH_MEMORY_RUNS:-7}
scanCounts=${BENCH_SCAN_COUNTS:-10 100 400}
# The last launcher with the C run-time's start-up.
baseline=${BENCH_BASELINE:-0c9cbc7}
work=$root/build/bench
bin32=$work/win32/bin

# build <source> <folder> <toolchain> <target>...: the bench project, as is.
build() {
  cmake -S "$1/bench" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$3.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
  cmake --build "$2" -j2 --target "${@:4}" >/dev/null
}

choose_windows_road "$work/wineprefix"
if [ "$windows_road" = native ]; then
  bits=32 toolchain=mingw-i686 loader=wine registryView=/reg:32
  objdumpRun=i686-w64-mingw32-objdump
else
  bits=64 toolchain=mingw-x86_64 loader=$wine64_loader registryView=/reg:64
  objdumpRun=x86_64-w64-mingw32-objdump
fi
ran="the $bits-bit build"
[ "$bits" = 64 ] && ran="the 64-bit twin"
bin=$work/win$bits/bin

echo "Building autorun.exe and the size floor in $work/win32, twice from scratch..."
rm -rf "$work/win32" "$work/win32-again"
build "$root" "$work/win32" mingw-i686 autorun floor
build "$root" "$work/win32-again" mingw-i686 autorun
echo "Building the programs that run, $ran, in $work/win$bits..."
build "$root" "$work/win$bits" "$toolchain" autorun bare_starter own_entry_starter imports_starter \
  sleeper driver scan
echo "Building the baseline launcher ($baseline, with the C run-time's start-up)..."
rm -rf "$work/baseline-source"
mkdir -p "$work/baseline-source"
git archive "$baseline" | tar -x -C "$work/baseline-source"
build "$work/baseline-source" "$work/baseline-win32" mingw-i686 autorun
build "$work/baseline-source" "$work/baseline-win$bits" "$toolchain" autorun

# ---- Wine: a private prefix; the two media mounted as drives M: and N:.
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
echo "Preparing the Wine prefix $WINEPREFIX..."
sh tests/win/wine-prefix.sh "$WINEPREFIX" "$loader" >/dev/null
trap 'wineserver -k 2>/dev/null || true' EXIT

# A Windows program's output, through a file (Wine's background services
# would hold a pipe open); on failure the output goes to the terminal.
measure() {
  local file status=0
  file=$(mktemp)
  timeout 600 "$loader" "$@" >"$file" 2>&1 </dev/null || status=$?
  if [ $status -ne 0 ]; then
    cat "$file" >&2
  else
    tr -d '\r' <"$file"
  fi
  rm -f "$file"
  return $status
}
field() { sed -n "s/.*\\b$2=\\([^ ]*\\).*/\\1/p" <<<"$1" | head -n 1; }

media=$work/media
rm -rf "$media"
for medium in not-installed installed; do
  mkdir -p "$media/$medium"
  cp "$bin/autorun.exe" "$bin/bare_starter.exe" "$bin/own_entry_starter.exe" \
    "$bin/imports_starter.exe" "$media/$medium/"
  cp "$work/baseline-win$bits/bin/autorun.exe" "$media/$medium/autorun-baseline.exe"
done
# Only the not-installed medium has a setup program: a launcher that took the
# wrong road on the other would start nothing, and the driver would say so.
mkdir -p "$media/not-installed/setup"
cp "$bin/sleeper.exe" "$media/not-installed/setup/setup.exe"
printf '%s\r\n' '[Config]' 'UnInstKey=AutorunBenchNothingInstalled' 'SetupPath=setup\setup.exe' \
  >"$media/not-installed/install.dat"
printf '%s\r\n' '[Config]' 'UnInstKey=AutorunBenchProduct' 'SetupPath=setup\setup.exe' \
  'SetupTitle=Autorun Bench Setup' 'ExeName=no-such-program.exe' \
  'ProductLink=\Autorun Bench\Autorun Bench Product.lnk' >"$media/installed/install.dat"
ln -sfn "$media/not-installed" "$WINEPREFIX/dosdevices/m:"
ln -sfn "$media/installed" "$WINEPREFIX/dosdevices/n:"

# The installed product: a program, its uninstall entry (in the registry view
# of the launcher's bitness, as a setup of that bitness writes it), its
# all-users shortcut and a stored class path.
product=$WINEPREFIX/drive_c/AutorunBench
mkdir -p "$product"
cp "$bin/sleeper.exe" "$product/product.exe"
cp "$bin/sleeper.exe" "$product/sleeper.exe"
measure reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\AutorunBenchProduct' \
  /v UninstallString /d 'C:\AutorunBench\uninstall.exe' /f "$registryView" >/dev/null
measure reg add 'HKCU\Environment' /v CLASSPATH /d 'C:\AutorunBench\lib\bench.jar' /f >/dev/null
measure "$bin/driver.exe" link '\Autorun Bench\Autorun Bench Product.lnk' \
  'C:\AutorunBench\product.exe' 'C:\AutorunBench' >/dev/null

# Each road: the launcher's folder, then the folder and program the floor
# starts (the launcher's child, in the launcher's child's folder).
# Backslashes are Windows paths, not escapes; compare reads the arrays.
# shellcheck disable=SC1003,SC2034
notInstalled=('M:\' 'M:\' 'M:\setup\setup.exe')
# shellcheck disable=SC1003,SC2034
installed=('N:\' 'C:\AutorunBench' 'C:\AutorunBench\product.exe')
# compare time|memory <runs> <road> <floor> [launcher]: the launcher
# (autorun, or autorun-baseline), started in the medium's root, against the
# floor program starting the road's program in its folder; with the floor
# "baseline", against the baseline launcher started as it is.
compare() {
  local -n road=$3
  local drive=${road[0]%\\} output
  local floorDirectory=${road[1]} floor="$drive\\$4.exe ${road[2]}"
  if [ "$4" = baseline ]; then
    floorDirectory=${road[0]} floor="$drive\\autorun-baseline.exe"
  fi
  output=$(measure "$bin/driver.exe" "$1" "$2" "${road[0]}" "$drive\\${5:-autorun}.exe" \
    "$floorDirectory" "$floor")
  [ -n "$(field "$output" ratio)" ] || { echo "no figures: $output" >&2; return 1; }
  echo "$output"
}

# Memory first: each run waits until the launcher's child reports that it
# runs, so a road that does not reach its program stops the script here.
echo "Peak working set, $memoryRuns runs per road and floor..."
memoryNot=$(compare memory "$memoryRuns" notInstalled bare_starter)
memoryInst=$(compare memory "$memoryRuns" installed bare_starter)
memoryNotBound=$(compare memory "$memoryRuns" notInstalled imports_starter)
memoryInstBound=$(compare memory "$memoryRuns" installed imports_starter)
echo "Start overhead, $pairs alternating pairs per road and floor..."
timeNot=$(compare time "$pairs" notInstalled bare_starter)
timeInst=$(compare time "$pairs" installed bare_starter)
timeNotBound=$(compare time "$pairs" notInstalled imports_starter)
timeInstBound=$(compare time "$pairs" installed imports_starter)
timeNotOwn=$(compare time "$pairs" notInstalled own_entry_starter)
timeInstOwn=$(compare time "$pairs" installed own_entry_starter)
echo "Start overhead against the baseline launcher, $pairs alternating pairs per road..."
timeNotBase=$(compare time "$pairs" notInstalled bare_starter autorun-baseline)
timeInstBase=$(compare time "$pairs" installed bare_starter autorun-baseline)
timeNotPair=$(compare time "$pairs" notInstalled baseline)
timeInstPair=$(compare time "$pairs" installed baseline)
echo "Process scan with $scanCounts extra processes..."
# shellcheck disable=SC2086 # the counts are separate arguments
scan=$(measure "$bin/scan.exe" 'C:\AutorunBench\sleeper.exe' $scanCounts)

# ---- Size, and where the bytes go according to the linkers' maps.
# All of the 32-bit build.
for program in autorun floor; do
  awk -f bench/map-sizes.awk "$bin32/$program.map" >"$work/$program.sizes"
done
autorunSize=$(stat -c %s "$bin32/autorun.exe")
floorSize=$(stat -c %s "$bin32/floor.exe")
baselineSize=$(stat -c %s "$work/baseline-win32/bin/autorun.exe")
autorunSum=$(sha256sum "$bin32/autorun.exe" | cut -d' ' -f1)
reproducible="no: the second build differs ($(sha256sum "$work/win32-again/bin/autorun.exe" |
  cut -d' ' -f1))"
cmp -s "$bin32/autorun.exe" "$work/win32-again/bin/autorun.exe" && reproducible=yes
headerFlags=$(i686-w64-mingw32-objdump -p "$bin32/autorun.exe" |
  sed -n 's/^[[:space:]]*\(DYNAMIC_BASE\|NX_COMPAT\|HIGH_ENTROPY_VA\)$/\1/p' | tr '\n' ' ' |
  sed 's/ $//')
# The bytes of one kind of contributor (own, runtime, imports; none: all).
kindBytes() {
  awk -F'\t' -v kind="${2:-}" 'kind == "" || $3 == kind { s += $1 } END { print s + 0 }' \
    "$work/$1.sizes"
}
# imports <objdump> <program>
imports() {
  "$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    tr '[:upper:]' '[:lower:]' | sort | tr '\n' ' ' | sed 's/ $//'
}
sectionSizes() {
  i686-w64-mingw32-objdump -h "$bin32/$1.exe" | awk '$1 ~ /^[0-9]+$/ { print $2, $3 }' | sort
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# ---- The report.
timeRow() {
  printf '| %s | %s ms | %s ms | **%s** (middle half %s–%s) |\n' "$1" "$(field "$2" a_ms)" \
    "$(field "$2" b_ms)" "$(field "$2" ratio)" "$(field "$2" ratio_q1)" "$(field "$2" ratio_q3)"
}
memoryRow() {
  printf '| %s | %s KiB | %s KiB | **%s** |\n' "$1" "$(field "$2" a_kib)" "$(field "$2" b_kib)" \
    "$(field "$2" ratio)"
}
summary() {
  echo "| Measure | autorun.exe | floor | ratio |"
  echo "|---|---:|---:|---:|"
  printf '| Size, 32-bit (floor: one message box, entry point of its own) | %s bytes | %s bytes' \
    "$autorunSize" "$floorSize"
  printf ' | **%s** |\n' "$(ratio "$autorunSize" "$floorSize")"
  timeRow "Start, not-installed road, $bits-bit (floor: bare starter; $pairs pairs)" "$timeNot"
  timeRow "Start, installed road, $bits-bit (floor: bare starter; $pairs pairs)" "$timeInst"
  timeRow "Start, not-installed road, $bits-bit (floor: own-entry bare starter)" "$timeNotOwn"
  timeRow "Start, installed road, $bits-bit (floor: own-entry bare starter)" "$timeInstOwn"
  timeRow "Start, not-installed road, $bits-bit (floor: bound bare starter)" "$timeNotBound"
  timeRow "Start, installed road, $bits-bit (floor: bound bare starter)" "$timeInstBound"
  local runs="$memoryRuns runs"
  memoryRow "Peak working set, not-installed road, $bits-bit (floor: bare starter; $runs)" \
    "$memoryNot"
  memoryRow "Peak working set, installed road, $bits-bit (floor: bare starter; $runs)" \
    "$memoryInst"
  memoryRow "Peak working set, not-installed road, $bits-bit (floor: bound bare starter)" \
    "$memoryNotBound"
  memoryRow "Peak working set, installed road, $bits-bit (floor: bound bare starter)" \
    "$memoryInstBound"
  echo
  echo "Against the baseline launcher ($baseline, the same launcher with the C run-time's" \
    "start-up), $bits-bit, $pairs pairs each:"
  echo
  echo "| Measure | autorun.exe | baseline or floor | ratio |"
  echo "|---|---:|---:|---:|"
  printf '| Size, 32-bit (against the baseline) | %s bytes | %s bytes | **%s** |\n' \
    "$autorunSize" "$baselineSize" "$(ratio "$autorunSize" "$baselineSize")"
  timeRow "Start, not-installed road: the baseline against the bare starter" "$timeNotBase"
  timeRow "Start, installed road: the baseline against the bare starter" "$timeInstBase"
  timeRow "Start, not-installed road: autorun.exe against the baseline" "$timeNotPair"
  timeRow "Start, installed road: autorun.exe against the baseline" "$timeInstPair"
  echo
  echo "| Extra processes | Processes examined | Probe (median of 9) | Per process examined" \
    "| Image-name floor | Ratio |"
  echo "|---:|---:|---:|---:|---:|---:|"
  while read -r line; do
    printf '| %s | %s | %s ms | %s µs | %s ms | **%s** |\n' "$(field "$line" extra)" \
      "$(field "$line" processes)" "$(field "$line" ms)" "$(field "$line" us_per_process)" \
      "$(field "$line" floor_ms)" "$(field "$line" ratio)"
  done < <(grep '^extra=' <<<"$scan")
}
sizeTables() {
  echo "| Kind | autorun.exe | floor |"
  echo "|---|---:|---:|"
  echo "| the launcher's own code and data | $(kindBytes autorun own) | $(kindBytes floor own) |"
  echo "| run-time support (libgcc), base relocations | $(kindBytes autorun runtime)" \
    "| $(kindBytes floor runtime) |"
  echo "| import tables and stubs | $(kindBytes autorun imports) | $(kindBytes floor imports) |"
  echo "| headers, alignment to 512-byte file blocks, fill" \
    "| $((autorunSize - $(kindBytes autorun))) | $((floorSize - $(kindBytes floor))) |"
  echo "| **file** | **$autorunSize** | **$floorSize** |"
  echo
  echo "| Section | autorun.exe | floor |"
  echo "|---|---:|---:|"
  join -a1 -a2 -e 0 -o 0,1.2,2.2 <(sectionSizes autorun) <(sectionSizes floor) |
    while read -r name a b; do printf '| %s | %d | %d |\n' "$name" "0x$a" "0x$b"; done
  echo
  echo "Largest contributors to autorun.exe (all sections):"
  echo
  echo "| Contributor | Kind | Bytes |"
  echo "|---|---|---:|"
  awk -F'\t' '{ s[$2 "\t" $3] += $1 } END { for (k in s) print s[k] "\t" k }' \
    "$work/autorun.sizes" | sort -t$'\t' -k1,1nr | head -n 15 |
    awk -F'\t' '{ printf "| %s | %s | %d |\n", $2, $3, $1 }'
  echo
  echo "Largest functions and data of the launcher's own code:"
  echo
  echo "| Function or data | Object | Bytes |"
  echo "|---|---|---:|"
  awk -F'\t' '$3 == "own" && $5 ~ /\$/ {
      name = $5; sub(/^[^$]*\$/, "", name); print $1 "\t" $2 "\t" name
    }' "$work/autorun.sizes" | sort -t$'\t' -k1,1nr | head -n 12 |
    while IFS=$'\t' read -r bytes object name; do
      name=$(i686-w64-mingw32-c++filt -n -p "$name" | sed 's/(anonymous namespace):://')
      # shellcheck disable=SC2016 # the backquotes are Markdown's
      printf '| `%s` | %s | %s |\n' "$name" "$object" "$bytes"
    done
}

model=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
memory=$(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
{
  cat <<EOF
# Benchmarks of autorun.exe

Made by \`bench/run.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC').

Machine: $(nproc) cores ($model), $memory memory, $("$loader" --version).

Which build: size, imports, header flags and reproducibility are always those of the
32-bit autorun.exe. Everything that runs (start overhead, memory, the process scan) ran on
**$ran** under \`$loader\`$([ "$bits" = 64 ] && echo ", since $road_reason; the twin is
the same sources built by mingw-w64 x86_64 with the same flags and entry point").

Figures are medians; each ratio compares runs made side by side, alternately, in the same
run of the script, so load from other work on the machine falls on both sides alike. No
figure is a pass/fail condition.

## Summary

EOF
  summary
  cat <<'EOF'

## How it is measured

- **Floors.** `bench/floor.cpp` only shows one message box; `bench/bare_starter.cpp` only
  starts the program named on its command line (`CreateProcessA`, in its own current
  directory) and waits for it. All are built by the same toolchain with the same compile
  and link flags as autorun.exe (`bench/CMakeLists.txt` includes the main project, so
  autorun.exe and the probes library are the product's). The size floor has an entry
  point of its own and no C run-time, as autorun.exe. The *bare starter* is an ordinary
  program with the C run-time's start-up, the yardstick the start overhead has always been
  measured against; the *own-entry* bare starter is the same program linked like
  autorun.exe, with an entry point of its own. The *bound* bare starter is the own-entry
  one built a second time bound to the system libraries that autorun.exe imports (calls
  that never run make the loader bind them); it splits the start overhead and the memory
  into loading those libraries and the launcher's own work.
- **Baseline.** The launcher of the baseline commit, which still had the C run-time's
  start-up (and imported its library), built from that commit's sources with the same
  toolchain, put beside autorun.exe on both media as `autorun-baseline.exe` and timed the
  same way, against the bare starter and against autorun.exe directly.
- **Reproducibility.** autorun.exe is built twice from scratch in two folders
  (`build/bench/win32` and `build/bench/win32-again`) and compared byte for byte.
- **Media.** Two folders mounted as drives, so the medium's root is the drive's root as on
  a disc: M: holds the not-installed road (`UnInstKey` names no entry, `SetupPath` a
  program that ends at once), N: the installed road (an uninstall entry with
  `UninstallString` in the registry view of the launcher's bitness, an all-users
  Start-menu shortcut saved with the shell's link object, a stored `HKCU\Environment`
  `CLASSPATH`, `ExeName` and `SetupTitle` that match nothing, no setup program). One
  stand-in program (`bench/sleeper.cpp`) is the setup program, the product and the scan's
  extra processes.
- **Start overhead.** `bench/driver.cpp` runs inside Wine and times each run from
  `CreateProcessA` to the end of the started process with `QueryPerformanceCounter`:
  autorun.exe, started in the medium's root as the desktop would, against the floor
  starting the same program in the same folder, alternately, after one unmeasured warm-up
  pair; the ratio is the median of the per-pair ratios. Timing inside Wine keeps the start
  of `wine` itself (a Linux process, the loader, the server connection: tens of
  milliseconds of noise) out. Each run still includes two Windows process starts, so the
  figures are what a user would notice; absolute times drift with the machine's load, the
  ratios much less.
- **Process scan.** `bench/scan.cpp` is linked with the project's probes library. At each
  level it starts that many extra stand-ins, waits until each has said it runs, then calls
  `IsProgramRunning("no-such-name")` nine times, alternating with a floor that answers the
  same question with one image-name query per process (`OpenProcess` for limited
  information, `QueryFullProcessImageNameA`). "Processes examined" is what `EnumProcesses`
  lists at that moment, Wine's own services included.
- **Memory.** The driver holds the started program (an event it sets later) and, once the
  program reports that it runs, reads `PeakWorkingSetSize` of the launcher's or the
  floor's process with `GetProcessMemoryInfo`. Under Wine that is the Linux process's
  resident peak, Wine's own libraries included, which is most of it.
EOF
  echo
  local32=$(imports i686-w64-mingw32-objdump "$bin32/autorun.exe")
  bound=$(imports "$objdumpRun" "$bin/imports_starter.exe")
  echo "Imports of autorun.exe (32-bit): $local32."
  echo "Imports of the bound bare starter ($bits-bit): $bound."
  if [ "$local32" != "$bound" ]; then
    echo "**They differ: bring \`bench/bare_starter.cpp\` up to date.**"
  fi
  echo
  echo "Header flags of autorun.exe (32-bit, \`objdump -p\`): $headerFlags."
  echo "Reproducible (two clean builds in two folders byte for byte alike): $reproducible;"
  echo "SHA-256 $autorunSum."
  cat <<EOF

## Where the bytes go

From the linker's maps (\`-Wl,-Map\`, written beside each program in \`build/bench/win32/bin\`;
a map changes nothing in the program) and the section headers; section sizes are before
alignment to 512-byte file blocks. autorun.exe is $((autorunSize - floorSize)) bytes above
the floor; the baseline launcher, with the C run-time's start-up, was $baselineSize bytes.
Neither program has any C run-time: the entry point is their own, so what the launcher
adds is its own code (with the C library functions of \`app/freestanding.cpp\` that it
calls), libgcc's stack probe, and the imports of the libraries it calls.

Where trimming can start:

- Every distinct system function costs an import stub, a name and two table slots (about
  30 bytes); every library a descriptor. Functions loaded at run time cost a name instead.
- With \`-ffunction-sections\`, each function of the launcher is its own input section, so
  the last table below is exact per function.

EOF
  sizeTables
} >bench/results.md.new
# bench/check-programs.sh's section stays.
sed -n '/^## The checker on a full disc of programs/,$p' bench/results.md 2>/dev/null |
  sed '1s/^/\n/' >>bench/results.md.new || true
mv bench/results.md.new bench/results.md

echo
summary
echo
echo "Written to bench/results.md, with where the bytes go."
