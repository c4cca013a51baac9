#!/usr/bin/env bash
# Tests of the Linux program koravel, one case per run:
#   koravel-linux.sh CASE PROGRAM
# headless: two runs give the same frames, and a frame shows the figure's
#           colour on black.
# window-id, root, same-as-headless: on an Xvfb display of their own.
set -u
case_name="$1"
program="$2"
work="$(mktemp -d /tmp/koravel-linux.XXXXXX)"
xvfb_pid=""
helper_pid=""
cleanup() {
  [ -n "$helper_pid" ] && kill "$helper_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A figure that stands still (no spin, no move), so every frame is the same
# picture and a window can be compared with a headless frame at any time.
still=(-OPTIONP 1 -STEPRAG 0 -STEPRAG1 0 -STEPRAG2 0 -OPTIONC1 3 -OPTIONC2 3 -BKMODE 1 -ZANZOU 0)

# The share of pixels of the picture that are mostly blue (colour 3's shades).
blue_share() { convert "$1" -fx 'b>0.4 && r<0.1 && g<0.1' -format '%[fx:mean]' info:; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

start_display() {
  Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
}

# A plain window made by another program (xev), to draw into. Its own
# small inner window at the top left is left out of every comparison.
make_host_window() {
  xev -geometry "$1+0+0" -name koravel-host >/dev/null &
  helper_pid=$!
  for _ in $(seq 50); do
    host_window="$(xdotool search --name koravel-host 2>/dev/null | head -1)"
    [ -n "$host_window" ] && return 0
    sleep 0.1
  done
  fail "no host window"
}
without_corner() { convert "$1" -fill black -draw 'rectangle 0,0,79,79' "$2"; }

# Ends the program with a signal; it must end by itself within a second with
# status 0 and keep no shared-memory segment.
stop_program() {
  local pid="$1" signal="$2" segments
  segments="$(awk '/SYSV/ { print $5 }' "/proc/$pid/maps" 2>/dev/null)"
  kill "-$signal" "$pid"
  for _ in $(seq 10); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "still running a second after SIG$signal"; }
  wait "$pid"
  local status=$?
  [ "$status" -eq 0 ] || fail "ended with status $status after SIG$signal"
  for id in $segments; do
    ipcs -m | awk '{ print $2 }' | grep -qx "$id" && fail "shared-memory segment $id left behind"
  done
  return 0
}

case "$case_name" in
headless)
  "$program" -render "$work/a" -frames 6 -size 320x240 -OPTIONP 2 || fail "render a"
  "$program" -render "$work/b" -frames 6 -size 320x240 -OPTIONP 2 || fail "render b"
  [ -f "$work/a/frame-0006.png" ] && [ ! -e "$work/a/frame-0007.png" ] || fail "wrong frame files"
  for k in 0001 0006; do cmp -s "$work/a/frame-$k.png" "$work/b/frame-$k.png" || fail "frame $k differs between runs"; done
  cmp -s "$work/a/frame-0001.png" "$work/a/frame-0006.png" && fail "the figure does not move"
  share="$(blue_share "$work/a/frame-0006.png")"
  at_least "$share" 0.02 || fail "too little of the figure's colour: $share"
  [ "$(convert "$work/a/frame-0006.png" -format '%[pixel:p{0,0}]' info:)" = "srgb(0,0,0)" ] || fail "background not black"
  # Trails keep the earlier frames: more of the colour than without them.
  "$program" -render "$work/t" -frames 6 -size 320x240 -OPTIONP 2 -ZANZOU 1 || fail "render with trails"
  trails="$(blue_share "$work/t/frame-0006.png")"
  awk -v a="$trails" -v b="$share" 'BEGIN { exit !(a > b * 1.3) }' || fail "no trails: $trails against $share"
  # Options change this run only: the settings file named by -ini stays
  # byte for byte.
  cp "$(dirname "$0")/../../res/KORAVEL.ini" "$work/K.ini"
  cp "$work/K.ini" "$work/K.orig"
  "$program" -render "$work/o" -frames 1 -size 64x48 -ini "$work/K.ini" -OPTIONN 3 -COLOR 5 -KAITEN 1 ||
    fail "render with -ini"
  cmp -s "$work/K.ini" "$work/K.orig" || fail "the options were written into the settings file"
  ;;
window-id)
  start_display
  make_host_window 300x200
  "$program" -window-id "$host_window" "${still[@]}" &
  pid=$!
  sleep 1
  import -window "$host_window" "$work/small.png"
  "$program" -render "$work/h1" -frames 1 -size 300x200 "${still[@]}"
  without_corner "$work/small.png" "$work/s.png"
  without_corner "$work/h1/frame-0001.png" "$work/h.png"
  [ "$(compare -metric AE "$work/s.png" "$work/h.png" null: 2>&1)" = "0" ] || fail "window differs from the headless frame"
  xdotool windowsize "$host_window" 500 400
  sleep 1
  import -window "$host_window" "$work/large.png"
  "$program" -render "$work/h2" -frames 1 -size 500x400 "${still[@]}"
  without_corner "$work/large.png" "$work/l.png"
  without_corner "$work/h2/frame-0001.png" "$work/h.png"
  [ "$(compare -metric AE "$work/l.png" "$work/h.png" null: 2>&1)" = "0" ] || fail "after the resize the window differs"
  stop_program "$pid" TERM
  ;;
root)
  start_display
  make_host_window 320x240
  # BKMODE 0: the window's white background stays around the figure.
  XSCREENSAVER_WINDOW="$host_window" "$program" -root "${still[@]}" -BKMODE 0 &
  pid=$!
  sleep 1
  import -window "$host_window" "$work/shown.png"
  share="$(blue_share "$work/shown.png")"
  at_least "$share" 0.02 || fail "nothing drawn in XSCREENSAVER_WINDOW: $share"
  [ "$(convert "$work/shown.png" -format '%[pixel:p{310,230}]' info:)" = "srgb(255,255,255)" ] ||
    fail "the window's own background was not kept"
  stop_program "$pid" INT
  # The window going away ends the program too.
  "$program" -window-id "$host_window" "${still[@]}" &
  pid=$!
  sleep 0.5
  kill "$helper_pid"; helper_pid=""
  for _ in $(seq 10); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "still running after its window went away"; }
  wait "$pid" || fail "ended with status $? when its window went away"
  ;;
same-as-headless)
  # A moving figure on its own window: after 7 frames it stops drawing, and
  # the window must show exactly the 7th headless frame. The window is large
  # enough that no bounce (whose speed is random) comes in 7 frames.
  start_display
  "$program" -window -geometry 640x480+0+0 -frames 7 -OPTIONP 2 -delay 10 &
  pid=$!
  sleep 1.5
  window="$(xdotool search --name KORAVEL | head -1)"
  [ -n "$window" ] || fail "no window"
  import -window "$window" "$work/shown.png"
  "$program" -render "$work/h" -frames 7 -size 640x480 -OPTIONP 2
  [ "$(compare -metric AE "$work/shown.png" "$work/h/frame-0007.png" null: 2>&1)" = "0" ] ||
    fail "the window differs from the headless frame"
  # A key pressed in the window, with no button or pointer event.
  xdotool windowfocus --sync "$window" key space
  for _ in $(seq 10); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "a key did not end it"; }
  wait "$pid" || fail "ended with status $? on a key"
  ;;
*)
  fail "no case $case_name"
  ;;
esac
echo "PASS: $case_name"
