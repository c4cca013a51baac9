#!/usr/bin/env bash
# The same frame on Windows and on Linux: the real KORAVEL.scr full screen
# under Wine, shot from the X server, against the Linux program's headless
# frame of the same KORAVEL.ini at the screen's size, pixel for pixel. The
# text is kept in the file (TEXT, FONT, PAGE) and laid out by each side's
# own shaper, Uniscribe and HarfBuzz, and made from each side's outlines of
# the same font file. The figure stands still (no turning, no moving), so
# any frame of the saver is the frame to compare.
# Usage: same-frame.sh KORAVEL.scr LINUX_KORAVEL PICTURES_DIR
# (DISPLAY and WINEPREFIX as scripts/test sets them). Exits with 77 (a skip)
# where the Linux program is not built. On a difference both pictures and
# the difference go to PICTURES_DIR.
set -u
scr="$1"
linux_program="$2"
pictures="$3"
if [ ! -x "$linux_program" ]; then
  echo "SKIP: no Linux program at $linux_program (build the native preset first)"
  exit 77
fi
source "$(dirname "$0")/waits.sh"
use_machine_ini

read -r width height < <(xwininfo -root | awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w, h }')

# A still figure in one blue on black: no turning of the row or of any
# slot, no moving, no trails; a page that outlasts the test.
write_ini() {
  printf '%s\n' "[KORAVEL]" OPTIONP=1 STEPRAG=0 STEPRAG{1..9}=0 COLOR=3 COLORS=0 BKMODE=1 ZANZOU=0 \
    "TEXT=$1" "FONT=$2" PAGE=60 >"$ini"
}

shot() { import -window root "$work/$1.png" 2>/dev/null; }
differing() { compare -metric AE "$1" "$2" "${3:-null:}" 2>&1 >/dev/null; }
# Whether a picture holds the figure's blue (colour 3's shades), which
# nothing on the screen shows before the saver draws.
holds_blue() { [ "$(convert "$1" -fx 'b>0.4 && r<0.1 && g<0.1' -format '%[fx:maxima > 0]' info:)" = 1 ]; }
# The screen shows the Linux frame; else, once it shows the figure and two
# shots agree, the saver has drawn what it will draw.
drawn() {
  shot windows || return 1
  [ "$(differing "$work/windows.png" "$work/linux.png")" = 0 ] && return 0
  holds_blue "$work/windows.png" && shot again && [ "$(differing "$work/windows.png" "$work/again.png")" = 0 ]
}

# same_frame NAME TEXT FONT CLOCK: TEXT as stored, FONT as fontconfig and
# the dialog write it, KORAVEL_CLOCK for both sides.
same_frame() {
  local name="$1" count
  write_ini "$2" "$3"
  if ! KORAVEL_CLOCK="$4" "$linux_program" -render "$work/frames" -frames 2 -size "${width}x${height}" -ini "$ini" \
         2>"$work/linux.err"; then
    fail "$name: the Linux program failed: $(cat "$work/linux.err")"
    return
  fi
  # A word on standard error (a left-out contour, a font not found) would
  # make the case something other than what it claims.
  [ -s "$work/linux.err" ] && fail "$name: the Linux program says: $(cat "$work/linux.err")"
  cp "$work/frames/frame-0002.png" "$work/linux.png"
  [ "$(differing "$work/frames/frame-0001.png" "$work/linux.png")" = 0 ] ||
    fail "$name: the figure is not still (frames 1 and 2 differ)"
  holds_blue "$work/linux.png" || fail "$name: the Linux frame shows no figure"

  xdotool mousemove 1 1
  KORAVEL_CLOCK="$4" wine "$scr" /s &
  saver=$!
  if ! find_window '^Screen Saver$' >/dev/null; then
    fail "$name: no saver window"
  else
    wait_until "$e2e_seconds" drawn || fail "$name: the saver drew no steady figure"
    count="$(differing "$work/windows.png" "$work/linux.png")"
    echo "$name: $count of ${width}x${height} pixels differ"
    if [ "$count" != 0 ]; then
      mkdir -p "$pictures"
      cp "$work/windows.png" "$pictures/$name-windows.png"
      cp "$work/linux.png" "$pictures/$name-linux.png"
      differing "$work/windows.png" "$work/linux.png" "$pictures/$name-difference.png" >/dev/null
      fail "$name: $count pixels differ; the pictures are in $pictures/$name-{windows,linux,difference}.png"
    fi
  fi
  xdotool key Escape
  wait_gone "$saver" || kill "$saver" 2>/dev/null
  wait "$saver" 2>/dev/null
  saver=""
}

rm -rf "$pictures"
# Latin with kerning pairs (AV, VA, AT, TA from the font's GPOS table).
same_frame avatar "AVATAR" "DejaVu Sans" ""
# Kanji and katakana, each within the glyph format's 45 points and 13
# contours; then kanji of many strokes, each beyond them (優しい霧の朝).
same_frame japanese "\u6771\u4EAC\u30BF\u30EF\u30FC" "IPAGothic" ""
same_frame dense "\u512A\u3057\u3044\u9727\u306E\u671D" "IPAGothic" ""
# Letters whose cedilla, ogonek or horn overlaps the letter: the contours
# are merged into one outline on both sides alike.
same_frame merged "\u00C7\u015E\u0172\u01AF\u01EA" "DejaVu Sans" ""
# A clock at a whole minute: it shows 12:34 for a minute from the start.
same_frame clock "%H:%M" "DejaVu Sans" "2026-12-09 12:34:00"

[ "$failures" -eq 0 ] && echo "same frame: all cases passed"
[ "$failures" -eq 0 ]
