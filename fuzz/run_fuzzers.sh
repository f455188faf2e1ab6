#!/usr/bin/env bash
# Builds the fuzz targets with clang, then runs each for SECONDS (default 60), or for
# VELK_FUZZ_RUNS inputs when that is set, on one core from its seeds (fuzz/seeds, and the small
# real pictures of the shared test data) with its format's dictionary, and writes
# fuzz/README.md: per target the day it ran, its seconds, the inputs run, inputs a second, the
# edges covered and whether it ran clean. VELK_FUZZ_TARGETS picks some targets; the rows of the
# others stay as the last run left them, so batches may run side by side, one per core.
set -euo pipefail
seconds=${1:-60}
runs_wanted=${VELK_FUZZ_RUNS:-}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
testdata=${VELK_TESTDATA:-$root/../shared/testdata}
all="bmp_reader jpeg_decode jpeg_turn profile_file registry_hive tiff_reader gif_load language_file plugin_pcf convert_load main_window_load"
targets=${VELK_FUZZ_TARGETS:-$all}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELK_BUILD_FUZZ=ON -DVELK_BUILD_TESTS=OFF -DVELK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target $(printf 'fuzz_%s ' $targets)

# The dictionaries (fuzz/dicts) and test-data extensions of each target.
dicts() {
  case $1 in
    bmp_reader) echo bmp ;; jpeg_decode | jpeg_turn) echo jpeg ;; tiff_reader) echo tiff ;;
    gif_load) echo gif ;; profile_file | plugin_pcf) echo ini ;; language_file) echo ldf ;;
    registry_hive) echo registry ;; convert_load | main_window_load) echo jpeg bmp gif tiff ;;
  esac
}
extensions() {
  case $1 in
    bmp_reader) echo bmp ;; jpeg_decode | jpeg_turn) echo jpg jpeg ;; tiff_reader) echo tif tiff ;;
    gif_load) echo gif ;; convert_load | main_window_load) echo jpg bmp gif tif ;;
  esac
}

# Real pictures up to 64 KB: larger ones would raise libFuzzer's input length for every run.
real_seeds() {
  local target=$1 out=$2 ext file
  rm -rf "$out" && mkdir -p "$out"
  [ -d "$testdata" ] || return 0
  for ext in $(extensions "$target"); do
    find "$testdata" -type f -iname "*.$ext" -size -64k -print0 |
      while IFS= read -r -d '' file; do
        # The JPEG targets read their options (the turn) from the first byte.
        if [ "$target" = jpeg_decode ] || [ "$target" = jpeg_turn ]; then
          { printf '\002'; cat "$file"; } >"$out/$(basename "$file")"
        else
          cp "$file" "$out/"
        fi
      done
  done
}

export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Without allocation stacks and with a smaller quarantine, Qt-heavy targets run half again as
# fast; a finding replayed with the default options gets its stacks back.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0:quarantine_size_mb=16}"
results="$root/build/fuzz-results"
mkdir -p "$results" "$root/build/fuzz-artifacts" "$root/build/fuzz-logs"
for target in $targets; do
  corpus="$root/build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  real="$root/build/fuzz-seeds/$target"
  real_seeds "$target" "$real"
  dict="$root/build/fuzz-dicts/$target.dict"
  mkdir -p "$(dirname "$dict")"
  (for d in $(dicts "$target"); do cat "$root/fuzz/dicts/$d.dict"; done) >"$dict"
  seeds="$root/fuzz/seeds/$target"
  log="$root/build/fuzz-logs/$target.log"
  artifacts="$root/build/fuzz-artifacts/$target-"
  rm -f "$artifacts"*
  if [ -n "$runs_wanted" ]; then limit=-runs="$runs_wanted"; else limit=-max_total_time="$seconds"; fi
  echo "== $target: $limit"
  status=0
  started=$(date +%s)
  "$build/fuzz/fuzz_$target" "$limit" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -dict="$dict" -artifact_prefix="$artifacts" \
    "$corpus" $([ -d "$seeds" ] && echo "$seeds") "$real" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  edges=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  findings=$( (ls "$artifacts"* 2>/dev/null || true) | xargs -r -n1 basename | tr '\n' ' ')
  outcome=clean
  [ "$status" -eq 0 ] && [ -z "$findings" ] || outcome="FAILED (exit $status) ${findings}"
  printf '| `%s` | %s | %s | %s | %s | %s | %s | %s |\n' "$target" "$(date -u +%Y-%m-%d)" \
    "$(($(date +%s) - started))" "${runs:-?}" \
    "${rate:-?}" "${edges:-?}" "$(ls "$corpus" | wc -l)" "$outcome" >"$results/$target.row"
  echo "   ${runs:-?} inputs, ${rate:-?}/s, ${edges:-?} edges: $outcome"
done

# The report: every target's last row, also those not run in this batch.
readme="$root/fuzz/README.md"
for target in $all; do
  [ -f "$results/$target.row" ] && continue
  grep -F "| \`$target\` |" "$readme" 2>/dev/null >"$results/$target.row" || rm -f "$results/$target.row"
done
{
  cat <<EOF
# Fuzz targets

Written by \`fuzz/run_fuzzers.sh SECONDS\` or \`VELK_FUZZ_RUNS=N fuzz/run_fuzzers.sh\` (last
written $(date -u '+%Y-%m-%d %H:%M UTC'), on
$(nproc) shared cores of $(uname -m) with $(clang --version | head -1 | sed 's/ (.*//'),
each target on one core, under ASan and UBSan with \`ASAN_OPTIONS=$ASAN_OPTIONS\`).
Each target starts from \`fuzz/seeds/\`, the real files of up to 64 KB in the shared test data
and the corpus an earlier run left in \`build/fuzz-corpus/\`, with its format's dictionary
from \`fuzz/dicts/\`. Targets that load whole pictures skip inputs claiming more than 65,536
pixels (\`fuzz/picture_limits.h\`): every code path is reached with smaller ones.

"Inputs/s" is libFuzzer's average over the whole run, loading the corpus included; "edges"
its coverage count at the end; "clean" means no crash, leak, timeout (10 s) or out-of-memory
(2 GB). A finding is kept under \`tests/fuzz_regressions/TARGET/\`, where the test run's
\`fuzz_replay_TARGET\` replays it (with the seeds) through the target built without libFuzzer.

The goal is 10 million inputs per target in one run; each row is its target's last run, on
the day it gives, and its inputs column is what that run actually ran.

| target | run on | seconds | inputs | inputs/s | edges | corpus | result |
|---|---|---|---|---|---|---|---|
EOF
  for target in $all; do
    [ -f "$results/$target.row" ] && cat "$results/$target.row"
  done
} >"$readme"
echo "wrote $readme"
