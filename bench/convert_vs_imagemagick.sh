#!/usr/bin/env bash
# Times `velkview --convert` against ImageMagick on the same photos, side by side in one run:
# 50 JPEG photos of about 1 megapixel (made by ImageMagick itself), converted to each of the
# four formats. ImageMagick runs `convert` once per file, as a batch script would.
# Usage: bench/convert_vs_imagemagick.sh [VELKVIEW] [COUNT]
set -euo pipefail
velkview=${1:-build/release/stage/velkview}
count=${2:-50}
im=$(command -v convert-im6.q16 || command -v convert)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"

# Photo-like content: smooth fractal noise with detail, 1155 x 866 pixels (1.0 MP).
for i in $(seq -w 1 "$count"); do
  "$im" -size 1155x866 -seed "$i" plasma:fractal -blur 0x1 -quality 90 "$work/in/p$i.jpg"
done

seconds() {  # wall-clock seconds of a command
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

printf "%-6s %12s %12s %8s\n" format velkview imagemagick ratio
for format in bmp jpeg gif tiff; do
  ext=$format; [ "$format" = jpeg ] && ext=jpg; [ "$format" = tiff ] && ext=tif
  rm -rf "$work/a" "$work/b"; mkdir -p "$work/a" "$work/b"
  ours=$(seconds "$velkview" --convert "$format" --output "$work/a" "$work"/in/*.jpg)
  theirs=$(seconds bash -c "for f in '$work'/in/*.jpg; do n=\$(basename \"\$f\" .jpg); '$im' \"\$f\" '$work/b/'\"\$n.$ext\"; done")
  [ "$(ls "$work/a" | wc -l)" -eq "$count" ] || { echo "velkview wrote too few files" >&2; exit 1; }
  printf "%-6s %11.2fs %11.2fs %7.2fx\n" "$format" "$ours" "$theirs" "$(echo "$theirs / $ours" | bc -l)"
done
