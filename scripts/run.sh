#!/usr/bin/env bash
# Installs what is needed, builds and starts the windowed program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --parallel "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  # A window nobody can see would wait forever; show what it looks like instead.
  echo "zarvelo is a windowed program, but there is no display here (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "Run it from a desktop session, or over 'ssh -X'. Sample files to open are in build/samples/." >&2
  build/tests/support/zarvelo-screenshots build/screenshots > /dev/null
  echo "Pictures of the windows with a sample file loaded were written to build/screenshots/." >&2
  exit 0
fi
exec build/app/zarvelo "$@"
