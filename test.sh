#!/usr/bin/env bash
# Builds everything (tests and benchmarks included) and runs every test through ctest,
# under Xvfb for the tests that need a real X server.
set -euo pipefail
velk_root=$(cd "$(dirname "$0")" && pwd)
source "$velk_root/tools/deps.sh"
velk_install_missing
# VELK_SANITIZE=1 builds and runs everything under AddressSanitizer and UndefinedBehaviorSanitizer
# (leak reports off: plugins and Qt keep memory until exit by design).
if [ -n "${VELK_SANITIZE:-}" ]; then
  build="$velk_root/build/sanitize"
  velk_build "$build" Debug -DVELK_SANITIZE=ON -DVELK_BUILD_BENCH=OFF
  export ASAN_OPTIONS=detect_leaks=0
else
  build="$velk_root/build/test"
  velk_build "$build" RelWithDebInfo
fi
cd "$build"
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)" "$@"
