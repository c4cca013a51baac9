#!/usr/bin/env bash
# The CPU the Linux program costs per frame on a display, the X server's
# share included: koravel in a 1280 x 720 window of its own on Xvfb, the
# shipped settings, one frame every 55 ms, for SECONDS (default 20).
#   bench/linux-cpu.sh [SECONDS]
# KORAVEL_PROGRAM names the program (default: the optimised build,
# build/bench/koravel). Prints figures; it is not a test.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
program="${KORAVEL_PROGRAM:-$here/build/bench/koravel}"
settings_file="$here/res/KORAVEL.ini"
period_ms=55
warm_up=2

[ -x "$program" ] || { echo "no program at $program (cmake --preset bench && cmake --build --preset bench --target koravel)" >&2; exit 1; }
case "$seconds" in '' | *[!0-9]* | 0) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

work="$(mktemp -d /tmp/koravel-cpu.XXXXXX)"
xvfb_pid=""
saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null && wait "$saver_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x720x24 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
display="$(cat "$work/display")"
export DISPLAY=":$display"

# The shipped file is named, so a user's own settings never change the figures.
"$program" -window -geometry 1280x720+0+0 -delay "$period_ms" -ini "$settings_file" &
saver_pid=$!
for _ in $(seq 50); do
  xdotool search --name '^KORAVEL$' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --name '^KORAVEL$' >/dev/null 2>&1 || { echo "koravel showed no window" >&2; exit 1; }
# The start (settings, scene, the first picture) is left out.
sleep "$warm_up"

# User plus system time of a process, in clock ticks (fields 14 and 15 of
# /proc/PID/stat; the name in field 2 is skipped by its closing parenthesis).
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
now() { date +%s.%N; }

saver_before="$(cpu_ticks "$saver_pid")"
server_before="$(cpu_ticks "$xvfb_pid")"
start="$(now)"
sleep "$seconds"
kill -0 "$saver_pid" 2>/dev/null || { echo "koravel ended during the run" >&2; exit 1; }
saver_after="$(cpu_ticks "$saver_pid")"
server_after="$(cpu_ticks "$xvfb_pid")"
end="$(now)"

# The program keeps a fixed schedule (the next frame is due one period after
# the last was due), so the frames drawn are the elapsed time over the period
# as long as a frame costs less than a period; the check below says when not.
awk -v tck="$(getconf CLK_TCK)" -v period="$period_ms" -v start="$start" -v end="$end" \
    -v s0="$saver_before" -v s1="$saver_after" -v x0="$server_before" -v x1="$server_after" 'BEGIN {
  elapsed = (end - start) * 1000
  frames = int(elapsed / period)
  saver = (s1 - s0) * 1000 / tck
  server = (x1 - x0) * 1000 / tck
  printf "koravel -window 1280x720, shipped settings, -delay %d, on Xvfb 1280x720x24\n", period
  printf "  measured          %.1f s, %d frames (elapsed time / period)\n", elapsed / 1000, frames
  printf "  koravel           %7.3f ms CPU per frame (%.0f ms in all)\n", saver / frames, saver
  printf "  X server          %7.3f ms CPU per frame (%.0f ms in all)\n", server / frames, server
  printf "  together          %7.3f ms CPU per frame, %.2f%% of the %d ms period\n", (saver + server) / frames,
         100 * (saver + server) / frames / period, period
  printf "  resolution        +/- %.3f ms per frame (one clock tick of each process)\n", 1000 / tck / frames
  if (saver > 0.9 * elapsed)
    printf "  WARNING: koravel was busy nearly all the time; fewer frames were drawn than counted\n"
}'
echo "Not measured: the comparison with other screen savers, because this project does not install or run other saver programs."
