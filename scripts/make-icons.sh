#!/usr/bin/env bash
# Draws the program's icon, a cell of seven triangles round a vertex, showing
# the pink front and the green back of the sheet, as desktop/brimoss.svg and as
# PNGs of 32 and 128 pixels. The results are committed; run this only to
# change them. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
CONVERT=${CONVERT:-/usr/bin/convert}

# Seven rim points on a slightly flattened heptagon, tilted a little, with the
# centre off the middle, so that the cell looks buckled rather than flat.
# Prints "cx,cy" then the seven rim points, in a 128-unit square.
geometry() {
  awk 'BEGIN {
    pi = 3.14159265358979; cx = 60; cy = 67
    printf "%.2f,%.2f\n", cx, cy
    split("57 52 58 50 57 53 55", r, " ")
    for (k = 0; k < 7; ++k) {
      t = -pi / 2 + 2 * pi * k / 7 + 0.12
      printf "%.2f,%.2f\n", 64 + r[k + 1] * cos(t), 64 + r[k + 1] * sin(t) * 0.96
    }
  }'
}

mapfile -t P < <(geometry)
CENTRE=${P[0]}
COLOURS=("#ff0080" "#00ff7f" "#ff0080" "#00ff7f" "#ff0080" "#00ff7f" "#ff0080")

{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">'
  echo '  <g stroke="#303030" stroke-width="2.5" stroke-linejoin="round">'
  for k in 0 1 2 3 4 5 6; do
    a=${P[$((k + 1))]}
    b=${P[$(((k + 1) % 7 + 1))]}
    echo "    <polygon points=\"$CENTRE $a $b\" fill=\"${COLOURS[$k]}\"/>"
  done
  echo '  </g>'
  echo '</svg>'
} >desktop/brimoss.svg

big=$(mktemp --suffix=.png)
trap 'rm -f "$big"' EXIT
# Drawn at four times the size and scaled down, for smooth edges.
scaled=()
for k in 0 1 2 3 4 5 6; do
  pts=$(echo "$CENTRE ${P[$((k + 1))]} ${P[$(((k + 1) % 7 + 1))]}" |
    awk '{ for (i = 1; i <= NF; ++i) { split($i, c, ","); printf "%s%.2f,%.2f", (i > 1 ? " " : ""), c[1] * 4, c[2] * 4 } }')
  scaled+=(-fill "${COLOURS[$k]}" -draw "polygon $pts")
done
"$CONVERT" -size 512x512 xc:none -stroke "#303030" -strokewidth 10 "${scaled[@]}" "$big"
for size in 128 32; do
  "$CONVERT" "$big" -filter Lanczos -resize ${size}x${size} -strip PNG32:desktop/brimoss-$size.png
done
echo "wrote desktop/brimoss.svg desktop/brimoss-128.png desktop/brimoss-32.png"
