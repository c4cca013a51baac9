#!/usr/bin/env bash
# Tests of the Linux program koravel, one case per run:
#   koravel-linux.sh CASE PROGRAM
# headless: two runs give the same frames, and a frame shows the figure's
#           colour on black.
# text: -text and -font, from a settings file with no glyph, give the same
#       frames twice and one figure per character; "AVATAR" spans what
#       HarfBuzz's kerned advances give; a clock at a fixed time ticks and
#       a long text pages, frame for frame as their texts; a settings file's
#       kept text (TEXT, FONT, PAGE) shows as the same text given; a signal
#       ends the making of the glyphs.
# memory:   a window picture larger than the memory allowed ends with a
#           message and status 1, not an abort.
# window-id, root, same-as-headless: on an Xvfb display of their own.
# refusals: what is refused says why and ends with status 1, a text or font
#           never; -fps, -geometry.
# xscreensaver: under Debian's XScreenSaver daemon, as its user runs it, with
#           a text and a font wrapped as its settings program wraps them.
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
# The figures in a row: runs of columns holding the figure's colour, once
# gaps narrower than a tenth of the row are closed (those within a
# character, such as between the strokes of a kana).
figures() {
  convert "$1" -fx 'b>0.4 && r<0.1 && g<0.1' "$work/mask.png"
  local width close
  width="$(convert "$work/mask.png" -trim -format '%w' info:)"
  close=$((width / 10 + 1))
  convert "$work/mask.png" -morphology Close "Rectangle:${close}x1" -scale "$(identify -format '%w' "$1")x1!" \
    -threshold 0 -depth 8 gray:- | od -An -v -tu1 | tr -s ' ' '\n' | grep -v '^$' |
    awk '{ if ($1 > 0 && !on) runs++; on = $1 > 0 } END { print runs + 0 }'
}
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

# Runs the command until it succeeds, for at most $patience seconds. Every
# wait is for a condition (a window mapped, pixels drawn, a process gone),
# with a deadline that a machine busy with other builds still meets.
wait_until() {
  local deadline=$((SECONDS + ${patience:-60}))
  until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}
gone() { ! kill -0 "$1" 2>/dev/null; }
# The first of the program's mapped windows, in $window.
found_window() { window="$(xdotool search --onlyvisible --name '^KORAVEL$' 2>/dev/null | head -1)"; [ -n "$window" ]; }
# Whether window $1, shot to shot.png, shows the picture $2 (its top left
# corner left out), or holds at least the share $2 of the figure's blue.
shows() {
  import -window "$1" "$work/shot.png" 2>/dev/null && without_corner "$work/shot.png" "$work/shot-cut.png" &&
    [ "$(compare -metric AE "$work/shot-cut.png" "$2" null: 2>&1)" = "0" ]
}
holds_blue() { import -window "$1" "$work/shot.png" 2>/dev/null && at_least "$(blue_share "$work/shot.png")" "$2"; }

start_display() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "${1:-640x480x24}" 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_until test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
}

# A plain window made by another program (xev), to draw into. Its own
# small inner window at the top left is left out of every comparison.
found_host() { host_window="$(xdotool search --onlyvisible --name koravel-host 2>/dev/null | head -1)"; [ -n "$host_window" ]; }
make_host_window() {
  xev -geometry "$1+0+0" -name koravel-host >/dev/null &
  helper_pid=$!
  wait_until found_host || fail "no host window"
}
without_corner() { convert "$1" -fill black -draw 'rectangle 0,0,79,79' "$2"; }

# The shared-memory segments a running program has mapped, and the check
# that none of them is left once it has ended.
segments_of() { awk '/SYSV/ { print $5 }' "/proc/$1/maps" 2>/dev/null; }
no_segment_left() {
  for id in $1; do
    ipcs -m | awk '{ print $2 }' | grep -qx "$id" && fail "shared-memory segment $id left behind"
  done
  return 0
}

# Ends the program with a signal; it must end by itself with status 0 and
# keep no shared-memory segment.
stop_program() {
  local pid="$1" signal="$2" segments
  segments="$(segments_of "$pid")"
  kill "-$signal" "$pid"
  wait_until gone "$pid" || { kill -KILL "$pid"; fail "still running after SIG$signal"; }
  wait "$pid"
  local status=$?
  [ "$status" -eq 0 ] || fail "ended with status $status after SIG$signal"
  no_segment_left "$segments"
}

