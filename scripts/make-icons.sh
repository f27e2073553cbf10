#!/usr/bin/env bash
# Renders the application icon resources/icons/zarvelo.svg into the PNG sizes that the
# desktop menu and the window frames use (resources/icons/zarvelo-SIZE.png). Run it after
# changing the SVG and commit the pictures with it; the build itself needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert > /dev/null || { echo "rsvg-convert fehlt: apt-get install librsvg2-bin" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --output "resources/icons/zarvelo-$size.png" resources/icons/zarvelo.svg
done
