# Shared by scripts/test and scripts/run: package installation and the Wine
# environment (a display of its own and a temporary prefix).

KORAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

KORAVEL_PACKAGES=(
  cmake make g++ googletest libbenchmark-dev libboost1.74-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 nsis xvfb xdotool imagemagick x11-utils fonts-ipafont-gothic
  libfreetype-dev zlib1g-dev pkg-config fonts-dejavu-core
  libx11-dev libxext-dev libpng-dev libfontconfig-dev
  libharfbuzz-dev libfribidi-dev libglib2.0-dev libharfbuzz-bin
  xscreensaver x11-xserver-utils procps
  clang-14 libclang-rt-14-dev
  debhelper dpkg-dev lintian fakeroot
  locales
)

# The project's version, from project(KORAVEL VERSION ...) in CMakeLists.txt.
koravel_version() {
  sed -n 's/^project(KORAVEL VERSION \([0-9][0-9.]*\) .*/\1/p' "$KORAVEL_ROOT/CMakeLists.txt"
}

# Reads the package lists. A mirror that is re-syncing one of its lists (a
# file of unexpected size) makes apt-get update fail although every other
# list is fresh: that is reported and the work goes on, since the install
# that follows decides whether what is needed can be had.
update_package_lists() {
  local output
  if ! output="$("$@" apt-get update -qq 2>&1)"; then
    echo "NOTE: apt-get update reported errors; going on, the install decides:" >&2
    grep -E '^(E|W):' <<<"$output" | head -5 | sed 's/^/  /' >&2
  fi
  return 0
}

package_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Installs whatever of KORAVEL_PACKAGES is missing; says nothing when all is there.
ensure_packages() {
  local missing=()
  local package
  for package in "${KORAVEL_PACKAGES[@]}"; do
    package_installed "$package" || missing+=("$package")
  done
  if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    update_package_lists $sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null || return 1
  fi
  ensure_locales || return 1
  ensure_wine32
}

# Wine takes the user's UI language from LANG, but only for a locale that
# glibc has generated: the Windows tests run the dialog in Japanese and in
# English. Generates the two when either is missing; says nothing otherwise.
ensure_locales() {
  local have
  have="$(locale -a 2>/dev/null)"
  if grep -qix 'ja_JP.utf8' <<<"$have" && grep -qix 'en_US.utf8' <<<"$have"; then
    return 0
  fi
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Generating locales: ja_JP.UTF-8 en_US.UTF-8"
  $sudo sed -i -E 's/^# *((ja_JP|en_US)\.UTF-8 UTF-8)$/\1/' /etc/locale.gen || return 1
  $sudo locale-gen >/dev/null
}

# wine32 (for the 32-bit Windows build's tests) only where the kernel runs
# 32-bit programs: elsewhere Debian's wine command would take its 32-bit
# loader, which cannot start, and no Windows program would run at all. The
# small libc6:i386 tells which: its loader is a 32-bit program. wine32 is
# optional: when it cannot be had, that is said and the 32-bit tests are
# built, not run, as on a kernel without 32-bit support.
ensure_wine32() {
  package_installed wine32:i386 && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  local updated=0
  if ! package_installed libc6:i386; then
    # The architecture must be known to dpkg before the package lists are read.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386 || { wine32_unavailable "dpkg --add-architecture i386 failed"; return 0; }
    fi
    update_package_lists $sudo
    updated=1
    if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq libc6:i386 >/dev/null; then
      wine32_unavailable "libc6:i386 could not be installed"
      return 0
    fi
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || return 0
  echo "Installing: wine32:i386"
  [ $updated -eq 1 ] || update_package_lists $sudo
  if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq wine32:i386 >/dev/null; then
    wine32_unavailable "wine32:i386 could not be installed"
    # A half-installed wine32 would make the wine command take the 32-bit
    # loader: take away what did come, so the 64-bit programs still run.
    package_installed wine32:i386 || DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq wine32:i386 >/dev/null 2>&1
  fi
  return 0
}

wine32_unavailable() {
  echo "NOTE: $1: the 32-bit Windows tests will be built, not run" >&2
}