case "$case_name" in
headless)
  # A link planted where a frame's temporary file once had a fixed name is
  # left alone, and so is what it points to; the frames get the permissions
  # of a new file under the umask, and no temporary file stays.
  mkdir "$work/a" && echo keep >"$work/target" && ln -s "$work/target" "$work/a/frame-0001.png.part"
  (umask 027 && exec "$program" -render "$work/a" -frames 6 -size 320x240 -OPTIONP 2) || fail "render a"
  [ "$(cat "$work/target")" = keep ] && [ -L "$work/a/frame-0001.png.part" ] || fail "the planted link was followed"
  [ "$(stat -c %a "$work/a/frame-0001.png")" = 640 ] || fail "frame mode $(stat -c %a "$work/a/frame-0001.png")"
  [ "$(ls "$work/a" | grep -cv '^frame-000[1-6].png$')" = 1 ] || fail "left behind: $(ls "$work/a")"
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
refusals)
  # Status $1 and the text $2 in the message of the rest of the line.
  refused() {
    local status=$1 text=$2; shift 2
    "$@" >"$work/said" 2>&1
    local got=$?
    [ "$got" -eq "$status" ] && grep -q -- "$text" "$work/said" || fail "$* gave $got: $(head -1 "$work/said")"
  }
  refused 1 "No such file" "$program" -render "$work/r" -frames 1 -ini "$work/none.ini"
  mkdir -p "$work/p/frame-0001.png"
  refused 1 "Is a directory" "$program" -render "$work/p" -frames 1 -size 40x30
  [ "$(ls "$work/p")" = frame-0001.png ] || fail "part of a frame left behind: $(ls "$work/p")"
  start_display 640x480x8
  refused 1 "PseudoColor" "$program" -window
  kill "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null
  start_display
  XSCREENSAVER_WINDOW=zz refused 1 "not a window id" "$program" -root
  # No text or font is refused: a text wrapped with tabs, holding a control
  # character and a byte that is no UTF-8, and a family name wrapped alike
  # draw under -root, with a word for what was left out and none about the
  # font, and end with status 0. The host window stays: were it the last
  # client to leave, Xvfb would reset and refuse the next one for a while.
  make_host_window 320x240
  XSCREENSAVER_WINDOW="$host_window" "$program" -root "${still[@]}" -text "$(printf 'K\t O\001 \t\tR\377')" \
    -font "$(printf 'DejaVu\t   Sans')" 2>"$work/said" &
  pid=$!
  drawn_or_gone() { holds_blue "$host_window" 0.02 || gone "$pid"; }
  wait_until drawn_or_gone && ! gone "$pid" || fail "nothing drawn for a wrapped text: $(head -1 "$work/said")"
  stop_program "$pid" TERM
  [ "$(cat "$work/said")" = "$(printf 'koravel: left out of -text: 1 byte not UTF-8\nkoravel: left out of -text: 1 control character')" ] ||
    fail "for a wrapped text: $(cat "$work/said")"
  # -fps: white digits at the bottom left; -10-20: 10 pixels from the right
  # edge, 20 from the bottom.
  "$program" -window -geometry 200x100-10-20 -fps "${still[@]}" &
  pid=$!
  wait_until found_window || fail "no window"
  [ "$(xwininfo -id "$window" | awk '/Absolute upper-left/ { printf "%s ", $NF }')" = "430 360 " ] || fail "not at 430,360"
  shows_fps() {
    import -window "$window" "$work/fps.png" 2>/dev/null &&
      at_least "$(convert "$work/fps.png" -crop 80x20+0+80 -fx 'r>0.9 && g>0.9 && b>0.9' -format '%[fx:mean*w*h]' info:)" 20
  }
  wait_until shows_fps || fail "no frame rate shown"
  stop_program "$pid" TERM
  ;;
