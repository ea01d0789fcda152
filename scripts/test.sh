#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (headless).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DTALVIKS_TESTS=ON -DTALVIKS_BENCH=ON
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure
