#!/usr/bin/env bash
# Users named outside the system's ANSI code page: 山田 on an English system
# (code page 1252) and José on a Japanese one (932). The dialog's first OK
# makes the user's own file in their own folder from the machine's file,
# which stays as it was, and the next dialog reads it (the end-to-end case
# ConfigSwitch.OkWrites...).
# In a prefix of its own, booted as 山田; Wine makes José's profile folder
# when his first program starts, as Windows does at a first logon.
# Usage: usernames.sh koravel_e2e_tests.exe (DISPLAY as scripts/test sets it)
set -u
tests="$1"
work="$(mktemp -d /tmp/koravel-usernames.XXXXXX)"
export WINEPREFIX="$work/prefix"
failures=0

finish() {
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "$work"
}
trap finish EXIT

USER=山田 wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
for case in "山田 en_US.UTF-8" "José ja_JP.UTF-8"; do
  read -r user language <<<"$case"
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  USER="$user" LANG="$language" LC_ALL="$language" wine "$tests" \
    --gtest_filter=ConfigSwitch.OkWritesEverySettingToTheUsersFileAndEndsWithOneCancelWritesNothing ||
    { echo "FAIL: the user's own file of $user ($language)" >&2; failures=$((failures + 1)); }
  # The case removes the file it made; the folder the first save made stays.
  [ -d "$WINEPREFIX/drive_c/users/$user/AppData/Roaming/KORAVEL" ] ||
    { echo "FAIL: no settings folder in drive_c/users/$user/AppData/Roaming" >&2; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] && echo "user names: all cases passed"
[ "$failures" -eq 0 ]
