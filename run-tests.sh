#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test:
# the unit, scenario and widget tests under AddressSanitizer and UBSan, the
# tests that use threads under ThreadSanitizer, and each fuzz target for a
# short time over its corpus.
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

# The tests of the code that runs on more than one thread: the statistics
# and the savings plans (a large scope is split between two threads, and
# so are the last months of thousands of archived funds), the record store
# (large data files are decoded in two halves at once), the portrait search
# (a large file is searched in two halves) and the ticker of the depot pane.
echo "== Tests that use threads, with ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELLURIO_TSAN=ON -DTELLURIO_WERROR=ON \
  -DTELLURIO_BENCH=OFF
cmake --build build-tsan -j"$jobs" --target storage_test analysis_test savings_plan_test views_test acquisition_test
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp}
./build-tsan/storage/storage_test
./build-tsan/analysis/analysis_test
./build-tsan/analysis/savings_plan_test
./build-tsan/acquisition/acquisition_test --gtest_filter='PortraitSearch.*'
QT_QPA_PLATFORM=offscreen TELLURIO_SOUND=off ./build-tsan/views/views_test

echo "== Fuzz targets (${fuzz_seconds} s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTELLURIO_FUZZ=ON -DTELLURIO_GUI=OFF -DTELLURIO_BENCH=OFF
cmake --build build-fuzz -j"$jobs" --target fuzzers
# Each fuzz target <name>_fuzz starts from the seed files in fuzz/corpus/<name>.
# A target that fails shows its report (the broken condition or sanitizer
# finding with its stack) and the input that made it fail; the input is kept
# in build-fuzz/crashes to run it again.
crashes=build-fuzz/crashes
rm -rf "$crashes"
mkdir -p "$crashes"
failed=()
while IFS= read -r target; do
  name=$(basename "$target" _fuzz)
  work=$(mktemp -d)
  log=$(mktemp)
  seeds=fuzz/corpus/$name
  if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work"/; fi
  echo "-- $name (Startdateien: $( [ -d "$seeds" ] && echo "$seeds" || echo keine))"
  if "$target" -max_total_time="$fuzz_seconds" -max_len=8192 -timeout=25 -print_final_stats=1 \
    -artifact_prefix="$crashes/$name-" "$work" >"$log" 2>&1; then
    grep -E '^Done [0-9]+ runs' "$log" || tail -n 2 "$log"
  else
    failed+=("$name")
    echo "!! $name ist fehlgeschlagen. Der Bericht:"
    if grep -qE 'ERROR: |Bedingung verletzt|runtime error:' "$log"; then
      sed -n '/ERROR: \|Bedingung verletzt\|runtime error:/,$p' "$log" | head -n 400
    else
      tail -n 80 "$log"
    fi
    for input in "$crashes/$name-"*; do
      [ -f "$input" ] || continue
      echo "!! Eingabe, die den Fehler auslöst ($input, $(wc -c <"$input") Bytes):"
      od -A x -t x1z -v "$input" | head -n 64
      echo "!! Nachstellen mit: $target $input"
    done
  fi
  rm -rf "$work" "$log"
done < <(find build-fuzz -type f -name '*_fuzz' -perm -u+x | sort)
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Fuzz-Ziele fehlgeschlagen: ${failed[*]}"
  exit 1
fi

echo "Alle Tests bestanden."
