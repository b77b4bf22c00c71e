#!/usr/bin/env bash
# `cmake --install` to a prefix other than the package's, with a space in its
# name: the programs in games/, the menu entry starting them by their full
# path (quoted), the manual pages and the changelog compressed as Debian wants,
# the data one folder up from the programs.  The install's own list goes to
# install_manifest_Unspecified.txt, so a player's install_manifest.txt stays;
# and making the package leaves that list alone too.
#
#   install_prefix_test.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1 app_id=$2

fail() { echo "FAIL: $*" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/a prefix"
cmake --install "$build" --prefix "$prefix" --component Unspecified >/dev/null
rm -f "$build/install_manifest_Unspecified.txt"

for p in zemtori zemtori-analyse; do
  [ -x "$prefix/games/$p" ] || fail "games/$p is not installed"
  [ ! -e "$prefix/bin/$p" ] || fail "bin/$p is installed too"
  man=$prefix/share/man/man6/$p.6.gz
  [ -f "$man" ] || fail "no manual page for $p"
  # gzip -n -9: no name, no time stamp, best compression (flags byte 0,
  # time 0, extra flags 2).
  [ "$(od -An -tu1 -j3 -N6 "$man" | tr -s ' ')" = " 0 0 0 0 0 2" ] || fail "$man is not compressed with gzip -n -9"
  zcat "$man" | head -n 1 | grep -q '^\.TH [A-Z\\-]* 6 ' || fail "$man is not a section 6 page"
done
[ -f "$prefix/share/doc/zemtori/changelog.gz" ] || fail "no changelog"
[ -f "$prefix/share/zemtori/pictures/TITLE_GA.png" ] || fail "the data is not one folder up from the programs"

entry=$prefix/share/applications/$app_id.desktop
[ -f "$entry" ] || fail "no menu entry"
grep -qxF "Exec=\"$prefix/games/zemtori\"" "$entry" || fail "the entry does not start $prefix/games/zemtori: $(grep ^Exec "$entry")"
desktop-file-validate "$entry"

[ "$("$prefix/games/zemtori-analyse" gen --seed 1 --count 2 | wc -l)" -eq 2 ] || fail "the installed zemtori-analyse does not run"

# Making the package installs through the same script, which writes the
# build folder's install_manifest.txt: the list of a player's install (what
# the README has them remove to uninstall) must survive it, and so must its
# absence.  The folder's own list is set aside meanwhile.
list=$build/install_manifest.txt
if [ -e "$list" ]; then mv "$list" "$tmp/players-list"; fi
restore_list() {
  rm -f "$list"
  if [ -e "$tmp/players-list" ]; then mv "$tmp/players-list" "$list"; fi
  rm -rf "$tmp"
}
trap restore_list EXIT
printf '%s\n' "$prefix/games/zemtori" > "$list"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >/dev/null
[ "$(cat "$list")" = "$prefix/games/zemtori" ] || fail "making the package replaced install_manifest.txt: $(head -n 3 "$list")"
rm "$list"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >/dev/null
[ ! -e "$list" ] || fail "making the package left an install_manifest.txt of its own"
echo "installed to '$prefix': programs in games/, entry, manual pages, changelog and data in place;"
echo "making the package kept the build folder's install_manifest.txt"
