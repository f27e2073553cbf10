#!/usr/bin/env bash
# Installs what is needed, builds everything once and runs all tests.
# With --sanitize: builds the tests with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitize and runs them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-sanitize -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZARVELO_SANITIZE=ON -DZARVELO_BUILD_BENCH=OFF > /dev/null
  cmake --build build-sanitize --parallel "$(nproc)"
  cd build-sanitize
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
  cmake --build build --parallel "$(nproc)"
  cd build
fi
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
