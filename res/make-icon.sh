#!/bin/bash
# Draws the class icon res/koravel.ico (48, 32 and 16 pixels): the letter K as
# an extruded solid, its walls in the side shade and its face in the front
# shade of colour 3 (blue), outlined in black, as the saver draws its glyphs.
# Needs ImageMagick; the icon is kept in the repository, so builds do not.
set -e
cd "$(dirname "$0")"
K="8,9 16,9 16,22 29,9 40,9 25,24 41,42 30,42 16,28 16,42 8,42"
shift_points() { echo "$K" | tr ' ' '\n' | awk -F, -v dx="$1" -v dy="$2" '{printf "%d,%d ", $1+dx, $2+dy}'; }
args=(-size 48x48 xc:none -stroke none -fill 'rgb(0,0,192)')
for step in 6 5 4 3 2 1; do
  args+=(-draw "polygon $(shift_points "$step" "-$step")")
done
args+=(-fill 'rgb(0,0,255)' -stroke black -strokewidth 1 -draw "polygon $K")
convert "${args[@]}" -define icon:auto-resize=48,32,16 koravel.ico
