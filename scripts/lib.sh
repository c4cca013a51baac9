# Shared by scripts/test and scripts/run: package installation and the Wine
# environment (a display of its own and a temporary prefix).

KORAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

KORAVEL_PACKAGES=(
  cmake make g++ googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 nsis xvfb xdotool imagemagick x11-utils fonts-ipafont-gothic
  libfreetype-dev zlib1g-dev pkg-config fonts-dejavu-core
  libx11-dev libxext-dev libpng-dev
)

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
    $sudo apt-get update -qq >/dev/null || return 1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null || return 1
  fi
  ensure_wine32
}

# wine32 (for the 32-bit Windows build's tests) only where the kernel runs
# 32-bit programs: elsewhere Debian's wine command would take its 32-bit
# loader, which cannot start, and no Windows program would run at all. The
# small libc6:i386 tells which: its loader is a 32-bit program.
ensure_wine32() {
  package_installed wine32:i386 && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  local updated=0
  if ! package_installed libc6:i386; then
    # The architecture must be known to dpkg before the package lists are read.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $sudo dpkg --add-architecture i386 || return 1
    fi
    $sudo apt-get update -qq >/dev/null || return 1
    updated=1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq libc6:i386 >/dev/null || return 1
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || return 0
  echo "Installing: wine32:i386"
  [ $updated -eq 1 ] || $sudo apt-get update -qq >/dev/null || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq wine32:i386 >/dev/null
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
