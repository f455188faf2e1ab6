#!/usr/bin/env bash
# The soak run: builds the Release program and drives it on Xvfb for about 45 minutes (a
# warm-up of every phase, a walk of 10,000 steps through 200 mixed files, a 10-minute slide
# show, the loupe for 10 minutes), then writes bench/soak.md and its section of
# bench/README.md. Not part of the test run.
#   bench/soak.sh [--steps N] [--slideshow-s S] [--loupe-s S] [--gap-ms MS] [--keep]
set -euo pipefail
velk_root=$(cd "$(dirname "$0")/.." && pwd)
source "$velk_root/tools/deps.sh"
velk_packages+=(xdotool xrestop)
velk_install_missing
build="$velk_root/build/release"
cmake -S "$velk_root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target velkview
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
  python3 "$velk_root/bench/soak.py" --program "$build/stage/velkview" "$@"
