#!/usr/bin/env bash
# Installs the Debian packages the project needs (nothing when they are there)
# and fetches the SQLCipher amalgamation that CMake compiles.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-qpa-plugins libqt6printsupport6
  libssl-dev libicu-dev
  nlohmann-json3-dev liblzma-dev zlib1g-dev
  # The importer orders the Japanese creature types by their readings.
  libmecab-dev mecab-naist-jdic
  libgtest-dev libbenchmark-dev libqpdf-dev libx11-dev libxdamage-dev libxtst-dev
  qt6-translations-l10n fonts-noto-cjk xvfb xauth
  # The PDF tests read the printed text back.
  poppler-utils
  # The install tree and Debian package check: validators, the MIME database, dpkg-shlibdeps.
  desktop-file-utils appstream shared-mime-info dpkg-dev file
)
# npm fetches the amalgamation. A node installation from elsewhere brings its
# own npm, which Debian's package would conflict with.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

scripts/fetch-sqlcipher.sh
