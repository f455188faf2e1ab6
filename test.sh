#!/usr/bin/env bash
# Builds everything (tests and benchmarks included) and runs every test through ctest,
# under Xvfb for the tests that need a real X server.
set -euo pipefail
velk_root=$(cd "$(dirname "$0")" && pwd)
source "$velk_root/tools/deps.sh"
velk_install_missing
build="$velk_root/build/test"
velk_build "$build" RelWithDebInfo
cd "$build"
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)" "$@"
