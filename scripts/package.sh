#!/usr/bin/env bash
# Builds the Debian package build/zarvelo_<version>_<arch>.deb and prints its path.
# Install it with: apt install ./build/zarvelo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --parallel "$(nproc)" --target zarvelo zarvelo-cli zarvelo-manpage
# cpack writes into build/ and names the file itself; remove the old one so the printed
# path is the fresh package.
rm -f build/zarvelo_*.deb
if ! (cd build && cpack -G DEB > cpack.log 2>&1); then
  cat build/cpack.log >&2
  exit 1
fi
ls "$PWD"/build/zarvelo_*.deb