# Whether this machine runs 32-bit programs: Debian's 32-bit Wine loader
# starts only on a kernel with 32-bit support.
can_run_32bit_programs() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Starts Xvfb on a free display and boots a temporary Wine prefix on it.
# Exports DISPLAY, WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES. The display
# must exist before the first Wine program of the prefix runs: a wineserver
# started without one never shows a window.
start_wine_env() {
  local width="${1:-1024}" height="${2:-768}"
  KORAVEL_WINE_TMP="$(mktemp -d /tmp/koravel-wine.XXXXXX)"
  # Debian's wine command takes the 32-bit loader whenever wine32 is
  # installed, and on a kernel without 32-bit support that loader cannot
  # start at all (ensure_wine32 never installs it there, but a machine may
  # have it). Then the 64-bit loader runs every program that can run: wine
  # (and wine-stable, which wineboot and the other tools call) lead to it
  # from a folder put first on PATH.
  if [ -e /usr/lib/wine/wine ] && ! can_run_32bit_programs && [ -x /usr/lib/wine/wine64 ]; then
    mkdir -p "$KORAVEL_WINE_TMP/bin"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$KORAVEL_WINE_TMP/bin/wine"
    chmod +x "$KORAVEL_WINE_TMP/bin/wine"
    ln -s wine "$KORAVEL_WINE_TMP/bin/wine-stable"
    KORAVEL_SAVED_PATH="$PATH"
    export PATH="$KORAVEL_WINE_TMP/bin:$PATH"
  fi
  export WINEPREFIX="$KORAVEL_WINE_TMP/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # The programs run with a Japanese UI language, so the dialog shows the
  # texts it has always shown; a test that wants English sets LANG itself.
  # stop_wine_env gives the caller's own back.
  KORAVEL_SAVED_LANG="${LANG-}"
  KORAVEL_SAVED_LC_ALL="${LC_ALL-}"
  export LANG=ja_JP.UTF-8
  unset LC_ALL
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "${width}x${height}x24" 3>"$KORAVEL_WINE_TMP/display" \
    >"$KORAVEL_WINE_TMP/xvfb.log" 2>&1 &
  KORAVEL_XVFB_PID=$!
  local waited=0
  while [ ! -s "$KORAVEL_WINE_TMP/display" ] && [ $waited -lt 600 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if [ ! -s "$KORAVEL_WINE_TMP/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$KORAVEL_WINE_TMP/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '\n' <"$KORAVEL_WINE_TMP/display")"
  # Keep the server up between programs, so each start is much quicker. It
  # starts before the boot, so the prefix's services run from the boot on with
  # their output discarded: services started later by a test program would
  # inherit, and hold open, the output pipe of whoever runs the tests.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  wineboot -i >/dev/null 2>&1
  # Xvfb has no window manager: unmanaged windows close without a 2 s wait.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Windows carries a Japanese UI font (MS UI Gothic) that the dialog font
  # links to for characters it lacks; IPAGothic stands in for it here, so
  # the configuration dialog's Japanese captions show on any system language.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d 'IPAGothic' /f >/dev/null 2>&1
}

# Ends everything start_wine_env started and removes the prefix.
stop_wine_env() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
  fi
  if [ -n "${KORAVEL_XVFB_PID:-}" ]; then
    kill "$KORAVEL_XVFB_PID" >/dev/null 2>&1
    wait "$KORAVEL_XVFB_PID" 2>/dev/null
    KORAVEL_XVFB_PID=""
  fi
  if [ -n "${KORAVEL_SAVED_LANG+set}" ]; then
    if [ -n "$KORAVEL_SAVED_LANG" ]; then export LANG="$KORAVEL_SAVED_LANG"; else unset LANG; fi
    if [ -n "$KORAVEL_SAVED_LC_ALL" ]; then export LC_ALL="$KORAVEL_SAVED_LC_ALL"; fi
    unset KORAVEL_SAVED_LANG KORAVEL_SAVED_LC_ALL
  fi
  if [ -n "${KORAVEL_SAVED_PATH:-}" ]; then
    export PATH="$KORAVEL_SAVED_PATH"
    KORAVEL_SAVED_PATH=""
  fi
  if [ -n "${KORAVEL_WINE_TMP:-}" ]; then
    rm -rf "$KORAVEL_WINE_TMP"
    KORAVEL_WINE_TMP=""
  fi
}

# Configures and builds one CMake preset, showing output only on failure.
build_preset() {
  local preset="$1" log
  log="$(mktemp)"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    echo "Build of preset $preset failed" >&2
    return 1
  fi
  rm -f "$log"
}

# The fuzz targets, built by the fuzz preset as build/fuzz/fuzz/fuzz-<target>.
KORAVEL_FUZZ_TARGETS=(settings-frames profile-text command-line dialog-rules glyph-check glyph-maker native-outline)

# The repository's corpus folders a target starts from: its own, and the
# named settings files for every target that reads settings text.
fuzz_corpora() {
  local folder
  for folder in "$KORAVEL_ROOT/fuzz/corpus/$1" "$KORAVEL_ROOT/fuzz/corpus/settings"; do
    case "$1" in command-line | glyph-maker | native-outline) [ "${folder##*/}" = settings ] && continue ;; esac
    [ -d "$folder" ] && echo "$folder"
  done
  return 0
}

