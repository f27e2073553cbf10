#!/usr/bin/env bash
# Installs what is needed, builds and starts the program on a sample file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --parallel "$(nproc)"
exec build/cli/zarvelo-cli info build/samples/Beispiel_04_VW_2002_03_DX.DNL "$@"
