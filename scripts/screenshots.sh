#!/usr/bin/env bash
# Builds the program and takes pictures of its windows with a sample file loaded, into
# docs/screenshots/ (or the folder given). Uses a virtual X display when xvfb-run is there,
# otherwise Qt's offscreen platform; both give the same pixels.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --parallel "$(nproc)" --target zarvelo-screenshots
if command -v xvfb-run > /dev/null; then
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/tests/support/zarvelo-screenshots "$out"
else
  QT_QPA_PLATFORM=offscreen build/tests/support/zarvelo-screenshots "$out"
fi
