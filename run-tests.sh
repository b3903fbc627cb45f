#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test:
# the unit, scenario and widget tests under AddressSanitizer and UBSan, and
# each fuzz target for a short time over its corpus.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${TELLURIO_FUZZ_SECONDS:-20}

echo "== Build with AddressSanitizer and UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELLURIO_SANITIZE=ON -DTELLURIO_WERROR=ON
cmake --build build-asan -j"$jobs"

echo "== Tests"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 300)

echo "== Fuzz targets (${fuzz_seconds} s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTELLURIO_FUZZ=ON -DTELLURIO_GUI=OFF -DTELLURIO_BENCH=OFF
cmake --build build-fuzz -j"$jobs"
# Each fuzz target <name>_fuzz starts from the seed files in a folder
# fuzz/corpus/<name> of the source tree.
while IFS= read -r target; do
  name=$(basename "$target" _fuzz)
  work=$(mktemp -d)
  seeds=$(find . -path ./build\* -prune -o -type d -path "*fuzz/corpus/$name" -print | head -n 1)
  if [ -n "$seeds" ]; then cp -r "$seeds"/. "$work"/; fi
  echo "-- $name (Startdateien: ${seeds:-keine})"
  "$target" -max_total_time="$fuzz_seconds" -max_len=8192 -print_final_stats=1 "$work" 2>&1 | tail -n 4
  rm -rf "$work"
done < <(find build-fuzz -type f -name '*_fuzz' -perm -u+x | sort)

echo "Alle Tests bestanden."
