#!/usr/bin/env bash
# Renders the program's icon at the sizes desktops look for. The PNG files are
# committed beside the SVG, so a build needs no SVG renderer; run this after
# changing the SVG (needs rsvg-convert, Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.example.talviks.svg -o "org.example.talviks-$size.png"
done
