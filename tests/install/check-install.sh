#!/usr/bin/env bash
# The install tree (cmake --install into a staging folder) and the Debian
# package (cpack): what they hold, that the desktop files validate, and the
# package's control file. Arguments: the build folder, the source folder.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

id=org.example.talviks
files=(
  usr/bin/talviks usr/bin/talviks-carddb
  usr/share/talviks/data/AllPrintings-subset.json.xz usr/share/talviks/data/whisper-cards.xml.xz
  usr/share/talviks/data/sets.csv usr/share/talviks/data/tokens.csv usr/share/talviks/data/SOURCES.md
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" "usr/share/mime/packages/$id.xml"
  "usr/share/icons/hicolor/scalable/apps/$id.svg"
)
sizes=(16 24 32 48 64 128 256)
for s in "${sizes[@]}"; do files+=("usr/share/icons/hicolor/${s}x$s/apps/$id.png"); done

# The install tree.
stage=$work/stage
cmake --install "$build" --prefix "$stage/usr" >/dev/null
for f in "${files[@]}"; do [ -f "$stage/$f" ] || fail "not installed: $f"; done
for s in "${sizes[@]}"; do
  file -b "$stage/usr/share/icons/hicolor/${s}x$s/apps/$id.png" | grep -q "PNG image data, $s x $s," ||
    fail "the ${s}x$s icon is not $s by $s pixels"
done
desktop-file-validate "$stage/usr/share/applications/$id.desktop"
grep -qx 'Exec=talviks %f' "$stage/usr/share/applications/$id.desktop" || fail "Exec does not take a file"
grep -qx 'MimeType=application/x-talviks-deck;' "$stage/usr/share/applications/$id.desktop" ||
  fail "the desktop entry does not open deck files"
appstreamcli validate --no-net --pedantic "$stage/usr/share/metainfo/$id.metainfo.xml" >/dev/null
cp -r "$stage/usr/share/mime" "$work/mime"
XDG_DATA_DIRS=$work update-mime-database "$work/mime"
grep -q '^50:application/x-talviks-deck:\*\.tvf$' "$work/mime/globs2" || fail "*.tvf is not application/x-talviks-deck"

# The installed tool: a progress line on a terminal, nothing where its output is no terminal.
import=("$stage/usr/bin/talviks-carddb" import --mtgjson "$source/tests/tools/mtgjson-sample.json")
"${import[@]}" -o "$work/quiet.db" >"$work/out" 2>"$work/err"
[ ! -s "$work/err" ] || fail "import wrote to a standard error that is no terminal: $(cat "$work/err")"
script -qec "${import[*]} -o $work/terminal.db" /dev/null >"$work/terminal"
grep -q 'sets .* cards' "$work/terminal" || fail "import showed no progress on a terminal"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/package/talviks_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6network6 qt6-qpa-plugins qt6-translations-l10n \
  libicu72 libssl3 fonts-noto-cjk; do
  [[ ", $depends," == *", $p"[\ ,]* ]] || fail "the package does not depend on $p: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = talviks ] || fail "the package is not named talviks"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/contents"
for f in "${files[@]}"; do grep -qx "$f" "$work/contents" || fail "not in the package: $f"; done
echo "check-install: install tree and $(basename "$deb") as expected"
