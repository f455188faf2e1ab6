#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60) on its seed corpus.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELK_BUILD_FUZZ=ON -DVELK_BUILD_TESTS=OFF -DVELK_BUILD_BENCH=OFF >/dev/null
targets="${VELK_FUZZ_TARGETS:-bmp_reader jpeg_decode profile_file registry_hive tiff_reader gif_load language_file plugin_pcf}"
cmake --build "$build" --target $(printf 'fuzz_%s ' $targets)
for target in $targets; do
  corpus="$root/build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  seeds="$root/fuzz/seeds/$target"
  echo "== $target for ${seconds}s"
  mkdir -p "$root/build/fuzz-artifacts"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$root/build/fuzz-artifacts/$target-" \
    "$corpus" $( [ -d "$seeds" ] && echo "$seeds" )
done
