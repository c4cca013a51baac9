#!/usr/bin/env bash
# The Debian package as a user gets it:
#   debian-package.sh VERSION PROGRAM
# builds koravel_VERSION-1_<arch>.deb from a copy of the checkout, checks it
# with lintian (no error), installs it with dpkg, renders frames headless with
# the installed program and its installed settings (the same frames as the
# build tree's PROGRAM with res/KORAVEL.ini), purges it and checks that none
# of its files is left. Needs root, or sudo without a password; skips itself
# (exit 77) without them, and where koravel is installed already, so it never
# removes a user's copy.
set -u
version="$1"
program="$2"
source "$(dirname "$0")/../../scripts/lib.sh"
work="$(mktemp -d /tmp/koravel-debian.XXXXXX)"
installed=0
fail() { echo "FAIL: $*" >&2; exit 1; }
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi; }
cleanup() {
  [ $installed -eq 1 ] && as_root dpkg --purge koravel >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

skip() { echo "SKIP: $*" >&2; exit 77; }
as_root true 2>/dev/null || skip "needs root or sudo without a password"
package_installed koravel && skip "koravel is installed on this machine already; the test would replace it"

deb="$(build_debian_package "$work")" || fail "the package was not built"
[ "${deb##*/}" = "koravel_${version}-1_$(dpkg --print-architecture).deb" ] || fail "unexpected package ${deb##*/}"
lintian --fail-on error "$deb" 2>/dev/null || fail "lintian reports errors"
[ "$(dpkg-deb -f "$deb" Recommends)" = xscreensaver ] || fail "does not recommend xscreensaver"
dpkg-deb -f "$deb" Depends | grep -q 'libx11-6.*libxext6' || fail "Depends lacks the X libraries"

installed=1
as_root dpkg -i "$deb" >/dev/null || fail "dpkg -i failed"
shipped=(/usr/libexec/xscreensaver/koravel /usr/share/xscreensaver/config/koravel.xml
         /usr/share/koravel/KORAVEL.ini /usr/share/man/man6/koravel.6.gz /usr/share/doc/koravel/copyright)
for path in "${shipped[@]}"; do [ -f "$path" ] || fail "$path not installed"; done
cmp -s /usr/share/koravel/KORAVEL.ini "$KORAVEL_ROOT/res/KORAVEL.ini" || fail "installed KORAVEL.ini differs from res/KORAVEL.ini"

# No settings of the user's own, no display: the installed program must find
# the installed settings, and draws STAR and HEART as the build tree's does.
mkdir -p "$work/home"
clean_env=(env -u DISPLAY -u XDG_CONFIG_HOME -u KORAVEL_INI_DIR HOME="$work/home")
"${clean_env[@]}" /usr/libexec/xscreensaver/koravel -render "$work/installed" -frames 8 -size 320x240 ||
  fail "the installed program did not render"
[ -f "$work/installed/frame-0008.png" ] && [ ! -e "$work/installed/frame-0009.png" ] || fail "wrong frame files"
drawn="$(convert "$work/installed/frame-0008.png" -fx 'r+g+b>0' -format '%[fx:mean]' info:)"
awk -v d="$drawn" 'BEGIN { exit !(d >= 0.01) }' || fail "no figure drawn (share of lit pixels $drawn)"
"${clean_env[@]}" "$program" -render "$work/tree" -frames 8 -size 320x240 -ini "$KORAVEL_ROOT/res/KORAVEL.ini" ||
  fail "the build tree's program did not render"
for k in 0001 0008; do
  cmp -s "$work/installed/frame-$k.png" "$work/tree/frame-$k.png" || fail "frame $k differs from the build tree's"
done

mapfile -t owned < <(dpkg -L koravel)
as_root dpkg --purge koravel >/dev/null || fail "dpkg --purge failed"
installed=0
package_installed koravel && fail "still installed after the purge"
for path in "${owned[@]}"; do
  [ -e "$path" ] || continue
  # A folder other packages share stays; one of koravel's own must go.
  [ -d "$path" ] && dpkg -S "$path" >/dev/null 2>&1 && continue
  [ -d "$path" ] && [ -n "$(ls -A "$path")" ] && continue
  fail "$path left after the purge"
done
exit 0
