# Shared by the end-to-end scripts: counting failures, the machine's
# settings file kept and put back, and waits. Each waits for a condition (a
# window shown, frames drawn, a process gone) and gives up only at a
# deadline generous enough for a busy machine, where Wine can take tens of
# seconds to start a program. Sourced; uses xdotool and ImageMagick.

# fail MESSAGE: says what failed and counts it in $failures, which the
# script's last line turns into its exit status.
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# use_machine_ini, for a script that drives the saver with the machine's
# KORAVEL.ini: sets $ini and a work folder $work and keeps the file; at the
# script's end the saver ($saver) and the desktop's stand-in ($desktop) are
# ended where they run, the file is put back as it was (or the one the
# script wrote where there was none removed) and the folder removed.
use_machine_ini() {
  ini="$WINEPREFIX/drive_c/windows/KORAVEL.ini"
  work="$(mktemp -d)"
  saver=""
  desktop=""
  [ ! -f "$ini" ] || cp "$ini" "$work/saved.ini"
  trap end_machine_ini_script EXIT
}
end_machine_ini_script() {
  [ -n "$saver" ] && kill "$saver" 2>/dev/null
  [ -n "$desktop" ] && kill "$desktop" 2>/dev/null
  if [ -f "$work/saved.ini" ]; then cp "$work/saved.ini" "$ini"; else rm -f "$ini"; fi
  rm -rf "$work"
}

# A Wine program's first window; anything else a running program does.
e2e_start_seconds=180
e2e_seconds=90

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; fails once
# SECONDS have passed without.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

# find_window TITLE: prints the id of a visible window whose title matches
# the regular expression TITLE, once there is one; fails after the deadline.
# Each search is tried again: Debian's xdotool ends with an X error, having
# printed nothing, when any window goes while it reads the window list (an
# installer closing, a dialog ending), so one empty answer proves nothing.
find_window() {
  local deadline=$((SECONDS + e2e_start_seconds)) found
  while :; do
    found="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)"
    [ -n "$found" ] && { echo "$found"; return 0; }
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

# window_gone TITLE: whether no visible window's title matches TITLE. A
# search that ended on an X error also finds nothing, but says so on
# stderr; only a quiet search that found nothing counts.
window_gone() {
  local errors
  errors="$(xdotool search --onlyvisible --name "$1" 2>&1 >/dev/null)"
  [ $? -eq 1 ] && [ -z "$errors" ]
}

# wait_gone PID: waits for the process to end.
wait_gone() {
  timeout "$e2e_seconds" tail --pid="$1" -f /dev/null
}

screen_digest() {
  import -window root rgb:- 2>/dev/null | md5sum
}

# wait_for_frames COUNT PID: waits until the screen has changed COUNT times
# while process PID runs: a saver that shows new frames has run its message
# loop, which takes input before timer ticks, past all input sent before
# the wait. Fails when the process ends first or at the deadline.
wait_for_frames() {
  local count="$1" process="$2" deadline=$((SECONDS + e2e_seconds)) last now
  last="$(screen_digest)"
  while [ "$count" -gt 0 ]; do
    kill -0 "$process" 2>/dev/null || return 1
    [ $SECONDS -ge $deadline ] && return 1
    now="$(screen_digest)"
    [ "$now" != "$last" ] && count=$((count - 1))
    last="$now"
  done
}