xscreensaver)
  # The daemon refuses root: as root, it runs as a user of its own, whose
  # list holds only koravel with "Draw over the desktop" and whose settings
  # file stores red, which the panel (Blue, its default) wins over. Leak
  # checks, seconds long at exit on a busy machine, are the other cases'.
  start_display
  home="$work/home" && mkdir -p "$home/.config/koravel" && chmod 755 "$work" && cp "$program" "$work/koravel"
  sed 's/^COLOR=.*/COLOR=1/' "$(dirname "$program")/res/KORAVEL.ini" >"$home/.config/koravel/KORAVEL.ini"
  # A text and a font as the settings program writes a long line: wrapped
  # at a space also inside quotes, the next line indented with tabs; the
  # page slider's option as the panel's file spells it.
  page="$(sed -n 's/.* arg="\(-page\) %".*/\1 7/p' "$(dirname "$0")/../../res/koravel.xml")"
  [ -n "$page" ] || fail "the panel has no page slider"
  indent=$'\t\t\t\t  '
  printf '%s\n' 'mode: one' 'selected: 0' 'timeout: 1:00:00' 'lock: False' 'fade: False' 'unfade: False' \
    'splash: False' 'dpmsEnabled: False' "programs: \"KORAVEL\" $work/koravel --root -BKMODE 0 -text \"Go on \\" \
    "${indent}now\" -font \"DejaVu \\" "${indent}Sans\" $page \\n" >"$home/.xscreensaver"
  as_user=()
  if [ "$(id -u)" -eq 0 ]; then
    id koravel-saver >/dev/null 2>&1 || useradd --system --shell /usr/sbin/nologin koravel-saver || fail "no user"
    chown -R koravel-saver "$home" && as_user=(runuser -u koravel-saver --)
  fi
  saver() { "${as_user[@]}" env -i DISPLAY="$DISPLAY" HOME="$home" PATH=/usr/bin:/bin ASAN_OPTIONS=detect_leaks=0 "$@"; }
  start_daemon() { saver xscreensaver --no-splash >>"$work/daemon.log" 2>&1 & helper_pid=$!; }
  start_daemon
  # The daemon has been seen, rarely and only on a loaded machine, to end
  # silently before it answers (XScreenSaver's own start, before koravel
  # runs): it is started again, twice at most, and the failure says so.
  restarts=0
  answers() {
    saver xscreensaver-command -time >/dev/null 2>&1 && return 0
    if gone "$helper_pid" && [ "$restarts" -lt 2 ]; then
      restarts=$((restarts + 1))
      echo "(the daemon ended before it answered; started again)" >>"$work/daemon.log"
      start_daemon
    fi
    return 1
  }
  # On a failure, say whether the daemon still runs and what it started.
  daemon_state() {
    if gone "$helper_pid"; then echo "the daemon has ended"; else ps -o pid=,stat=,etime=,args= --ppid "$helper_pid" -p "$helper_pid"; fi
    tail -3 "$work/daemon.log"
  }
  patience=120 wait_until answers || fail "the daemon does not answer: $(daemon_state)"
  xsetroot -solid '#ff8000'  # only now: Xvfb clears the root when its last client leaves
  saver xscreensaver-command -activate >/dev/null || fail "not activated: $(tail -3 "$work/daemon.log")"
  running() { pid="$(pgrep -f -x "$work/koravel --root.*")"; }
  wait_until running || fail "koravel is not running: $(tail -3 "$work/daemon.log")"
  parent() { ps -o ppid= -p "$1" | tr -d ' '; }
  [ "$(ps -o comm= -p "$(parent "$(parent "$pid")")")" = "xscreensaver" ] || fail "not the daemon's grandchild"
  wait_until holds_blue root 0.005 || fail "no blue figure under the daemon"
  # It drew what the daemon handed on from the wrapped line.
  [ "$(tr '\0' ' ' <"/proc/$pid/cmdline")" = "$work/koravel --root -BKMODE 0 -text Go on ${indent}now -font DejaVu ${indent}Sans $page " ] ||
    fail "not as wrapped: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
  [ "$(convert "$work/shot.png" -format '%[pixel:p{2,2}]' info:)" = "srgb(255,128,0)" ] || fail "no desktop around it"
  segments="$(segments_of "$pid")"
  saver xscreensaver-command -deactivate >/dev/null
  wait_until gone "$pid" || fail "still running after the deactivation"
  no_segment_left "$segments"
  saver xscreensaver-command -exit >/dev/null
  ;;
