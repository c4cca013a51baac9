#!/usr/bin/env bash
# scripts/lib.sh's package setup against a mirror that is re-syncing one of
# its lists: apt-get update fails, yet what is asked for installs. Stand-ins
# for apt-get, dpkg, dpkg-query and locale on PATH play that mirror; the
# setup must go on, and a wine32 that cannot be had must not stop it.
set -u
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d /tmp/koravel-setup.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >>"$STUB_LOG"
case "$*" in
  *update*)
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100 ;;
  *libc6:i386*) exit 100 ;;
esac
exit 0
STUB
# Every package but one is installed; libc6:i386 and wine32:i386 are not.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for last; do :; done
case "$last" in cmake|*:i386) exit 1 ;; esac
printf 'install ok installed'
STUB
printf '#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386\nexit 0\n' >"$work/bin/dpkg"
printf '#!/bin/sh\nprintf "C\\nja_JP.utf8\\nen_US.utf8\\n"\n' >"$work/bin/locale"
chmod +x "$work/bin"/*

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

export STUB_LOG="$work/calls"
output="$(PATH="$work/bin:$PATH" bash -c 'source "$1/scripts/lib.sh"; id() { echo 0; }; ensure_packages' _ "$root" 2>&1)"
status=$?
[ $status -eq 0 ] || fail "the setup stopped (status $status) at a list the mirror was re-syncing: $output"
grep -q 'apt-get install -y -qq cmake' "$STUB_LOG" || fail "the missing package was not installed: $(cat "$STUB_LOG")"
grep -q 'Mirror sync in progress' <<<"$output" || fail "apt-get update's error was not reported: $output"
grep -q 'built, not run' <<<"$output" || fail "a wine32 that cannot be had was not said: $output"

[ $failures -eq 0 ] && echo "package setup: passed"
[ $failures -eq 0 ]
