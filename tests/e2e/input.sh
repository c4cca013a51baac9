#!/usr/bin/env bash
# Real input through the X server to the full-screen saver under Wine: a
# key, a click and mouse travel beyond 4 pixels close it; 4 pixels in total
# do not; moves of 2 pixels in one direction close it on the third.
# A moving figure of the sample glyphs makes every frame new on screen, so
# that frames drawn after an input show the saver has taken it.
# Usage: input.sh KORAVEL.scr sample.ini
# (DISPLAY and WINEPREFIX as scripts/test sets them)
set -u
scr="$1"
sample_ini="$2"
source "$(dirname "$0")/waits.sh"
use_machine_ini

{
  printf '%s\n' '[KORAVEL]' OPTIONN=2 OPTIONA1=1 OPTIONA2=2 OPTIONP=2 BKMODE=1 ZANZOU=0
  sed -n '/^\[MOJI ZAHYO\]/,$p' "$sample_ini"
} >"$ini"

# Starts the saver with the pointer at a known place and waits until it
# draws: by then Wine's own move message right after creation is taken. A
# saver that did not get that far is ended, so no later case meets it.
start_saver() {
  xdotool mousemove 500 400
  wine "$scr" /s &
  saver=$!
  find_window '^Screen Saver$' >/dev/null && wait_for_frames 2 "$saver" && return
  fail "$1: no saver window drawing"
  kill "$saver" 2>/dev/null
  wait "$saver" 2>/dev/null
  return 1
}

# Waits for the saver to end; its exit code must be 0.
expect_closed() {
  wait_gone "$saver" || { fail "$1: the saver is still running"; kill "$saver"; wait "$saver"; return; }
  wait "$saver"
  local code=$?
  [ "$code" -eq 0 ] || fail "$1: exit code $code"
}

# The saver must have drawn on after the last input: it took the input and
# did not close.
expect_running() {
  wait_for_frames 2 "$saver" || fail "$1: the saver closed"
}

if start_saver "key"; then
  xdotool key Escape
  expect_closed "key"
fi

if start_saver "click"; then
  xdotool click 1
  expect_closed "click"
fi

if start_saver "travel"; then
  xdotool mousemove_relative -- 3 0
  xdotool mousemove_relative -- 0 1
  expect_running "4 px in total"
  xdotool mousemove_relative -- 0 1
  expect_closed "5 px in total"
fi

if start_saver "drift"; then
  xdotool mousemove_relative -- 2 0
  xdotool mousemove_relative -- 2 0
  expect_running "two moves of 2 px"
  xdotool mousemove_relative -- 2 0
  expect_closed "the third move of 2 px"
fi

[ "$failures" -eq 0 ] && echo "input: all cases passed"
[ "$failures" -eq 0 ]
