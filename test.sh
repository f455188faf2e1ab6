#!/usr/bin/env bash
# Builds everything (tests and benchmarks included) and runs every test through ctest,
# under Xvfb for the tests that need a real X server.
set -euo pipefail
velk_root=$(cd "$(dirname "$0")" && pwd)
source "$velk_root/tools/deps.sh"
velk_install_missing
# VELK_SANITIZE=1 builds and runs everything under AddressSanitizer and UndefinedBehaviorSanitizer
# (leak reports off: plugins and Qt keep memory until exit by design).
# VELK_SANITIZE=thread builds the GIF codec and its painter threads, the JPEG decode's bands,
# the converter's pool, the file list's reading thread and the main window's picture loads under
# ThreadSanitizer and runs their tests.
if [ "${VELK_SANITIZE:-}" = thread ]; then
  build="$velk_root/build/tsan"
  cmake -S "$velk_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELK_TSAN=ON \
    -DVELK_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --target gif_codec_tests gif_widget_tests jpeg_codec_tests convert_tests \
    widgets_tests app_tests
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$velk_root/tests/tsan.supp"
  for tests in gif_codec_tests gif_widget_tests jpeg_codec_tests convert_tests widgets_tests; do
    QT_QPA_PLATFORM=offscreen "$build/tests/$tests" --gtest_brief=1
  done
  QT_QPA_PLATFORM=offscreen "$build/tests/app_tests" --gtest_brief=1 --gtest_filter='MainformTest.*'
  exit 0
elif [ -n "${VELK_SANITIZE:-}" ]; then
  build="$velk_root/build/sanitize"
  velk_build "$build" Debug -DVELK_SANITIZE=ON -DVELK_BUILD_BENCH=OFF
  export ASAN_OPTIONS=detect_leaks=0
else
  build="$velk_root/build/test"
  velk_build "$build" RelWithDebInfo
fi
cd "$build"
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)" "$@"
