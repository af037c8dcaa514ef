#!/usr/bin/env bash
# Renders one frame of each part of the show with oyun-capture, keeps the band (the letterbox
# rows are always 128 each), and tiles them, four to a row, into docs/contact-sheet.png. Run after a release build: scripts/contact-sheet.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
capture="$build/tools/capture/oyun-capture"
[ -x "$capture" ] || { echo "contact-sheet: no $capture; build first (cmake --build --preset release)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
inputs=()
for ms in 10000 28000 50000 70000 83000 88000 100000 115000; do
  echo "contact-sheet: frame at $ms ms"
  "$capture" --quiet --data "$build/data" --size 1024x768 --frame "$ms" --output "$work/$ms.png"
  inputs+=(-i "$work/$ms.png")
done
ffmpeg -nostdin -v error -y "${inputs[@]}" \
  -filter_complex "$(for i in 0 1 2 3 4 5 6 7; do printf '[%d]crop=1024:512:0:128,scale=480:240[b%d];' $i $i; done)[b0][b1][b2][b3][b4][b5][b6][b7]xstack=inputs=8:layout=0_0|w0_0|w0+w1_0|w0+w1+w2_0|0_h0|w0_h0|w0+w1_h0|w0+w1+w2_h0" \
  -frames:v 1 docs/contact-sheet.png
echo "contact-sheet: wrote docs/contact-sheet.png"
