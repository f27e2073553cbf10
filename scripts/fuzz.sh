#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for the given number of seconds (default 60), seeded with sample files.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZARVELO_BUILD_FUZZ=ON > /dev/null
cmake --build build-fuzz --parallel "$(nproc)"
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  "build-fuzz/fuzz/make_seeds" "$name" "$corpus"
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=1200000 -rss_limit_mb=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
done