memory)
  # 32767 x 32767 pixels take 3 GB. The sanitizer build cannot run under a
  # limit of address space; its allocator is told to refuse more than 1 GB.
  limit=1048576
  if ldd "$program" | grep -q libasan; then
    limit=unlimited
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}allocator_may_return_null=1:max_allocation_size_mb=1024"
  fi
  (ulimit -v "$limit"; exec "$program" -render "$work/m" -frames 1 -size 32767x32767) 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] || fail "status $status: $(head -c 300 "$work/err")"
  grep -q "^koravel: not enough memory" "$work/err" || fail "no message: $(head -c 300 "$work/err")"
  ;;
window-id)
  start_display
  make_host_window 300x200
  for size in 300x200 500x400; do
    "$program" -render "$work/h$size" -frames 1 -size "$size" "${still[@]}" || fail "render $size"
    without_corner "$work/h$size/frame-0001.png" "$work/h$size.png"
  done
  "$program" -window-id "$host_window" "${still[@]}" &
  pid=$!
  wait_until shows "$host_window" "$work/h300x200.png" || fail "window differs from the headless frame"
  xdotool windowsize "$host_window" 500 400
  wait_until shows "$host_window" "$work/h500x400.png" || fail "after the resize the window differs"
  stop_program "$pid" TERM
  ;;
root)
  start_display
  make_host_window 320x240
  # BKMODE 0: the window's white background stays around the figure.
  XSCREENSAVER_WINDOW="$host_window" "$program" -root "${still[@]}" -BKMODE 0 &
  pid=$!
  wait_until holds_blue "$host_window" 0.02 || fail "nothing drawn in XSCREENSAVER_WINDOW"
  [ "$(convert "$work/shot.png" -format '%[pixel:p{310,230}]' info:)" = "srgb(255,255,255)" ] ||
    fail "the window's own background was not kept"
  stop_program "$pid" INT
  # The window going away ends the program too, once it draws there (in
  # red, to tell its frames from the last run's).
  "$program" -window-id "$host_window" "${still[@]}" -COLOR 1 &
  pid=$!
  holds_red() { import -window "$host_window" "$work/shot.png" 2>/dev/null &&
    at_least "$(convert "$work/shot.png" -fx 'r>0.4 && g<0.1 && b<0.1' -format '%[fx:mean]' info:)" 0.02; }
  wait_until holds_red || fail "nothing drawn in the window"
  kill "$helper_pid"; helper_pid=""
  wait_until gone "$pid" || { kill -KILL "$pid"; fail "still running after its window went away"; }
  wait "$pid" || fail "ended with status $? when its window went away"
  ;;
same-as-headless)
  # A moving figure on its own window: after 7 frames it stops drawing, and
  # the window must show exactly the 7th headless frame. The window is large
  # enough that no bounce (whose speed is random) comes in 7 frames.
  start_display
  "$program" -render "$work/h" -frames 7 -size 640x480 -OPTIONP 2 || fail "render"
  without_corner "$work/h/frame-0007.png" "$work/h7.png"
  "$program" -window -geometry 640x480+0+0 -frames 7 -OPTIONP 2 -delay 10 &
  pid=$!
  wait_until found_window || fail "no window"
  wait_until shows "$window" "$work/h7.png" || fail "the window differs from the headless frame"
  import -window "$window" "$work/shown.png"
  [ "$(compare -metric AE "$work/shown.png" "$work/h/frame-0007.png" null: 2>&1)" = "0" ] ||
    fail "the window's corner differs from the headless frame"
  # A key pressed in the window, with no button or pointer event.
  xdotool windowfocus --sync "$window" key space
  wait_until gone "$pid" || { kill -KILL "$pid"; fail "a key did not end it"; }
  wait "$pid" || fail "ended with status $? on a key"
  ;;
