# Shared by scripts/test and scripts/run: package installation and the Wine
# environment (a display of its own and a temporary prefix).

KORAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

KORAVEL_PACKAGES=(
  cmake make g++ googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64 xvfb xdotool imagemagick x11-utils fonts-ipafont-gothic
  libfreetype-dev zlib1g-dev pkg-config fonts-dejavu-core
  libx11-dev libxext-dev libpng-dev
)

# Installs whatever of KORAVEL_PACKAGES is missing; says nothing when all is there.
ensure_packages() {
  local missing=()
  local package
  for package in "${KORAVEL_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq >/dev/null || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Starts Xvfb on a free display and boots a temporary Wine prefix on it.
# Exports DISPLAY, WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES. The display
# must exist before the first Wine program of the prefix runs: a wineserver
# started without one never shows a window.
start_wine_env() {
  local width="${1:-1024}" height="${2:-768}"
  KORAVEL_WINE_TMP="$(mktemp -d /tmp/koravel-wine.XXXXXX)"
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
