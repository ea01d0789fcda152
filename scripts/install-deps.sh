#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when they are there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-qpa-plugins libqt6printsupport6
  libsqlcipher-dev libicu-dev
  nlohmann-json3-dev liblzma-dev zlib1g-dev
  libgtest-dev libbenchmark-dev
  fonts-noto-cjk xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
