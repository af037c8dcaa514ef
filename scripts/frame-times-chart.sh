#!/usr/bin/env bash
# Draws docs/images/frame-times.png: every frame's time across the whole show for both
# renderers, from the file `oyun-bench --only renderers --frame-times FILE` writes.
#   scripts/frame-times-chart.sh FRAME_TIMES [OUTPUT.png]
# Needs gnuplot (Debian: gnuplot-nox).
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ] || [ "$1" = "--help" ]; then
  echo "usage: scripts/frame-times-chart.sh FRAME_TIMES [OUTPUT.png]" >&2
  exit 2
fi
input=$1
output=${2:-"$(dirname "$0")/../docs/images/frame-times.png"}
if [ ! -r "$input" ]; then
  echo "frame-times-chart: cannot read $input" >&2
  exit 1
fi
if ! command -v gnuplot >/dev/null; then
  echo "frame-times-chart: gnuplot is not installed (Debian: gnuplot-nox)" >&2
  exit 1
fi
# Columns: show time in ms, gl11 and gles3 wall ms, gl11 and gles3 main-thread ms.
gnuplot <<GNUPLOT
set terminal pngcairo size 1000,560 font "DejaVu Sans,10"
set output "$output"
set multiplot layout 2,1 title "Frame times across the show, llvmpipe, 1024 x 768"
set grid ytics lc rgb "#dddddd"
set xrange [0:*]
set key top right
set ylabel "frame ms (wall)"
set format x ""
set lmargin 9
set arrow from 38,graph 0 to 38,graph 1 nohead lc rgb "#999999" dt 2
set arrow from 60,graph 0 to 60,graph 1 nohead lc rgb "#999999" dt 2
set arrow from 80,graph 0 to 80,graph 1 nohead lc rgb "#999999" dt 2
set arrow from 86,graph 0 to 86,graph 1 nohead lc rgb "#999999" dt 2
plot "$input" using (\$1/1000):2 with lines lw 1 lc rgb "#1f77b4" title "gl11", \
     "" using (\$1/1000):3 with lines lw 1 lc rgb "#d62728" title "gles3"
set ylabel "main thread ms (CPU)"
set xlabel "show time, s (scene changes at 38, 60, 80, 86 s)"
set format x "%g"
plot "$input" using (\$1/1000):4 with lines lw 1 lc rgb "#1f77b4" title "gl11", \
     "" using (\$1/1000):5 with lines lw 1 lc rgb "#d62728" title "gles3"
unset multiplot
GNUPLOT
echo "frame-times-chart: wrote $output"
