#!/usr/bin/env bash
# Rebuilds res/KORAVEL.ini, the file shipped with the saver: section [KORAVEL]
# with every default as SaveSettings writes it, then the glyph set made from
# DejaVu Sans Bold (fonts-dejavu-core). Run from the repository after
# building the native preset. The file has Windows line endings.
#
# The order is part of the design. The defaults show glyphs 22 and 5, so the
# list opens with a group of shapes in which 22 is STAR and 5 is HEART; then
# come the capitals, the digits and a few signs, each group in its usual
# order. Numbers from 78 to 99 stay free for the user's own glyphs.
set -eu
cd "$(dirname "$0")/.."
tools="build/native/tools"
font="${KORAVEL_GLYPH_FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"
out="res/KORAVEL.ini"

shapes=(
  SQUARE=■ CIRCLE=● TRIANGLE=▲
  SPADE=♠ HEART=♥ DIAMOND=♦ CLUB=♣
  CROSS=✚ XMARK=✖ CHECK=✔
  LEFT=← UP=↑ RIGHT=→ DOWN=↓
  NOTE=♪ NOTES=♫ PLANE=✈ ANCHOR=⚓ UMBRELLA=☂ CROWN=♛
  SUN=☀ STAR=★ OPENSTAR=☆ SPARKLE=✦ LIGHTNING=⚡ MOON=☾
  FLOWER=✿ CLOVER=☘ PEACE=☮ YINYANG=☯ SMILE=☻
)
{
  "$tools/koravel-default-settings"
  printf '\r\n'
  "$tools/koravel-make-glyphs" --section "$font" "${shapes[@]}" ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 \
    '!?&+-=#$%@' | sed 's/$/\r/'
} >"$out.new"
mv "$out.new" "$out"
"$tools/koravel-check-glyphs" "$out"