# Runs one target for SECONDS in the folder WORK: inputs it finds go to
# WORK/corpus (never into the repository), a crashing input to WORK/, its
# output to WORK/log. Fails when the target found anything.
run_fuzz_target() {
  local target="$1" seconds="$2" work="$3"
  local dictionary="$KORAVEL_ROOT/build/fuzz/fuzz/settings.dict"
  [ "$target" = command-line ] && dictionary="$KORAVEL_ROOT/fuzz/command-line.dict"
  mkdir -p "$work/corpus"
  # shellcheck disable=SC2046
  "$KORAVEL_ROOT/build/fuzz/fuzz/fuzz-$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -dict="$dictionary" -print_final_stats=1 -artifact_prefix="$work/" \
    "$work/corpus" $(fuzz_corpora "$target") >"$work/log" 2>&1
}

# One line per target: its figures, or what it found and the input that
# shows it (path, and the head of the file in base64).
report_fuzz_target() {
  local target="$1" work="$2" status="$3"
  local log="$work/log" runs rate cov ft
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')"
  rate="$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$')"
  cov="$(grep -oE '(DONE|pulse|NEW|REDUCE|INITED) +cov: [0-9]+' "$log" | tail -1 | grep -o '[0-9]*$')"
  ft="$(grep -oE ' ft: [0-9]+' "$log" | tail -1 | grep -o '[0-9]*$')"
  if [ "$status" -eq 0 ]; then
    echo "fuzz $target: passed, ${runs:-?} runs, ${rate:-?} exec/s, cov ${cov:-?}, ft ${ft:-?}"
    return 0
  fi
  echo "fuzz $target: FAILED after ${runs:-?} runs"
  grep -E 'property broken|^ +[^ ].*$|ERROR: |SUMMARY: ' "$log" | grep -v '^ *#' | head -8
  local input
  for input in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work"/slow-unit-*; do
    [ -f "$input" ] || continue
    echo "  input: $input ($(wc -c <"$input") bytes); head in base64:"
    head -c 384 "$input" | base64 | sed 's/^/    /'
  done
  [ -n "$(ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null)" ] || tail -5 "$log" | sed 's/^/  /'
  return 1
}

# Runs every fuzz target for SECONDS, PARALLEL at a time, each in its own
# folder under ROOT, and reports them in order. Sets FUZZ_PASSED and
# FUZZ_FAILED (one per target).
run_fuzz_targets() {
  local seconds="$1" parallel="$2" root="$3"
  FUZZ_PASSED=0
  FUZZ_FAILED=0
  local -A status=()
  local target running=0 pids=() names=()
  for target in "${KORAVEL_FUZZ_TARGETS[@]}"; do
    rm -f "$root/$target"/crash-* "$root/$target"/leak-* "$root/$target"/timeout-* "$root/$target"/oom-* "$root/$target"/slow-unit-*
    run_fuzz_target "$target" "$seconds" "$root/$target" &
    pids+=($!)
    names+=("$target")
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
      wait "${pids[0]}"; status[${names[0]}]=$?
      pids=("${pids[@]:1}"); names=("${names[@]:1}")
      running=$((running - 1))
    fi
  done
  local i
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}"; status[${names[$i]}]=$?
  done
  for target in "${KORAVEL_FUZZ_TARGETS[@]}"; do
    if report_fuzz_target "$target" "$root/$target" "${status[$target]}"; then
      FUZZ_PASSED=$((FUZZ_PASSED + 1))
    else
      FUZZ_FAILED=$((FUZZ_FAILED + 1))
    fi
  done
}

# Builds the Debian package (dpkg-buildpackage -b) from a copy of the
# checkout's files (tracked and new ones, not what .gitignore names) in a
# temporary folder, since dpkg-buildpackage writes beside the source and
# builds inside it; the checkout stays as it was. Puts
# koravel_<version>-<revision>_<arch>.deb into OUTDIR and prints its path;
# on failure shows the build's output.
build_debian_package() {
  local outdir="$1" work log deb
  work="$(mktemp -d /tmp/koravel-deb.XXXXXX)"
  mkdir -p "$work/koravel" "$outdir"
  (cd "$KORAVEL_ROOT" && git ls-files -z --cached --others --exclude-standard |
     xargs -0 -r sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
     tar --null -T - -cf -) | tar -xf - -C "$work/koravel" || { rm -rf "$work"; return 1; }
  log="$work/build.log"
  if ! (cd "$work/koravel" && DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}" \
          dpkg-buildpackage -b -us -uc) >"$log" 2>&1; then
    cat "$log" >&2
    echo "dpkg-buildpackage failed" >&2
    rm -rf "$work"
    return 1
  fi
  deb="$(ls "$work"/koravel_*.deb)"
  mv "$deb" "$outdir/" && echo "$outdir/${deb##*/}"
  local status=$?
  rm -rf "$work"
  return $status
}
