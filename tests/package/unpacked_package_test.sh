#!/usr/bin/env bash
# The Debian package as a player's machine would take it: unpacked into an
# empty root (no root rights needed), its fields, its files, and the unpacked
# program started offscreen until its window opens, with its pictures and
# sounds found in the unpacked share folder.
#
#   unpacked_package_test.sh PACKAGE_DIR VERSION APP_ID
set -euo pipefail
dir=$1 version=$2 app_id=$3

fail() { echo "FAIL: $*" >&2; exit 1; }

debs=("$dir"/zemtori_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one zemtori_*.deb in $dir"
deb=${debs[0]}
root=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  rm -rf "$root"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$root"

# The package's fields: the project's version, the shared libraries' packages
# and the two that no library names (Qt's platform plugins, the font).
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libsdl2-mixer-2.0-0 qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-mincho; do
  grep -q "\b$p\b" <<<"$depends" || fail "Depends lacks $p: $depends"
done

# Its files: both programs (in /usr/games, as Debian keeps games), their
# manual pages, the data, the menu entry, the icon at every size and the
# metadata, which names the same version and says what changed.
share=$root/usr/share
for f in "$root/usr/games/zemtori" "$root/usr/games/zemtori-analyse" \
         "$share/man/man6/zemtori.6.gz" "$share/man/man6/zemtori-analyse.6.gz" \
         "$share/zemtori/pictures/TITLE_GA.png" "$share/zemtori/BGM.wav" \
         "$share/applications/$app_id.desktop" "$share/metainfo/$app_id.metainfo.xml" \
         "$share/icons/hicolor/scalable/apps/$app_id.svg"; do
  [ -f "$f" ] || fail "missing ${f#"$root"}"
done
for size in 16 32 48 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$app_id.png
  [ -f "$icon" ] || fail "missing icon ${icon#"$root"}"
  [ "$(file -b "$icon" | grep -o "$size x $size")" = "$size x $size" ] || fail "icon ${icon#"$root"} is not $size px"
done
grep -q "<release version=\"$version\"" "$share/metainfo/$app_id.metainfo.xml" || fail "metadata names another version"
[ "$(sed -n "/<release version=\"$version\"/,/<\/release>/p" "$share/metainfo/$app_id.metainfo.xml" | grep -c "<li>")" -gt 0 ] ||
  fail "the release in the metadata says nothing of what changed"

# The licence, as Debian wants it: the machine-readable copyright file.
copyright=$share/doc/zemtori/copyright
[ -f "$copyright" ] || fail "missing /usr/share/doc/zemtori/copyright"
head -n 1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "the copyright file is not in the machine-readable format"
grep -qx "License: MIT" "$copyright" || fail "the copyright file names no MIT licence"

# The icons once: in the icon theme, nowhere else.
others=$(find "$root" -name '*.png' -path '*icon*' ! -path "$share/icons/hicolor/*" | sed "s|^$root||")
[ -z "$others" ] || fail "icons installed outside the icon theme too: $others"
grep -qx "Exec=/usr/games/zemtori" "$share/applications/$app_id.desktop" || fail "the entry does not start /usr/games/zemtori"
desktop-file-validate "$share/applications/$app_id.desktop"
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" >/dev/null

# The unpacked program, started as a player would start it (no data folder
# beside it), tells what it found at start-up.  Its settings and state go to
# folders of the test's own.
log=$root/start.log
env QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy QT_LOGGING_RULES="zemtori.startup.info=true" \
  XDG_CONFIG_HOME="$root/config" XDG_STATE_HOME="$root/state" \
  "$root/usr/games/zemtori" >/dev/null 2>"$log" &
pid=$!
# The sound comes in a moment after the window shows.
for _ in $(seq 1 300); do
  grep -q "sounds:" "$log" && grep -q "kept game:" "$log" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
else
  wait "$pid" 2>/dev/null || true
  cat "$log" >&2
  fail "the program ended by itself"
fi
pid=
cat "$log"
said() { grep -qxF "zemtori.startup: $1" "$log"; }
said "data folder: $share/zemtori" || fail "it did not take its data from the unpacked share folder"
said "pictures: ok" || fail "its pictures were not found"
said "sounds: その他.wav ok, 禁止.wav ok, 駒打音.wav ok, BGM.wav ok" || fail "its sounds were not found"
said "window open: 800x500 visible" || fail "its window did not open at its size"
said "icon: 128 16 22 24 256 32 48 64" || fail "it did not find its icon in the icon theme"
said "Qt's Japanese texts: ok" || fail "Qt's Japanese translation was not found"

# The analysis tool runs from the package too.
[ "$("$root/usr/games/zemtori-analyse" gen --seed 1 --count 3 | wc -l)" -eq 3 ] || fail "zemtori-analyse gen"
echo "package $deb: unpacked, started, found its data, opened its window"
