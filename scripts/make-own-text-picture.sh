#!/usr/bin/env bash
# Remakes docs/own-text.png, the README's picture of -text: a Latin text in
# DejaVu Sans Bold above a Japanese one in IPAGothic (Debian packages
# fonts-dejavu-core and fonts-ipafont-gothic), each a headless frame of the
# Linux program, so the picture is the same at every run.
set -eu
source "$(dirname "$0")/lib.sh"
cd "$KORAVEL_ROOT"
cmake --preset native >/dev/null && cmake --build --preset native --target koravel >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
shown=(-frames 6 -size 720x180 -ini /dev/null -OPTIONP 1 -STEPRAG 3 -SIZE 8 -SIZEY 8 -COLORS 0 -BKMODE 1)
build/native/koravel -render "$work/latin" "${shown[@]}" -COLOR 5 -text "Welcome" -font "DejaVu Sans:bold"
build/native/koravel -render "$work/kana" "${shown[@]}" -COLOR 6 -text "こんにちは" -font "IPAGothic"
mkdir -p docs
convert "$work/latin/frame-0006.png" "$work/kana/frame-0006.png" -append -strip docs/own-text.png
echo "Wrote docs/own-text.png"
