#!/usr/bin/env bash
# The full-screen saver on two monitors: its window covers both, and with the
# desktop as background every pixel the saver draws from its desktop copy
# shows the desktop pixel that lay at that place.
# Runs on an X server of its own (Xvfb with Xinerama and two screens) and in
# a copy of the test prefix, whose Wine asks Xinerama for the monitors.
# Xvfb puts both screens at the origin, so the virtual screen here starts at
# (0, 0); the layout with a monitor left of or above the primary is covered
# by the unit tests of the placement.
# Usage: monitors.sh KORAVEL.scr koravel_colour_window.exe sample.ini
# (DISPLAY and WINEPREFIX as scripts/test sets them)
set -u
scr="$1"
desktop_program="$2"
sample_ini="$3"
source "$(dirname "$0")/waits.sh"
parent_prefix="$WINEPREFIX"
work="$(mktemp -d /tmp/koravel-monitors.XXXXXX)"
xvfb=""
saver=""
desktop=""

finish() {
  [ -n "$saver" ] && kill "$saver" 2>/dev/null
  [ -n "$desktop" ] && kill "$desktop" 2>/dev/null
  if [ "$WINEPREFIX" = "$work/prefix" ]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
  fi
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  rm -rf "$work"
}
trap finish EXIT

Xvfb -displayfd 3 -nolisten tcp +xinerama -screen 0 640x480x24 -screen 1 800x600x24 \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
wait_until "$e2e_seconds" [ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb with two screens did not start"; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$work/display")"

# The display is fixed when a prefix's server starts: a copy of the booted
# test prefix gets a server of its own on this display. Wine asks XRandR for
# the monitors unless told otherwise, and Xvfb's XRandR knows one screen.
cp -a "$parent_prefix" "$work/prefix"
export WINEPREFIX="$work/prefix"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
wineserver -p

wine "$desktop_program" monitors
monitors=$?
echo "monitors reported: $monitors"
[ "$monitors" -eq 2 ] || fail "Wine reports $monitors monitors, not 2"

ini="$WINEPREFIX/drive_c/windows/KORAVEL.ini"
{
  echo "[KORAVEL]"
  echo "OPTIONN=2"
  echo "OPTIONA1=1"
  echo "OPTIONA2=2"
  echo "COLOR=1"
  echo "COLORS=0"
  echo "OPTIONP=2"
  echo "BKMODE=0"
  echo "ZANZOU=0"
  sed -n '/^\[MOJI ZAHYO\]/,$p' "$sample_ini"
} >"$ini"

# The colour of one screen pixel, as "r,g,b".
pixel_at() {
  import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
    sed -nE 's/^0,0: *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\1,\2,\3/p'
}

wine "$desktop_program" gradient &
desktop=$!
# Shown and painted: its corners on both screens have their pattern colours.
find_window '^KORAVEL test desktop$' >/dev/null &&
  wait_until "$e2e_seconds" eval '[ "$(pixel_at 0 0)" = 20,20,100 ] && [ "$(pixel_at 799 599)" = 219,219,127 ]' ||
  { fail "the stand-in desktop did not appear"; exit 1; }

xdotool mousemove 1 1
wine "$scr" /s &
saver=$!
window="$(find_window '^Screen Saver$')"
[ -n "$window" ] || { fail "no saver window"; exit 1; }

# Both screens together are 800 x 600 pixels from the origin.
geometry="$(xdotool getwindowgeometry "$window" | tr -d ' ' | tr '\n' ' ')"
echo "saver window: $geometry"
case "$geometry" in
  *Position:0,0*Geometry:800x600*) ;;
  *) fail "the saver does not cover both monitors: $geometry" ;;
esac

# The figure moves until it has drawn the desktop copy back along a path
# long enough (the rest of the window is still black: with the desktop as
# background it is never erased). Every pixel must be the desktop's own
# (the pattern of koravel_colour_window), black, or a shade of the red figure.
take_shot() {
  import -window root "$work/shot.png"
  convert "$work/shot.png" txt:- |
    sed -nE 's/^([0-9]+),([0-9]+): *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\1 \2 \3 \4 \5/p' |
    awk '{
      x = $1; y = $2; r = $3; g = $4; b = $5
      if (r == 20 + x % 200 && g == 20 + y % 200 && b == 100 + (7 * int(x / 200) + 3 * int(y / 200)) % 150) own++
      else if (r == 0 && g == 0 && b == 0) black++
      else if (g == 0 && b == 0) red++
      else wrong++
    } END { printf "%d %d %d %d\n", own, red, black, wrong }' >"$work/counts"
  read -r desktop_pixels figure black wrong <"$work/counts"
  [ "$figure" -gt 2000 ] && [ "$desktop_pixels" -gt 20000 ]
}
wait_until "$e2e_seconds" take_shot
echo "desktop=$desktop_pixels figure=$figure black=$black wrong=$wrong"
[ "$figure" -gt 2000 ] || fail "the figure is missing ($figure red pixels)"
[ "$desktop_pixels" -gt 20000 ] || fail "the desktop does not show along the figure's path ($desktop_pixels pixels)"
[ "$wrong" -eq 0 ] || fail "$wrong pixels are neither the desktop at their place nor the figure nor black"

xdotool key Escape
wait_gone "$saver" || fail "the saver did not end on a key"
saver=""

[ "$failures" -eq 0 ] && echo "monitors: all cases passed"
[ "$failures" -eq 0 ]
