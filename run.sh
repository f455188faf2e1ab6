#!/usr/bin/env bash
# Builds the viewer in Release and starts it on FILE (the bundled sample picture without one).
# With no display it runs under Xvfb, saves a screenshot and prints its path.
set -euo pipefail
velk_root=$(cd "$(dirname "$0")" && pwd)
source "$velk_root/tools/deps.sh"
velk_install_missing
velk_build "$velk_root/build/release" Release -DVELK_BUILD_TESTS=OFF -DVELK_BUILD_BENCH=OFF
viewer="$velk_root/build/release/stage/velkview"
[ $# -eq 0 ] && set -- "$velk_root/build/release/stage/sample.jpg"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$viewer" "$@"
fi
shot="$velk_root/build/release/screenshot.png"
VELKVIEW_SCREENSHOT="$shot" xvfb-run -a -s "-screen 0 1280x1024x24" "$viewer" "$@"
