#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, if missing.
set -euo pipefail
PACKAGES=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-charts-dev qt6-qpa-plugins qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-mincho
  libsdl2-dev libsdl2-mixer-dev
  desktop-file-utils appstream
  dpkg-dev file lintian
  clang libclang-rt-14-dev
  python3
)
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y "${missing[@]}"
