#!/usr/bin/env bash
# The installer under Wine, each time in a fresh prefix of its own: a silent
# install puts the saver of the system's own width into System32, the shipped
# settings file into the Windows folder and the uninstall entry into the
# native registry view; installing again keeps an edited settings file byte
# for byte; an upgrade over a running saver waits for the restart (3010);
# the silent uninstall removes saver and entry and keeps the file. Every
# install takes the old write grant of Users off the machine's settings
# file (a stand-in icacls.exe logs it: Wine's own changes no rights), also
# after an uninstall; and what an uninstall or upgrade left for the restart
# to do to the saver never undoes a later install.
# The shipped installer is a 32-bit program; where this machine runs no
# 32-bit programs (a kernel without 32-bit support), its amd64 twin, made by
# the build from the same script, is tested on 64-bit Windows instead.
# The twin meets no 32-bit redirection, so what guards against it (the saver
# in the real System32 and not in SysWOW64, the entry in the 64-bit registry
# view and not in the 32-bit one) is its own case, "redirection", which
# exits with 77 (skipped) where only the twin can run.
# Usage: installer.sh lifecycle|redirection KORAVEL-<version>-setup.exe
#        amd64-twin.exe KORAVEL.scr(x86_64) KORAVEL.scr(i686) KORAVEL.ini <version>
#        icacls-stand-in.exe
# (DISPLAY as scripts/test sets it)
set -u
case_name="$1"
setup="$2"
twin="$3"
scr64="$4"
scr32="$5"
shipped_ini="$6"
version="$7"
icacls_stand_in="$8"
source "$(dirname "$0")/waits.sh"
work="$(mktemp -d)"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KORAVEL'
desktop_key='HKCU\Control Panel\Desktop'

finish() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1; fi
  rm -rf "$work"
}
trap finish EXIT

for file in "$setup" "$twin" "$scr64" "$scr32" "$shipped_ini" "$icacls_stand_in"; do
  [ -f "$file" ] || { echo "FAIL: $file is missing (build the windows-x86 preset, then the installer preset)" >&2; exit 1; }
done

# Reads a registry key (all its values at once: every Wine program start is
# slow) into the file named by its second argument; fails when reg does, so
# a key that cannot be read never passes for one without the value.
read_key() {
  local status
  wine reg query "$1" ${3:-} >"$2.raw" 2>/dev/null
  status=$?
  tr -d '\r' <"$2.raw" >"$2"
  [ $status -eq 0 ] || fail "reg query $1 ${3:-} exited with $status"
  return $status
}

# Whether the uninstall entry is listed under the uninstall key of a
# registry view: the key above it is read, so a failing reg is a failure.
entry_listed() {
  read_key "${uninstall_key%\\*}" "$work/listing" "$1" && grep -qi '\\Uninstall\\KORAVEL$' "$work/listing"
}

# Prints the data of one value from a file read_key wrote; nothing if missing.
value_of() {
  awk -v name="$2" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]+/, ""); print; exit }' "$1"
}

# Waits for a shell condition: the uninstaller copies itself to a temporary
# folder and goes on from there after the first process has ended.
wait_for() {
  wait_until "$e2e_seconds" eval "$1"
}

# The uninstaller's temporary copy (%TEMP%\~nsuN.tmp\Un.exe) removes the
# folder, then leaves itself for the restart: its process is gone only when
# both are done. Wine shows a process by its Windows command line.
wait_for_uninstall() {
  wait_for '[ ! -e "$WINEPREFIX/drive_c/Program Files/KORAVEL" ] && ! pgrep -f "\.tmp.Un\.exe" >/dev/null'
}

# The restart's pending file operations, one line (none: an empty line).
session_key='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager'
pending_operations() {
  read_key "$session_key" "$work/session" && grep -i 'PendingFileRenameOperations' "$work/session"
  return 0
}

# The other files' names in them, one a line, in their order.
other_pending_names() {
  pending_operations | sed -e 's/.*REG_MULTI_SZ *//' -e 's/\\0/\n/g' | grep -v '^$' | grep -viE 'KORAVEL\.(scr|new)$'
}

# Starts the installed saver, so that its file is in use, and waits for it.
start_installed_saver() {
  wine 'C:\windows\system32\KORAVEL.scr' /s &
  saver=$!
  find_window '^Screen Saver$' >/dev/null || fail "$1: the installed saver did not start"
}

# Ends it; its window goes when the server has let go of the process and
# of its file.
stop_installed_saver() {
  kill "$saver"
  wait "$saver" 2>/dev/null
  wait_until "$e2e_seconds" window_gone '^Screen Saver$' ||
    fail "the saver's window stayed after its end"
}

fresh_prefix() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1
  export WINEPREFIX="$work/$1"
  mkdir -p "$WINEPREFIX"
  # A server that stays up makes each of the many short programs quick.
  WINEARCH="$2" wineserver -p
  WINEARCH="$2" wineboot -i >/dev/null 2>&1
  windows="$WINEPREFIX/drive_c/windows"
}

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  runs_32bit=1
else
  runs_32bit=0
