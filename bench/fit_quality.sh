#!/usr/bin/env bash
# Quality of the picture fit over the KDE wallpapers (photographs and artwork), against the
# best a user gets today: ImageMagick and pngquant reductions to 8, 16, 32 and 64 colours,
# imported as BMP. Pictures are taken from Debian's plasma-workspace-wallpapers at run time
# and never committed. Extra arguments go to build/bench/fit_quality, for example
#   bash bench/fit_quality.sh --before-after docs/screenshots/photo-fit-before-after.png
set -euo pipefail
cd "$(dirname "$0")/.."

if ! dpkg -s plasma-workspace-wallpapers > /dev/null 2>&1; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y --no-install-recommends plasma-workspace-wallpapers pngquant imagemagick
fi
convert="/usr/bin/convert -quiet"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --parallel "$(nproc)" --target fit_quality > /dev/null

work=build/fit-quality
mkdir -p "$work"
for wallpaper in /usr/share/wallpapers/*/; do
  name=$(basename "$wallpaper")
  # The largest landscape picture of the wallpaper (files are named WIDTHxHEIGHT.ext).
  source=$(ls "$wallpaper"contents/images/ 2>/dev/null |
    awk -F'[x.]' '$1 > $2 { print $1 * $2, $0 }' | sort -n | tail -n 1 | cut -d' ' -f2)
  [ -n "$source" ] || continue
  out="$work/$name"
  if [ ! -f "$out/done" ] || [ "$(cat "$out/done")" != "$source" ]; then
    rm -rf "$out"
    mkdir -p "$out"
    $convert "${wallpaper}contents/images/$source" -resize '320x234!' -background black -alpha remove -alpha off \
      -type TrueColor "PNG24:$out/ref.png"
    $convert "$out/ref.png" -type TrueColor BMP3:"$out/ref.bmp"
    for n in 8 16 32 64; do
      $convert "$out/ref.png" +dither -colors "$n" "$out/im$n.png"
      pngquant --force --nofs --output "$out/pq$n.png" "$n" "$out/ref.png"
      for kind in im pq; do
        $convert "$out/$kind$n.png" +dither -type Palette BMP3:"$out/$kind$n.bmp"
        rm -f "$out/$kind$n.png"
      done
    done
    echo "$source" > "$out/done"
  fi
done

build/bench/fit_quality "$work" "$@"