text)
  # No glyph in the file: the text alone gives the slots and their count;
  # a space leaves its slot's gap.
  : >"$work/empty.ini"
  front=(-ini "$work/empty.ini" "${still[@]}" -COLORS 0 -COLOR 3 -SIZE 6 -SIZEY 6 -size 480x160)
  for text in "K O R:DejaVu Sans:bold" "に は あ:IPAGothic"; do
    for run in a b; do
      "$program" -render "$work/$run" -frames 2 "${front[@]}" -text "${text%%:*}" -font "${text#*:}" 2>"$work/err" ||
        fail "render $text"
      [ -s "$work/err" ] && fail "$text: $(cat "$work/err")"
    done
    cmp -s "$work/a/frame-0002.png" "$work/b/frame-0002.png" || fail "$text: the frames differ between runs"
    count="$(figures "$work/a/frame-0002.png")"
    [ "$count" = 3 ] || fail "$text: $count figures for 3 characters"
  done
  # Kanji of many strokes keep every contour: nothing left out, nothing
  # crossing, so nothing to say.
  "$program" -render "$work/k" -frames 1 "${front[@]}" -text "優霧戯" -font IPAGothic 2>"$work/err" || fail "render 優霧戯"
  [ -s "$work/err" ] && fail "優霧戯: $(cat "$work/err")"
  # A character no font has is named and its slot left empty.
  "$program" -render "$work/c" -frames 1 "${front[@]}" -text "A$(printf '\U10FFFD')" 2>"$work/err" || fail "render A"
  grep -q "U+10FFFD" "$work/err" || fail "the missing character is not named: $(cat "$work/err")"
  [ "$(figures "$work/c/frame-0001.png")" = 1 ] || fail "A and a missing character are not one figure"
  # A font file that cannot be used is named in one line with the reason; a
  # family fontconfig knows, in other case and blanks, draws without a word.
  mkdir "$work/folder.ttf" && echo "no font" >"$work/words.ttf"
  for font in "none.ttf:no such file" "folder.ttf:it is a folder" "words.ttf:it is not a font FreeType can read"; do
    "$program" -render "$work/f" -frames 1 "${front[@]}" -text A -font "$work/${font%%:*}" 2>"$work/err" || fail "render $font"
    [ "$(cat "$work/err")" = "koravel: cannot use $work/${font%%:*} as a font: ${font#*:}; taking sans-serif" ] ||
      fail "$font: $(cat "$work/err")"
  done
  "$program" -render "$work/f" -frames 1 "${front[@]}" -text A -font "dejavu   SANS" 2>"$work/err" && [ ! -s "$work/err" ] ||
    fail "dejavu   SANS: $(cat "$work/err")"
  # A space shows nothing also where the file's slot holds a glyph: the
  # same frame as from the file without glyphs.
  for ini in "$work/empty.ini" "$(dirname "$program")/res/KORAVEL.ini"; do
    "$program" -render "$work/s" -frames 1 "${front[@]}" -ini "$ini" -OPTIONA2 5 -text "K K" -font "DejaVu Sans:bold" ||
      fail "render K K"
    mv "$work/s/frame-0001.png" "$work/s-$(basename "$ini").png"
  done
  cmp -s "$work/s-empty.ini.png" "$work/s-KORAVEL.ini.png" || fail "the space's slot shows the file's glyph"
  # "AVATAR" in DejaVu Sans spans its advances (kerned: AV, VA, AT and TA)
  # and the ink of its first and last glyph, as hb-shape --show-extents
  # gives them (recorded here where libharfbuzz-bin is missing): 7623 font
  # units, at 80/1493 design units each (the capital height) and SIZEY 10,
  # 408 pixels without perspective. Unkerned it spans 439, in fixed cells 570.
  dejavu="$(fc-match -f '%{file}' 'DejaVu Sans')"
  units=7623
  if command -v hb-shape >/dev/null; then
    units="$(hb-shape --show-extents --no-glyph-names "$dejavu" AVATAR | tr -d '[]' | tr '|' '\n' | tr '=+<>,' '     ' |
      awk 'NR == 1 { left = $4 } { sum += last; last = $3; right = $4 + $6 } END { print sum + right - left }')"
  fi
  "$program" -render "$work/k" -frames 1 "${front[@]}" -SIZE 10 -SIZEY 10 -ENKIN 0 -size 640x160 -text AVATAR \
    -font "$dejavu" || fail "render AVATAR"
  span="$(convert "$work/k/frame-0001.png" -fx 'b>0.4 && r<0.1 && g<0.1' -trim -format '%w' info:)"
  awk -v s="$span" -v u="$units" 'BEGIN { d = s - u * 80 / 1493; exit !(d > -3 && d < 3) }' ||
    fail "AVATAR spans $span pixels for $units font units"
  # A clock at a fixed time shows each second as its text would, and a long
  # text shows a page of nine inked clusters (broken at a space) every 4
  # seconds: frames one second apart, each equal to a frame of its text.
  same_as() {
    "$program" -render "$work/t" -frames 1 "${front[@]}" -text "$2" || fail "render $2"
    cmp -s "$1" "$work/t/frame-0001.png" || fail "$1 does not show $2"
  }
  KORAVEL_CLOCK="2026-12-09 23:59:59" "$program" -render "$work/clock" -frames 2 "${front[@]}" -TIMER 1000 \
    -text "%H:%M:%S %d" || fail "render the clock"
  same_as "$work/clock/frame-0001.png" "23:59:59 09"
  same_as "$work/clock/frame-0002.png" "00:00:00 10"
  "$program" -render "$work/pages" -frames 9 "${front[@]}" -TIMER 1000 -text "ABCDE FGHIJKLMNOP QR" || fail "render pages"
  for page in 1:ABCDE 4:ABCDE 5:FGHIJKLMN 9:OP\ QR; do same_as "$work/pages/frame-000${page%%:*}.png" "${page#*:}"; done
  # Without -text the settings file's own text shows, as the Windows dialog
  # keeps it: TEXT escaped, in FONT (IPAGothic's Latin, not sans-serif's),
  # a new page after PAGE seconds; -text given wins over TEXT alone.
  printf '[KORAVEL]\nTEXT=AB\\u3042 CDEFGHIJKL\nFONT=IPAGothic\nPAGE=1\n' >"$work/kept.ini"
  "$program" -render "$work/kept" -frames 2 "${front[@]}" -TIMER 1000 -ini "$work/kept.ini" || fail "render the kept text"
  "$program" -render "$work/given" -frames 2 "${front[@]}" -TIMER 1000 -text "ABあ CDEFGHIJKL" -font IPAGothic -page 1 ||
    fail "render the text given"
  for k in 1 2; do
    cmp -s "$work/kept/frame-000$k.png" "$work/given/frame-000$k.png" || fail "frame $k of the kept text is not the text given"
  done
  cmp -s "$work/kept/frame-0001.png" "$work/kept/frame-0002.png" && fail "the kept text did not turn its page after PAGE=1"
  "$program" -render "$work/kept-xy" -frames 1 "${front[@]}" -ini "$work/kept.ini" -text XY || fail "render -text XY"
  "$program" -render "$work/given-xy" -frames 1 "${front[@]}" -text XY -font IPAGothic || fail "render XY"
  cmp -s "$work/kept-xy/frame-0001.png" "$work/given-xy/frame-0001.png" || fail "-text does not win over TEXT"
  # A signal while the glyphs are made ends the program between two
  # glyphs: each takes 4 s here, nine 36 s. It comes once the second glyph
  # is begun.
  start_display
  # On a display the clock ticks by the time passing: a minute begun a
  # second before the start shows its successor for a minute.
  "$program" -render "$work/m" -frames 1 "${front[@]}" -text 35 || fail "render 35"
  without_corner "$work/m/frame-0001.png" "$work/m35.png"
  KORAVEL_CLOCK="2026-12-09 12:34:59" "$program" -window -geometry 480x160+0+0 "${front[@]}" -text "%M" &
  pid=$!
  wait_until found_window || fail "no window"
  wait_until shows "$window" "$work/m35.png" || fail "the clock did not tick on the display"
  stop_program "$pid" TERM
  declare -A pids
  for signal in TERM INT; do
    KORAVEL_TEST_CHARACTER_MS=4000 "$program" -window -text ABCDEFGHI 2>"$work/$signal.err" &
    pids[$signal]=$!
  done
  second_begun() { grep -q "glyph 2" "$work/TERM.err" && grep -q "glyph 2" "$work/INT.err"; }
  wait_until second_begun || fail "the glyphs are not made: $(cat "$work/TERM.err")"
  for signal in TERM INT; do kill "-$signal" "${pids[$signal]}"; done
  for signal in TERM INT; do
    patience=20 wait_until gone "${pids[$signal]}" || { kill -KILL "${pids[@]}"; fail "still running after SIG$signal"; }
    wait "${pids[$signal]}" || fail "ended with status $? after SIG$signal"
  done
  ;;
*)
  fail "no case $case_name"
  ;;
esac
echo "PASS: $case_name"