fi

if [ "$case_name" = redirection ]; then
  if [ $runs_32bit -eq 0 ]; then
    echo "NOT RUN: System32/SysWOW64 and registry-view checks: this machine runs no 32-bit programs, and the amd64 twin meets no redirection"
    exit 77
  fi
  fresh_prefix win64 win64
  wine "$setup" /S || fail "silent install exited with $?"
  cmp -s "$windows/system32/KORAVEL.scr" "$scr64" || fail "System32 does not hold the 64-bit KORAVEL.scr"
  [ -e "$windows/syswow64/KORAVEL.scr" ] && fail "the saver went into SysWOW64"
  entry_listed /reg:64 || fail "no uninstall entry in the 64-bit registry view"
  entry_listed /reg:32 && fail "the uninstall entry went into the 32-bit view"
  # 32-bit Windows gets the 32-bit saver.
  fresh_prefix win32 win32
  wine "$setup" /S || fail "silent install on 32-bit Windows exited with $?"
  cmp -s "$windows/system32/KORAVEL.scr" "$scr32" || fail "32-bit Windows did not get the 32-bit KORAVEL.scr"
  read_key "$uninstall_key" "$work/entry"
  [ "$(value_of "$work/entry" DisplayVersion)" = "$version" ] || fail "no uninstall entry on 32-bit Windows"
  [ $failures -eq 0 ] && echo "installer redirection: all checks passed"
  [ $failures -eq 0 ]
  exit
fi

if [ $runs_32bit -eq 0 ]; then
  echo "NOTE: this machine runs no 32-bit programs: testing the installer's amd64 twin on 64-bit Windows only"
  setup="$twin"
fi

# --- install, install again, uninstall (64-bit Windows) ---------------------
fresh_prefix win64 win64
system="$windows/system32"
# Wine would run its own icacls.exe from System32 in place of another file.
cp "$icacls_stand_in" "$system/icacls.exe"
wine reg add 'HKCU\Software\Wine\DllOverrides' /v icacls.exe /d native /f >/dev/null 2>&1
grant_removal="\"C:\\windows\\system32\\icacls.exe\" \"C:\\windows\\KORAVEL.ini\" /remove:g *S-1-5-32-545"
wine "$setup" /S || fail "silent install exited with $?"
cmp -s "$system/KORAVEL.scr" "$scr64" || fail "System32 does not hold the 64-bit KORAVEL.scr"
cmp -s "$windows/KORAVEL.ini" "$shipped_ini" || fail "the Windows folder does not hold the shipped KORAVEL.ini"
read_key "$uninstall_key" "$work/entry" /reg:64
[ "$(value_of "$work/entry" DisplayVersion)" = "$version" ] ||
  fail "no uninstall entry for $version in the 64-bit registry view"
[ "$(value_of "$work/entry" QuietUninstallString)" = '"C:\Program Files\KORAVEL\uninstall.exe" /S' ] ||
  fail "quiet uninstall command: $(value_of "$work/entry" QuietUninstallString)"
estimated="$(value_of "$work/entry" EstimatedSize)"
[ -n "$estimated" ] && [ "$estimated" != "0x0" ] || fail "EstimatedSize is '$estimated'"
read_key "$desktop_key" "$work/desktop" &&
  [ -n "$(value_of "$work/desktop" SCRNSAVE.EXE)" ] && fail "a silent install without /SETSAVER chose the screen saver"

