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
ini="$WINEPREFIX/drive_c/windows/KORAVEL.ini"
work="$(mktemp -d)"
failures=0
saver=""
desktop=""

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

[ -f "$ini" ] && cp "$ini" "$work/saved.ini"
finish() {
  [ -n "$saver" ] && kill "$saver" 2>/dev/null
  [ -n "$desktop" ] && kill "$desktop" 2>/dev/null
  if [ -f "$work/saved.ini" ]; then cp "$work/saved.ini" "$ini"; else rm -f "$ini"; fi
  rm -rf "$work"
}
trap finish EXIT

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
  timeout 15 xdotool search --sync --onlyvisible --name '^Screen Saver$' >/dev/null || {
    fail "$1: no saver window"
    return 1
  }
}

stop_saver() {
  xdotool key Escape
  timeout 10 tail --pid="$saver" -f /dev/null || kill "$saver" 2>/dev/null
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
    } END { printf "%d %d %d %d\n", black, red, other, desktop }'
}

# 1. Red (COLOR 1), centred, on black: only black and shades of red.
write_ini COLOR=1 COLORS=0 OPTIONP=1 BKMODE=1 ZANZOU=0
if start_saver "black background"; then
  sleep 1
  read -r black red other _ < <(count_pixels)
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
if timeout 15 xdotool search --sync --onlyvisible --name '^KORAVEL test desktop$' >/dev/null; then
  sleep 0.5
  if start_saver "desktop background"; then
    sleep 1
    read -r _ red _ behind < <(count_pixels)
    echo "desktop background: red=$red desktop=$behind"
    [ "$red" -gt 2000 ] || fail "desktop background: the figure is missing"
    [ "$behind" -gt 2000 ] || fail "desktop background: the desktop does not show behind the figure"
    stop_saver
  fi
else
  fail "the stand-in desktop did not appear"
fi
kill "$desktop" 2>/dev/null
wait "$desktop" 2>/dev/null
desktop=""

# 3. ZANZOU with a moving figure: what it leaves behind stays, so the red
# area grows from one screenshot to the next.
write_ini COLOR=1 COLORS=0 OPTIONP=2 BKMODE=1 ZANZOU=1
if start_saver "trails"; then
  sleep 0.5
  read -r _ first _ _ < <(count_pixels)
  sleep 1.5
  read -r _ second _ _ < <(count_pixels)
  echo "trails: red $first then $second"
  [ "$first" -gt 0 ] && [ "$second" -gt $((first * 3 / 2)) ] || fail "trails: the red area did not grow ($first, $second)"
  stop_saver
fi

[ "$failures" -eq 0 ] && echo "drawing: all cases passed"
[ "$failures" -eq 0 ]
