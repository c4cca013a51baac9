#!/usr/bin/env bash
# Remakes docs/text-and-clock.png, the README's picture of a text of your own:
# "Welcome" set by DejaVu Sans Bold, a clock ("%H:%M:%S") in the same font
# started at a fixed time, and two Japanese texts in IPAGothic, the second
# with kanji of many strokes (Debian packages
# fonts-dejavu-core and fonts-ipafont-gothic). Each row is a headless frame
# of the release build, the program users install, and the clock's start is
# fixed, so the picture is the same at every run.
set -eu
source "$(dirname "$0")/lib.sh"
cd "$KORAVEL_ROOT"
cmake --preset release >/dev/null && cmake --build --preset release >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
shown=(-frames 6 -size 720x180 -ini /dev/null -OPTIONP 1 -STEPRAG 3 -SIZE 8 -SIZEY 8 -COLORS 0 -BKMODE 1)
build/release/koravel -render "$work/latin" "${shown[@]}" -COLOR 5 -text "Welcome" -font "DejaVu Sans:bold"
KORAVEL_CLOCK="2026-12-09 12:34:56" \
  build/release/koravel -render "$work/clock" "${shown[@]}" -COLOR 4 -text "%H:%M:%S" -font "DejaVu Sans:bold"
build/release/koravel -render "$work/kana" "${shown[@]}" -COLOR 6 -text "こんにちは" -font "IPAGothic"
build/release/koravel -render "$work/kanji" "${shown[@]}" -COLOR 2 -text "優しい霧の朝" -font "IPAGothic"
mkdir -p docs
convert "$work/latin/frame-0006.png" "$work/clock/frame-0006.png" "$work/kana/frame-0006.png" \
  "$work/kanji/frame-0006.png" \
  -append -strip docs/text-and-clock.png
echo "Wrote docs/text-and-clock.png"