# The user's own settings and glyphs survive an upgrade.
printf '[KORAVEL]\r\nTIMER=123\r\n[MOJI ZAHYO]\r\nZAHYO1=MINE,1\r\n' >"$windows/KORAVEL.ini"
cp "$windows/KORAVEL.ini" "$work/edited.ini"
wine "$setup" /S /SETSAVER || fail "second silent install exited with $?"
cmp -s "$windows/KORAVEL.ini" "$work/edited.ini" || fail "installing again changed the user's KORAVEL.ini"
read_key "$desktop_key" "$work/desktop"
[ "$(value_of "$work/desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\KORAVEL.scr' ] ||
  fail "/SETSAVER: SCRNSAVE.EXE is '$(value_of "$work/desktop" SCRNSAVE.EXE)'"
[ "$(value_of "$work/desktop" ScreenSaveActive)" = "1" ] || fail "/SETSAVER: the screen saver is not active"

# An upgrade while the saver runs; the running copy is marked (bytes after
# the image change nothing) to tell it from the new one. 3010 (restart
# needed) reaches a Unix shell as its low 8 bits.
printf 'older' >>"$system/KORAVEL.scr" && cp "$system/KORAVEL.scr" "$work/older.scr"
start_installed_saver "upgrade in use"
wine "$setup" /S; status=$?
[ $status -eq $((3010 % 256)) ] || fail "a silent upgrade with the saver in use exited with $status, not 3010"
cmp -s "$system/KORAVEL.scr" "$work/older.scr" || fail "the saver in use was changed before the restart"
pending_operations | grep -qi 'KORAVEL\.new.*KORAVEL\.scr' || fail "no replacement scheduled for the restart"
stop_installed_saver
wineboot -r >/dev/null 2>&1
cmp -s "$system/KORAVEL.scr" "$scr64" || fail "the restart did not put the new saver in place"
# A saver that cannot be written, not even beside the old one, fails.
mv "$system/KORAVEL.scr" "$work/kept.scr" && mkdir "$system/KORAVEL.scr" "$system/KORAVEL.new"
wine "$setup" /S; status=$?
[ $status -eq 2 ] || fail "a silent install that cannot write the saver exited with $status, not 2"
rmdir "$system/KORAVEL.scr" "$system/KORAVEL.new" && mv "$work/kept.scr" "$system/KORAVEL.scr"

# The pages follow the UI language: Japanese, else English. The licence
# comes first; Enter agrees and shows the options (ended there).
for pages in 'ja_JP.UTF-8=KORAVEL セットアップ:使用許諾契約=KORAVEL セットアップ:インストール オプション' \
  'en_US.UTF-8=KORAVEL Setup: License Agreement=KORAVEL Setup: Installation Options'; do
  language="${pages%%=*}" titles="${pages#*=}"
  LANG="$language" LC_ALL="$language" wine "$setup" & shown=$!
  if page="$(find_window "^${titles%%=*}\$")"; then
    xdotool key --window "$page" Return
    find_window "^${titles#*=}\$" >/dev/null || fail "no page titled \"${titles#*=}\" after the licence under LANG=$language"
  else
    fail "no installer page titled \"${titles%%=*}\" under LANG=$language"
  fi
  kill $shown; wait $shown 2>/dev/null
done

wine "C:\\Program Files\\KORAVEL\\uninstall.exe" /S
# The folder goes last, after the entry.
wait_for_uninstall || fail "the silent uninstall left its folder or did not end"
[ -e "$system/KORAVEL.scr" ] && fail "the silent uninstall left the saver"
entry_listed /reg:64 && fail "the silent uninstall left the uninstall entry"
cmp -s "$windows/KORAVEL.ini" "$work/edited.ini" || fail "the uninstall did not keep the user's KORAVEL.ini"
read_key "$desktop_key" "$work/desktop" &&
  [ -n "$(value_of "$work/desktop" SCRNSAVE.EXE)" ] && fail "the removed saver is still the screen saver"

# An upgrade left a replacement waiting for the restart; the saver is no
# longer in use at the next install, which puts its own in place at once:
# the older replacement must not follow it at the restart.
wine "$setup" /S || fail "install after the uninstall exited with $?"
start_installed_saver "waiting replacement"
wine "$setup" /S
pending_operations | grep -qi 'KORAVEL\.new' || fail "no replacement waiting for the restart"
printf 'older' >>"$system/KORAVEL.new"
stop_installed_saver
wine "$setup" /S || fail "install over a waiting replacement exited with $?"
pending_operations | grep -qiE 'KORAVEL\.(scr|new)' && fail "the waiting replacement is still scheduled: $(pending_operations)"
[ -e "$system/KORAVEL.new" ] && fail "the waiting replacement was left in System32"

# The saver was in use at the uninstall, which leaves its delete for the
# restart; the later install must outlive that restart. The machine's file
# stays through the uninstall, and the install takes the grant off it again.
start_installed_saver "uninstall in use"
wine "C:\\Program Files\\KORAVEL\\uninstall.exe" /S
wait_for_uninstall || fail "the uninstall in use left its folder or did not end"
pending_operations | grep -qi 'KORAVEL\.scr' || fail "the uninstall of a saver in use scheduled no delete"
stop_installed_saver
# The uninstaller's temporary copy waits for the restart too.
other_pending_names >"$work/others"
[ -s "$work/others" ] || fail "no other file's operation waits for the restart"
: >"$system/icacls.log"
wine "$setup" /S || fail "install after an uninstall in use exited with $?"
other_pending_names | cmp -s - "$work/others" || fail "the install changed other files' operations: $(pending_operations)"
grep -qxF "$grant_removal" <(tr -d '\r' <"$system/icacls.log") ||
  fail "the install after an uninstall left the Users' grant: icacls ran as '$(cat "$system/icacls.log")'"
pending_operations | grep -qi 'KORAVEL\.scr' && fail "the saver's delete is still scheduled: $(pending_operations)"
wineboot -r >/dev/null 2>&1
cmp -s "$system/KORAVEL.scr" "$scr64" || fail "the restart deleted the saver installed after the uninstall"

[ $failures -eq 0 ] && echo "installer: all checks passed"
[ $failures -eq 0 ]
