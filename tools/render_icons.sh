#!/usr/bin/env bash
# Renders the program's icon (resources/desktop/velkview.svg) to the PNG sizes of the hicolor
# theme. Run after changing the drawing; needs rsvg-convert (Debian librsvg2-bin).
set -euo pipefail
desktop=$(cd "$(dirname "$0")/../resources/desktop" && pwd)
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$desktop/velkview.svg" -o "$desktop/icons/velkview-$size.png"
done
