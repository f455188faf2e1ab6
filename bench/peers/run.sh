#!/usr/bin/env bash
# Times velkview beside the peer viewers from the package archive, as the screen shows them,
# and writes the "Peer viewers on the X screen" section of bench/README.md (about 15 minutes).
# Usage: bench/peers/run.sh [--velkview PATH] [--runs N] [--only velkview,feh,qt-floor,...]
#                           [--scenario start1,start12,start24,next12,next24,back24,burst12]
#        bench/peers/run.sh --rewrite    (the section again from the last run, new notes)
# Without --velkview the Release build's program is built (build/release). Peers that cannot
# be installed are skipped and listed as such. A cut-down run (--runs below 7, --only,
# --scenario) prints its table and leaves bench/README.md alone.
set -euo pipefail
velk_root=$(cd "$(dirname "$0")/../.." && pwd)
source "$velk_root/tools/deps.sh"
work="$velk_root/build/peers"

if [ "${1:-}" = --rewrite ]; then
  exec python3 "$velk_root/bench/peers/peer_bench.py" --rewrite --work "$work" \
    --readme "$velk_root/bench/README.md"
fi

velkview=""
args=()
while [ $# -gt 0 ]; do
  case $1 in
    --velkview) velkview=$(realpath "$2"); shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done

project_packages=("${velk_packages[@]}")
velk_packages=(xvfb xauth x11-utils openbox dbus-daemon libjpeg-turbo-progs gcc libx11-dev
  libxext-dev libxtst-dev g++ pkg-config qt6-base-dev)
velk_install_missing
# One at a time, so that one missing from the archive does not keep out the others.
for peer in feh nsxiv qimgv eog lximage-qt gthumb geeqie; do
  velk_packages=("$peer")
  velk_install_missing || echo "$peer could not be installed: skipped"
done

if [ -z "$velkview" ]; then
  velk_packages=("${project_packages[@]}")
  velk_install_missing
  cmake -S "$velk_root" -B "$velk_root/build/release" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$velk_root/build/release" --target velkview
  velkview="$velk_root/build/release/stage/velkview"
fi

mkdir -p "$work"
cc -O2 -Wall -o "$work/probe" "$velk_root/bench/peers/probe.c" -lX11 -lXext -lXtst
# shellcheck disable=SC2046  # pkg-config's flags are words
c++ -O2 -Wall -fPIC -o "$work/qt_floor" "$velk_root/bench/peers/qt_floor.cpp" \
  $(pkg-config --cflags --libs Qt6Widgets)

xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- \
  python3 "$velk_root/bench/peers/peer_bench.py" --velkview "$velkview" --probe "$work/probe" \
  --floor "$work/qt_floor" \
  --work "$work" --readme "$velk_root/bench/README.md" "${args[@]}"
