#!/usr/bin/env bash
# What the full-screen saver shows under Wine, read from screenshots: the
# figure in the chosen colour on black; with BKMODE 0 the desktop behind it;
# with ZANZOU the trails of a moving figure stay on screen.
# Usage: drawing.sh KORAVEL.scr koravel_colour_window.exe sample.ini
# (DISPLAY and WINEPREFIX as scripts/test sets them)
set -u
scr="$1"
desktop_program="$2"
sample_ini="$3"
source "$(dirname "$0")/waits.sh"
use_machine_ini

# The sample glyphs with the given settings (KEY=VALUE ...) in [KORAVEL].
write_ini() {
  {
    echo "[KORAVEL]"
    echo "OPTIONN=2"
    echo "OPTIONA1=1"
    echo "OPTIONA2=2"
    for setting in "$@"; do echo "$setting"; done
    sed -n '/^\[MOJI ZAHYO\]/,$p' "$sample_ini"
  } >"$ini"
}

start_saver() {
  xdotool mousemove 1 1
  wine "$scr" /s &
  saver=$!
  find_window '^Screen Saver$' >/dev/null || {
    fail "$1: no saver window"
    stop_saver
    return 1
  }
}

stop_saver() {
  xdotool key Escape
  wait_gone "$saver" || kill "$saver" 2>/dev/null
  wait "$saver" 2>/dev/null
  saver=""
}

# Pixel counts of a screenshot by kind: "black red other desktop", where red
# is any shade of pure red and desktop is the stand-in desktop's colour.
count_pixels() {
  import -window root "$work/shot.png"
  convert "$work/shot.png" -format %c histogram:info:- |
    sed -nE 's/^ *([0-9]+): *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\1 \2 \3 \4/p' |
    awk '{
      count = $1; r = $2; g = $3; b = $4
      if (r == 0 && g == 0 && b == 0) black += count
      else if (g == 0 && b == 0) red += count
      else if (r == 40 && g == 80 && b == 120) desktop += count
      else other += count
    } END { printf "%d %d %d %d\n", black, red, other, desktop }' >"$work/counts"
  read -r black red other desktop_pixels <"$work/counts"
}

# Takes screenshots until COMMAND (which reads the counts) holds.
shows() {
  count_pixels
  "$@"
}

# 1. Red (COLOR 1), centred, on black: only black and shades of red.
write_ini COLOR=1 COLORS=0 OPTIONP=1 BKMODE=1 ZANZOU=0
if start_saver "black background"; then
  wait_until "$e2e_seconds" shows eval '[ "$red" -gt 2000 ]'
  echo "black background: black=$black red=$red other=$other"
  [ "$red" -gt 2000 ] || fail "black background: the figure is missing ($red red pixels)"
  [ "$other" -eq 0 ] || fail "black background: $other pixels neither black nor red"
  [ "$black" -gt "$red" ] || fail "black background: the background is not black"
  stop_saver
fi

# 2. BKMODE 0: the desktop as it was before the saver shows behind the figure.
write_ini COLOR=1 COLORS=0 OPTIONP=1 BKMODE=0 ZANZOU=0
wine "$desktop_program" &
desktop=$!
if find_window '^KORAVEL test desktop$' >/dev/null &&
  wait_until "$e2e_seconds" shows eval '[ "$desktop_pixels" -gt 2000 ]'; then
  if start_saver "desktop background"; then
    wait_until "$e2e_seconds" shows eval '[ "$red" -gt 2000 ] && [ "$desktop_pixels" -gt 2000 ]'
    echo "desktop background: red=$red desktop=$desktop_pixels"
    [ "$red" -gt 2000 ] || fail "desktop background: the figure is missing"
    [ "$desktop_pixels" -gt 2000 ] || fail "desktop background: the desktop does not show behind the figure"
    stop_saver
  fi
else
  fail "the stand-in desktop did not appear"
fi
kill "$desktop" 2>/dev/null
wait "$desktop" 2>/dev/null
desktop=""

# 3. ZANZOU with a moving figure: what it leaves behind stays, so the red
# area grows from one screenshot to the next (the figure alone never
# covers half as much again).
write_ini COLOR=1 COLORS=0 OPTIONP=2 BKMODE=1 ZANZOU=1
if start_saver "trails"; then
  wait_until "$e2e_seconds" shows eval '[ "$red" -gt 0 ]'
  first=$red
  wait_until "$e2e_seconds" shows eval '[ "$red" -gt $((first * 3 / 2)) ]'
  echo "trails: red $first then $red"
  [ "$first" -gt 0 ] && [ "$red" -gt $((first * 3 / 2)) ] || fail "trails: the red area did not grow ($first, $red)"
  stop_saver
fi

[ "$failures" -eq 0 ] && echo "drawing: all cases passed"
[ "$failures" -eq 0 ]
