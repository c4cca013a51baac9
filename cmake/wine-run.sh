#!/bin/sh
# Runs a Windows test program under Wine, in the prefix and on the display
# that scripts/test prepared (it exports WINEPREFIX and DISPLAY).
if [ -z "$WINEPREFIX" ]; then
  echo "wine-run.sh: no WINEPREFIX; run the Windows tests through scripts/test" >&2
  exit 2
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
exec wine "$@"
