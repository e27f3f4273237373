#!/usr/bin/env bash
# Builds the fuzzers (clang, libFuzzer, AddressSanitizer and UBSan) in
# build/fuzz and runs each for FUZZ_SECONDS (default 30) from a working copy
# of its committed seed corpus (the disc-image fuzzer's images are mastered
# there, fuzz/master-seeds.sh, and the program reader's programs signed
# there, fuzz/program-seeds.sh). Fails when any fuzzer finds a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

seconds="${FUZZ_SECONDS:-30}"
build=build/fuzz
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" -j2 >/dev/null

status=0
for seeds in fuzz/corpus/*/; do
  name="$(basename "$seeds")"
  # New inputs go to a scratch copy; the committed seeds stay as they are.
  work="$build/work/$name"
  rm -rf "$work" && mkdir -p "$work" "$build/artifacts"
  cp "$seeds"* "$work/"
  limits=()
  if [ "$name" = disc_image_fuzzer ]; then
    sh fuzz/master-seeds.sh "$work"
    # libarchive sizes its read-ahead buffer by a directory's declared size,
    # a 32-bit field: up to 4 GiB asked for, never touched, then refused
    # when the image holds less. That one allocation is allowed.
    limits=(-malloc_limit_mb=4200)
  fi
  if [ "$name" = program_reader_fuzzer ]; then
    sh fuzz/program-seeds.sh "$work"
  fi
  log="$build/$name.log"
  if "$build/$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 "${limits[@]}" \
      -artifact_prefix="$build/artifacts/$name-" "$work" >"$log" 2>&1; then
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    echo "$name: ${runs:-?} executions in ${seconds} s, nothing found"
  else
    echo "$name: FOUND A FAULT (log: $log, input: $build/artifacts/)"
    grep -E 'ERROR|broken:|runtime error' "$log" | head -5 || true
    status=1
  fi
done
exit "$status"
