#!/usr/bin/env bash
# Builds the Debian package from the build folder into a scratch folder and checks it:
# its name, the files of the installed tree, a Depends line computed from the binaries,
# and that the programs run from an unpacked copy.
# Usage: check_package.sh BUILD_DIR VERSION
set -uo pipefail
build="$1"
version="$2"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" > /dev/null || { echo "FAIL: $tool missing (bash scripts/install-deps.sh)" >&2; exit 1; }
done

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" > "$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log" >&2; exit 1; }
deb="$scratch/out/zarvelo_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FAIL: no $(basename "$deb"); cpack wrote: $(ls "$scratch/out")" >&2; exit 1; }

info=$(dpkg-deb --info "$deb")
field() { sed -n "s/^ $1: //p" <<< "$info"; }
[ "$(field Package)" = zarvelo ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
depends=$(field Depends)
names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<< "$depends")
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-image-formats-plugins; do
  grep -qxF "$lib" <<< "$names" || fail "Depends lacks $lib: '$depends'"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for f in ./usr/bin/zarvelo ./usr/bin/zarvelo-cli \
         ./usr/share/applications/example.zarvelo.Zarvelo.desktop \
         ./usr/share/metainfo/example.zarvelo.Zarvelo.metainfo.xml \
         ./usr/share/mime/packages/zarvelo.xml \
         ./usr/share/man/man1/zarvelo-cli.1.gz \
         ./usr/share/doc/zarvelo/copyright \
         ./usr/share/icons/hicolor/scalable/apps/zarvelo.svg \
         ./usr/share/icons/hicolor/16x16/apps/zarvelo.png \
         ./usr/share/icons/hicolor/256x256/apps/zarvelo.png; do
  grep -qxF "$f" <<< "$contents" || fail "package lacks $f"
done
# Nothing of the build (tests, libraries, headers) slips into the package.
extra=$(grep -vE '^\./(usr/((bin/(zarvelo(-cli)?)?)|(share/((applications|metainfo|mime|man|icons)(/.*)?|doc(/zarvelo(/copyright)?)?/?)?))?)?$' <<< "$contents")
[ -z "$extra" ] || fail "unexpected files in the package: $extra"

# Unpacked into a scratch root, the programs run against the system's libraries.
dpkg-deb -x "$deb" "$scratch/root" || fail "dpkg-deb -x"
out=$("$scratch/root/usr/bin/zarvelo-cli" --version 2>&1) && [ "$out" = "zarvelo-cli $version" ] || fail "zarvelo-cli --version says '$out'"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$scratch/root/usr/bin/zarvelo" --version 2>&1) && [ "$out" = "Zarvelo $version" ] || fail "zarvelo --version says '$out'"
grep -q "^License: GPL-3.0-or-later" "$scratch/root/usr/share/doc/zarvelo/copyright" || fail "copyright names no GPL-3.0-or-later"
# The binaries are stripped: the package carries no debug information.
file -b "$scratch/root/usr/bin/zarvelo" | grep -q "not stripped" && fail "zarvelo is not stripped"

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") OK"
