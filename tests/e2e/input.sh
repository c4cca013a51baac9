#!/usr/bin/env bash
# Real input through the X server to the full-screen saver under Wine: a
# key, a click and mouse travel beyond 4 pixels close it; 4 pixels in total
# do not; moves of 2 pixels in one direction close it on the third.
# Usage: input.sh KORAVEL.scr  (DISPLAY and WINEPREFIX as scripts/test sets them)
set -u
scr="$1"
failures=0
saver=""

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Starts the saver with the pointer at a known place and waits until its
# window is shown.
start_saver() {
  xdotool mousemove 500 400
  wine "$scr" /s &
  saver=$!
  if ! timeout 15 xdotool search --sync --onlyvisible --name '^Screen Saver$' >/dev/null; then
    fail "$1: no saver window"
    return 1
  fi
  # Wine's own move message right after creation arrives first.
  sleep 0.3
}

# Waits (at most 10 s) for the saver to end; its exit code must be 0.
expect_closed() {
  local waited=0
  while kill -0 "$saver" 2>/dev/null && [ $waited -lt 100 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$saver" 2>/dev/null; then
    fail "$1: the saver is still running"
    kill "$saver" 2>/dev/null
    wait "$saver" 2>/dev/null
    return
  fi
  wait "$saver"
  local code=$?
  [ "$code" -eq 0 ] || fail "$1: exit code $code"
}

# The saver must still run half a second after the last input.
expect_running() {
  sleep 0.5
  kill -0 "$saver" 2>/dev/null || fail "$1: the saver closed"
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
