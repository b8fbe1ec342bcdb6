#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and
# end-to-end tests, the same under AddressSanitizer and UndefinedBehaviorSanitizer
# (skipped with QF_FAST=1), and each fuzz target for a short time budget
# (QF_FUZZ_SECONDS, default 20; 0 skips fuzzing).
set -euo pipefail
cd "$(dirname "$0")"
. tools/setup.sh

jobs=$(nproc)
fuzz_seconds=${QF_FUZZ_SECONDS:-20}

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs"

if [ "${QF_FAST:-0}" != 1 ]; then
  echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQF_SANITIZE=ON -DQF_WITH_SDL=OFF >/dev/null
  cmake --build build-asan -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi

if [ "$fuzz_seconds" != 0 ] && [ -n "$(find fuzz -name CMakeLists.txt -mindepth 2 | head -n 1)" ]; then
  echo "== fuzz targets, ${fuzz_seconds}s each"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQF_FUZZ=ON -DQF_WITH_SDL=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs"
  passed=0; failed=0
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  while IFS= read -r target; do
    name=$(basename "$target")
    seeds=$(find "$(pwd)/fuzz" -type d -path "*/corpus/$name" | head -n 1)
    mkdir -p "$work/$name"
    if "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
         -artifact_prefix="$work/$name-" "$work/$name" ${seeds:+"$seeds"} >"$work/$name.log" 2>&1; then
      echo "fuzz $name: ok ($(grep -c . "$work/$name.log") log lines)"
      passed=$((passed + 1))
    else
      echo "fuzz $name: FAILED"; tail -n 40 "$work/$name.log"
      failed=$((failed + 1))
    fi
  done < <(find build-fuzz -type f -name 'fuzz_*' -perm -u+x | sort)
  echo "fuzz: $passed passed, $failed failed"
  [ "$failed" = 0 ]
fi
echo "== all tests passed"
