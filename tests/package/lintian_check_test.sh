#!/usr/bin/env bash
# The lintian check can fail: copies of the package with one fault each (the
# programs in /usr/bin under the games section, a program linked without
# hardening) must be refused, and an unchanged copy, repacked the same way,
# accepted.
#
#   lintian_check_test.sh PACKAGE_DIR CHECK_SCRIPT
set -euo pipefail
dir=$1 check=$2

fail() { echo "FAIL: $*" >&2; exit 1; }

debs=("$dir"/zemtori_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one zemtori_*.deb in $dir"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# repack NAME EDIT: the package unpacked, EDIT run in its root, the checksums
# made again, packed as $tmp/NAME/zemtori_0_amd64.deb.
repack() {
  local name=$1 edit=$2 root=$tmp/$1/root
  mkdir -p "$tmp/$name"
  dpkg-deb -R "${debs[0]}" "$root"
  (cd "$root" && eval "$edit")
  (cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) > "$root/DEBIAN/md5sums"
  dpkg-deb --root-owner-group -b "$root" "$tmp/$name/zemtori_0_amd64.deb" >/dev/null
  rm -rf "$root"
}

# expect NAME STATUS TAG: the check on that copy exits with STATUS (0 or
# not), and when refusing names TAG.
expect() {
  local name=$1 want=$2 tag=$3 status=0
  bash "$check" "$tmp/$name" >"$tmp/$name.out" 2>&1 || status=$?
  cat "$tmp/$name.out"
  if [ "$want" = 0 ]; then
    [ "$status" -eq 0 ] || fail "the unchanged copy was refused"
  else
    [ "$status" -ne 0 ] || fail "the copy with $name passed"
    grep -q "$tag" "$tmp/$name.out" || fail "the refusal of $name does not name $tag"
  fi
}

repack unchanged ':'
expect unchanged 0 ''

repack programs-in-bin 'mkdir -p usr/bin && mv usr/games/* usr/bin/ && rmdir usr/games'
expect programs-in-bin 1 package-section-games-but-contains-no-game

printf '#include <stdio.h>\nint main(int c, char **v) { puts(c > 1 ? v[1] : "x"); return 0; }\n' > "$tmp/plain.c"
cc -O2 -s -fno-stack-protector -Wl,-z,lazy -o "$tmp/plain" "$tmp/plain.c"
repack unhardened "cp '$tmp/plain' usr/games/zemtori-analyse"
expect unhardened 1 hardening-no-bindnow
echo "the lintian check refuses both faults and accepts the unchanged package"
