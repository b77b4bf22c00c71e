#!/usr/bin/env bash
# lintian on the Debian package: fails on any error or warning, and on any
# hardening tag even among the information lintian gives (it reports missing
# hardening flags only as information).  Prints everything lintian says.
#
#   lintian-check.sh DEB_OR_FOLDER   (a folder: the newest zemtori_*.deb in it)
set -euo pipefail
deb=$1
if [ -d "$deb" ]; then
  deb=$(ls -t "$deb"/zemtori_*.deb 2>/dev/null | head -n 1)
  [ -n "$deb" ] || { echo "FAIL: no zemtori_*.deb in $1" >&2; exit 1; }
fi
command -v lintian >/dev/null || { echo "FAIL: lintian is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }

echo "lintian $(lintian --print-version) on $deb"
status=0
# lintian warns on standard error when run as root (CI's containers are).
out=$(lintian --display-info --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2)) || status=$?
[ -z "$out" ] || printf '%s\n' "$out"
if [ "$status" -ne 0 ]; then
  echo "FAIL: lintian reports errors or warnings (status $status)" >&2
  exit 1
fi
if grep -q 'hardening-' <<<"$out"; then
  echo "FAIL: the programs lack hardening flags" >&2
  exit 1
fi
echo "lintian: no errors, no warnings"
