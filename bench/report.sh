#!/usr/bin/env bash
# Builds the benchmarks in Release and regenerates bench/README.md: every figure beside its
# peer measured in the same run, as a ratio. Takes about ten minutes.
set -euo pipefail
velk_root=$(cd "$(dirname "$0")/.." && pwd)
source "$velk_root/tools/deps.sh"
velk_install_missing
build="$velk_root/build/bench"
cmake -S "$velk_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELK_BUILD_TESTS=OFF \
  -DVELK_BUILD_BENCH=ON >/dev/null
cmake --build "$build"
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
  python3 "$velk_root/bench/report.py" "$build" "$velk_root/bench/README.md"
