#!/usr/bin/env bash
# Draws the sample graphs in samples/ (axes, grid, a curve) with ImageMagick,
# and writes the corner values a user types for each of them.
set -euo pipefail
cd "$(dirname "$0")/../samples"

# Plot area of every sample: lower-left corner (80, 520), upper-right (760, 40).
left=80 bottom=520 right=760 top=40

# polyline FORMULA: the segments of a curve given in plot fractions (u from
# 0 to 1 across, v from 0 to 1 up), drawn as single lines because this
# ImageMagick closes multi-point polylines.
polyline() {
  awk -v l=$left -v r=$right -v b=$bottom -v t=$top "BEGIN {
    for (px = l; px <= r; px += 2) {
      u = (px - l) / (r - l); $1;
      if (v < 0 || v > 1) continue;
      y = b - v * (b - t);
      if (n++) printf \"line %d,%d %d,%d \", lastx, lasty, px, y;
      lastx = px; lasty = y;
    } }"
}

grid() {  # vertical and horizontal light-grey lines at the given plot fractions
  local cmds="" f
  for f in $1; do cmds+="line $(awk -v l=$left -v r=$right -v f=$f 'BEGIN{x=l+f*(r-l); printf "%d,'$top' %d,'$bottom'", x, x}') "; done
  for f in $2; do cmds+="line $(awk -v b=$bottom -v t=$top -v f=$f 'BEGIN{y=b-f*(b-t); printf "'$left',%d '$right',%d", y, y}') "; done
  echo "$cmds"
}

draw() {  # draw OUTPUT XGRID YGRID CURVE XLABELS YLABELS TITLE
  local out=$1 xgrid=$2 ygrid=$3 curve=$4 xlabels=$5 ylabels=$6 title=$7
  convert -size 840x600 xc:white \
    -stroke '#b4b4b4' -strokewidth 1 -draw "$(grid "$xgrid" "$ygrid")" \
    -stroke black -strokewidth 2 -fill none -draw "rectangle $left,$top $right,$bottom" \
    -stroke '#1030c0' -strokewidth 3 -fill none -draw "$(polyline "$curve")" \
    -stroke none -fill black -font DejaVu-Sans -pointsize 16 \
    $xlabels $ylabels -pointsize 18 -annotate +300+25 "$title" \
    -type TrueColor -compress "${8:-None}" "$out"
}

xlabel() { echo "-annotate +$(( left + $1 * (right - left) / 100 - 12 ))+545 $2"; }
ylabel() { echo "-annotate +20+$(( bottom - $1 * (bottom - top) / 100 + 6 ))  $2"; }

draw linear-linear.bmp "0.2 0.4 0.6 0.8" "0.2 0.4 0.6 0.8" "v = 0.5 + 0.4 * sin(10 * u)" \
  "$(xlabel 0 0) $(xlabel 50 5) $(xlabel 100 10)" "$(ylabel 0 0) $(ylabel 50 50) $(ylabel 100 100)" \
  "y = 50 + 40 sin(x)  (Linear - Linear)"
convert linear-linear.bmp -quality 92 linear-linear.jpg

draw linear-log.gif "0.2 0.4 0.6 0.8" "0.333333 0.666667" "v = (log(2) / log(10) + 2.5 * u * u) / 3" \
  "$(xlabel 0 0) $(xlabel 50 5) $(xlabel 100 10)" "$(ylabel 0 1) $(ylabel 33 10) $(ylabel 67 100) $(ylabel 100 1000)" \
  "y = 2 * 10^(0.025 x^2)  (Linear - Log)"

draw log-log.tif "0.333333 0.666667" "0.333333 0.666667" "v = (log(2) / log(10) + 2.4 * u) / 3" \
  "$(xlabel 0 1) $(xlabel 33 10) $(xlabel 67 100) $(xlabel 100 1000)" "$(ylabel 0 0.1) $(ylabel 33 1) $(ylabel 67 10) $(ylabel 100 100)" \
  "y = 0.2 x^0.8  (Log - Log)" LZW

# A figure as copied out of a paper: PNG, with its legend inside the plotting
# area, where the eraser has to take it away before digitizing.
draw paper-figure.png "0.2 0.4 0.6 0.8" "0.2 0.4 0.6 0.8" "v = (10 + 80 * exp(-2.5 * u)) / 100" \
  "$(xlabel 0 0) $(xlabel 50 5) $(xlabel 100 10)" "$(ylabel 0 0) $(ylabel 50 50) $(ylabel 100 100)" \
  "Fig. 3  Decay of the signal" Zip
convert paper-figure.png \
  -stroke black -strokewidth 1 -fill white -draw "rectangle 454,78 726,174" \
  -stroke '#1030c0' -strokewidth 3 -draw "line 470,106 520,106" \
  -stroke none -fill black -font DejaVu-Sans -pointsize 16 -annotate +532+112 "measured signal" \
  -pointsize 14 -annotate +470+150 "fit: y = 10 + 80 exp(-x / 4)" \
  -type TrueColor paper-figure.png

cat > corner-values.txt <<'TXT'
Sample graphs and the values to type for their corners.
Every sample has its plotting area from pixel (80, 520) at the lower left
to pixel (760, 40) at the upper right: click those two corners.

file                 scale mode        start X  start Y   end X   end Y
linear-linear.bmp    Linear - Linear   0        0         10      100
linear-linear.jpg    Linear - Linear   0        0         10      100
linear-log.gif       Linear - Log      0        1         10      1000
log-log.tif          Log - Log         1        0.1       1000    100
paper-figure.png     Linear - Linear   0        0         10      100

The curves are y = 50 + 40 sin(x), y = 2 * 10^(0.025 x^2), y = 0.2 x^0.8 and
y = 10 + 80 exp(-x / 4); erase the legend of paper-figure.png before digitizing.
The corners themselves are left out of the scan, so the curves start inside
the plotting area rather than at its lower-left corner.
TXT
ls -l
