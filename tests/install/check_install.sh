#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what the desktop reads from it:
# the validators accept the desktop entry, the AppStream data and the file type, the icon
# sizes are what their folders say, the manual page renders, and both programs answer
# --version (without a display) with the project version.
# Usage: check_install.sh BUILD_DIR VERSION
set -uo pipefail
build="$1"
version="$2"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" > /dev/null || { echo "FAIL: $1 missing (bash scripts/install-deps.sh)" >&2; exit 1; }; }
for tool in desktop-file-validate appstreamcli xmllint update-mime-database file man; do need "$tool"; done

cmake --install "$build" --prefix "$prefix" > /dev/null || { echo "FAIL: cmake --install" >&2; exit 1; }

share="$prefix/share"
desktop="$share/applications/example.zarvelo.Zarvelo.desktop"
metainfo="$share/metainfo/example.zarvelo.Zarvelo.metainfo.xml"
mime="$share/mime/packages/zarvelo.xml"
man="$share/man/man1/zarvelo-cli.1.gz"
for f in "$prefix/bin/zarvelo" "$prefix/bin/zarvelo-cli" "$desktop" "$metainfo" "$mime" "$man" \
         "$share/icons/hicolor/scalable/apps/zarvelo.svg"; do
  [ -f "$f" ] || fail "not installed: ${f#"$prefix"/}"
done

# Desktop entry: valid, and it opens DNL files with the program under its own icon.
desktop-file-validate "$desktop" || fail "desktop-file-validate"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "zarvelo %f" ] || fail "Exec is '$(entry Exec)'"
[ "$(entry Icon)" = "zarvelo" ] || fail "Icon is '$(entry Icon)'"
[ "$(entry MimeType)" = "application/x-zarvelo-dnl;" ] || fail "MimeType is '$(entry MimeType)'"
[ -n "$(entry Comment)" ] && [ -n "$(entry Categories)" ] || fail "Comment or Categories missing"

# AppStream: valid offline, the release is this version, a screenshot is named.
appstreamcli validate --no-net "$metainfo" > /dev/null || { appstreamcli validate --no-net "$metainfo" >&2; fail "appstreamcli validate"; }
xpath() { xmllint --xpath "$1" "$2" 2> /dev/null; }
[ "$(xpath 'string(/component/releases/release[1]/@version)' "$metainfo")" = "$version" ] || fail "AppStream release is not $version"
[ -n "$(xpath 'string(/component/screenshots/screenshot/image)' "$metainfo")" ] || fail "no screenshot in the AppStream data"
[ "$(xpath 'string(/component/launchable)' "$metainfo")" = "$(basename "$desktop")" ] || fail "launchable is not the desktop entry"

# File type: well-formed, both globs, and shared-mime-info builds a database from it.
xmllint --noout "$mime" || fail "MIME file is not well-formed XML"
ns='*[local-name()="mime-type"][@type="application/x-zarvelo-dnl"]/*[local-name()="glob"]/@pattern'
globs=$(xpath "//$ns" "$mime" | tr -d ' ' | sort | tr '\n' ' ')
[ "$globs" = 'pattern="*.DNL" pattern="*.dnl" ' ] || fail "MIME globs are '$globs'"
update-mime-database "$share/mime" 2> /dev/null || fail "update-mime-database"
grep -q '^50:application/x-zarvelo-dnl:\*\.DNL' "$share/mime/globs2" 2> /dev/null || fail "*.DNL not in the built MIME database"

# Icons: each PNG has the size of its folder; the SVG is well-formed.
for size in 16 22 24 32 48 64 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/zarvelo.png"
  file -b "$png" 2> /dev/null | grep -q "PNG image data, $size x $size" || fail "icon ${size}x${size}: $(file -b "$png" 2>&1)"
done
xmllint --noout "$share/icons/hicolor/scalable/apps/zarvelo.svg" || fail "SVG icon is not well-formed"

# Manual page: renders without warnings and names the tool and its version.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" 2>&1 > /dev/null)
[ -z "$warnings" ] || fail "manual page warnings: $warnings"
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$man" 2> /dev/null)
grep -q "zarvelo-cli" <<< "$page" && grep -q "$version" <<< "$page" || fail "manual page lacks name or version"

# Both programs answer --version and --help without a display.
for program in zarvelo zarvelo-cli; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version 2>&1) || fail "$program --version exits with $?"
  [ "$out" = "$(if [ $program = zarvelo ]; then echo Zarvelo; else echo zarvelo-cli; fi) $version" ] || fail "$program --version says '$out'"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --help > /dev/null 2>&1 || fail "$program --help"
done
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/zarvelo" --help 2>&1 | grep -q "DATEI.DNL" || fail "zarvelo --help does not name the file argument"

[ "$failures" -eq 0 ] || exit 1
echo "installed tree OK"
