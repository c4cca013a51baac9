; The KORAVEL installer. Every name, path and the version come from the build
; as -D defines (see CMakeLists.txt beside this file):
;   PRODUCT, VERSION, VERSION_QUAD, PUBLISHER, OUTFILE, ICON,
;   SCR_NAME (the saver's file name), SCR64 and SCR32 (the two builds),
;   INI_NAME and INI (the shipped settings file), LICENSE (the licence, with
;   Windows line ends); optionally TARGET, the
;   installer's own architecture (the shipped one is 32-bit, so it runs on
;   every Windows; the build also makes an amd64 twin for machines that run
;   no 32-bit programs, to test the same script there).
;
; The saver goes into the system folder, 64-bit on 64-bit Windows and 32-bit
; otherwise. A saver in use (a preview, another session's saver) is replaced
; at the next restart: the installer says so, and a silent install exits
; with 3010. A saver that cannot be written at all fails the install (exit
; code 2 when silent). What an earlier uninstall or upgrade left for the
; restart to do to the saver (delete it, or move an older replacement onto
; it) is dropped once this install has put its saver in place, so the
; restart never undoes a later install. The settings file goes into the
; Windows folder, but only when there is none yet: it holds the machine's
; settings and glyphs, which every user reads until their first save makes a
; file of their own in %APPDATA%\KORAVEL. Only administrators may change the
; machine's file.
;
; The installer runs elevated, so the current user's registry is the
; administrator's, also when a standard user typed an administrator's
; password: it does not choose the screen saver, and says to choose it in
; Screen Saver Settings. Silent mode: /S; /SETSAVER also makes KORAVEL the
; screen saver of the account the installer runs as, for a deployment that
; runs it as the user it installs for.

Unicode true
!ifdef TARGET
  Target ${TARGET}
  ; A 64-bit installer knows at compile time that it runs on 64-bit Windows,
  ; which leaves the other branch of every such test unused.
  !pragma warning disable 6012
!endif
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define UNINSTALLER "uninstall.exe"
; Users (S-1-5-32-545): earlier versions let them modify the machine's
; settings file.
!define USERS_SID "*S-1-5-32-545"
; The new saver waits under this name while the old one is in use.
!define SCR_WAITING "KORAVEL.new"
; Where Windows keeps the file operations that wait for the next restart.
!define SESSION_MANAGER_KEY "SYSTEM\CurrentControlSet\Control\Session Manager"
!define PENDING_OPERATIONS "PendingFileRenameOperations"
!define HKEY_LOCAL_MACHINE 0x80000002
; KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY: the native view, which
; the restart reads.
!define PENDING_ACCESS 0x103
!define REG_MULTI_SZ 7
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
; $PROGRAMFILES64 is the ordinary Program Files folder on 32-bit Windows.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

; The installer's pages and messages in English and Japanese: NSIS shows the
; user's UI language where it has it, and English, the first, elsewhere.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"

LangString COMPONENTS_TEXT ${LANG_ENGLISH} "KORAVEL ${VERSION} goes into the system folder. The settings file ${INI_NAME} in the Windows folder is kept when it is already there; each user's changes go to a file of their own. To use KORAVEL, choose it in Screen Saver Settings after the install: this installer runs as an administrator, so it would set the administrator's screen saver, not yours."
LangString SAVER_SECTION ${LANG_ENGLISH} "${PRODUCT} screen saver"
LangString CANNOT_WRITE ${LANG_ENGLISH} "$SYSDIR\${SCR_NAME} cannot be written. Nothing was installed."
LangString REPLACED_AT_RESTART ${LANG_ENGLISH} "$SYSDIR\${SCR_NAME} is in use: the new version replaces it at the next restart."
LangString IN_USE ${LANG_ENGLISH} "KORAVEL is in use: the new version takes its place when Windows restarts."
LangString CHOOSE_IN_SETTINGS ${LANG_ENGLISH} "To use KORAVEL, choose it in Screen Saver Settings."

LangString COMPONENTS_TEXT ${LANG_JAPANESE} "KORAVEL ${VERSION} をシステム フォルダーにインストールします。Windows フォルダーの設定ファイル ${INI_NAME} は、すでにある場合はそのまま残します。各ユーザーの変更は、そのユーザー専用のファイルに保存されます。KORAVEL を使うには、インストール後に [スクリーン セーバーの設定] で選んでください。このインストーラーは管理者として実行されるため、ここで設定すると、あなたではなく管理者のスクリーン セーバーが設定されます。"
LangString SAVER_SECTION ${LANG_JAPANESE} "${PRODUCT} スクリーン セーバー"
LangString CANNOT_WRITE ${LANG_JAPANESE} "$SYSDIR\${SCR_NAME} に書き込めません。何もインストールされませんでした。"
LangString REPLACED_AT_RESTART ${LANG_JAPANESE} "$SYSDIR\${SCR_NAME} は使用中です。新しいバージョンは次回の再起動時に置き換わります。"
LangString IN_USE ${LANG_JAPANESE} "KORAVEL は使用中です。新しいバージョンは Windows の再起動時に置き換わります。"
LangString CHOOSE_IN_SETTINGS ${LANG_JAPANESE} "KORAVEL を使うには、[スクリーン セーバーの設定] で選んでください。"

; The licence terms are English in both languages' pages.
LicenseLangString LICENSE_FILE ${LANG_ENGLISH} "${LICENSE}"
LicenseLangString LICENSE_FILE ${LANG_JAPANESE} "${LICENSE}"
LicenseData $(LICENSE_FILE)

ComponentText "$(COMPONENTS_TEXT)"
Page license
Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The 64-bit system folder and registry view on 64-bit Windows. File-system
; redirection is a property of the thread, and sections run on a thread of
; their own, so every section calls this first.
!macro UseNativeSystem
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetRegView 64
  ${EndIf}
!macroend

; Adds the size of FILE, in KB rounded up, to VAR (0 for a missing file).
!macro AddFileSizeKB VAR FILE
  Push $R0
  Push $R1
  StrCpy $R1 0
  ClearErrors
  FileOpen $R0 "${FILE}" r
  ${IfNot} ${Errors}
    FileSeek $R0 0 END $R1
    FileClose $R0
  ${EndIf}
  IntOp $R1 $R1 + 1023
  IntOp $R1 $R1 / 1024
  IntOp ${VAR} ${VAR} + $R1
  Pop $R1
  Pop $R0
!macroend

; Sets $R9 to 1 when the name at POINTER (a UTF-16 string) is the saver's
; or its waiting replacement's, in the form MoveFileEx stores them.
!macro NamesSaverFile POINTER
  System::Call 'kernel32::lstrcmpiW(p ${POINTER}, w "\??\$SYSDIR\${SCR_NAME}") i .r9'
  ${If} $9 = 0
    StrCpy $R9 1
  ${EndIf}
  System::Call 'kernel32::lstrcmpiW(p ${POINTER}, w "\??\$SYSDIR\${SCR_WAITING}") i .r9'
  ${If} $9 = 0
    StrCpy $R9 1
  ${EndIf}
!macroend

; Drops from the restart's pending operations every one that deletes,
; moves or replaces the saver or its waiting replacement, so that what this
; install puts in place is what the restart leaves there. Such operations
; come from an uninstall while the saver was in use (its delete) and from an
; upgrade while it was in use (the move of KORAVEL.new onto it), also of an
; earlier version; either would undo this install at the restart. The list
; is one REG_MULTI_SZ of pairs of names: the file, then its new name ("" to
; delete it, with a leading "!" to replace what is there); the pairs of
; other files are kept as they are, in their order.
Function DropPendingSaverOperations
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  Push $9
  Push $R9
  System::Call 'advapi32::RegOpenKeyExW(p ${HKEY_LOCAL_MACHINE}, w "${SESSION_MANAGER_KEY}", i 0, \
                i ${PENDING_ACCESS}, *p .r0) i .r1'
  ${If} $1 = 0
    System::Call 'advapi32::RegQueryValueExW(p r0, w "${PENDING_OPERATIONS}", p 0, *i .r2, p 0, *i .r3) i .r1'
    ${If} $1 = 0
    ${AndIf} $2 = ${REG_MULTI_SZ}
    ${AndIf} $3 > 0
      ; Eight zero bytes past the end, so that a list whose last names lack
      ; their endings still reads as ended, and room for what is kept of it.
      IntOp $4 $3 + 8
      System::Alloc $4
      Pop $4
      IntOp $5 $3 + 8
      System::Alloc $5
      Pop $5
      System::Call 'advapi32::RegQueryValueExW(p r0, w "${PENDING_OPERATIONS}", p 0, p 0, p r4, *i r3 r3) i .r1'
      ${If} $1 = 0
        IntPtrOp $6 $4 + $3
        System::Call '*$6(i 0, i 0)'
        ; $6: the end of the list, $7: the next pair, $8: where the next
        ; kept pair goes, $2: pairs dropped.
        StrCpy $7 $4
        StrCpy $8 $5
        StrCpy $2 0
        ${Do}
          ${If} $7 P>= $6
            ${Break}
          ${EndIf}
          System::Call 'kernel32::lstrlenW(p r7) i .r1'
          ${If} $1 = 0
            ${Break}
          ${EndIf}
          StrCpy $R9 0
          !insertmacro NamesSaverFile $7
          ; The new name, past its "!" when it replaces.
          IntOp $1 $1 + 1
          IntOp $1 $1 * 2
          IntPtrOp $3 $7 + $1
          System::Call '*$3(&i2 .r1)'
          ${If} $1 = 33
            IntPtrOp $3 $3 + 2
          ${EndIf}
          !insertmacro NamesSaverFile $3
          System::Call 'kernel32::lstrlenW(p r3) i .r1'
          IntOp $1 $1 + 1
          IntOp $1 $1 * 2
          IntPtrOp $3 $3 + $1
          IntPtrOp $1 $3 - $7
          ${If} $R9 = 1
            IntOp $2 $2 + 1
          ${Else}
            System::Call 'kernel32::RtlMoveMemory(p r8, p r7, p r1)'
            IntPtrOp $8 $8 + $1
          ${EndIf}
          StrCpy $7 $3
        ${Loop}
        ${If} $2 > 0
          IntPtrOp $1 $8 - $5
          ${If} $1 = 0
            System::Call 'advapi32::RegDeleteValueW(p r0, w "${PENDING_OPERATIONS}") i .r1'
          ${Else}
            ; The empty name that ends the list.
            System::Call '*$8(&i2 0)'
            IntOp $1 $1 + 2
            System::Call 'advapi32::RegSetValueExW(p r0, w "${PENDING_OPERATIONS}", i 0, i ${REG_MULTI_SZ}, \
                          p r5, i r1) i .r1'
          ${EndIf}
          DetailPrint "Pending restart operations on ${SCR_NAME} dropped: $2 (result $1)"
        ${EndIf}
      ${EndIf}
      System::Free $5
      System::Free $4
    ${EndIf}
    System::Call 'advapi32::RegCloseKey(p r0)'
  ${EndIf}
  Pop $R9
  Pop $9
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Puts the saver of the system's own width into $SYSDIR under NAME.
!macro PutSaver NAME
  ${If} ${RunningX64}
    File "/oname=${NAME}" "${SCR64}"
  ${Else}
    File "/oname=${NAME}" "${SCR32}"
  ${EndIf}
!macroend

Section "$(SAVER_SECTION)" SecSaver
  SectionIn RO
  !insertmacro UseNativeSystem

  ; "try" skips a file that cannot be written, with the error flag set and
  ; no question asked, so a silent install never passes over it.
  SetOutPath "$SYSDIR"
  SetOverwrite try
  ClearErrors
  !insertmacro PutSaver "${SCR_NAME}"
  ${If} ${Errors}
    ; In use: the new saver waits beside it and replaces it at the next
    ; restart (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT).
    Delete "$SYSDIR\${SCR_WAITING}"
    ClearErrors
    !insertmacro PutSaver "${SCR_WAITING}"
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "$(CANNOT_WRITE)" /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
    Call DropPendingSaverOperations
    Rename /REBOOTOK "$SYSDIR\${SCR_WAITING}" "$SYSDIR\${SCR_NAME}"
    DetailPrint "$(REPLACED_AT_RESTART)"
  ${Else}
    ; A replacement an earlier upgrade left waiting is older than this one.
    Call DropPendingSaverOperations
    Delete "$SYSDIR\${SCR_WAITING}"
  ${EndIf}

  ; A settings file already there holds the machine's settings and glyphs:
  ; never replace it.
  SetOutPath "$WINDIR"
  SetOverwrite off
  File "/oname=${INI_NAME}" "${INI}"
  SetOverwrite on
  ; Earlier versions granted Users the right to modify it; every install
  ; takes exactly that grant away, also when the earlier version was
  ; uninstalled first, which keeps the file (/remove:g drops the explicit
  ; Users entries and keeps whatever else an administrator set, which
  ; /reset would not). Users keep reading it through the Windows folder's
  ; rights.
  ${If} ${FileExists} "$WINDIR\${INI_NAME}"
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$WINDIR\${INI_NAME}" /remove:g ${USERS_SID}'
    Pop $0
    DetailPrint "icacls /remove:g Users: $0"
  ${EndIf}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  StrCpy $1 0
  !insertmacro AddFileSizeKB $1 "$SYSDIR\${SCR_NAME}"
  !insertmacro AddFileSizeKB $1 "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The screen saver of the account the installer runs as, as the display
; control panel stores it: only with /SETSAVER in silent mode (hidden from
; the pages, where that account may not be the user's). The path is the one
; 64-bit and 32-bit programs alike see for the system folder; its parts are
; all short names, so it is its own short path.
Section "-Use ${PRODUCT} as the screen saver" SecUseSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SETSAVER" $1
  ${If} ${Errors}
  ${OrIfNot} ${Silent}
    !insertmacro UnselectSection ${SecUseSaver}
  ${EndIf}
FunctionEnd

Function .onInstSuccess
  ${If} ${RebootFlag}
    SetErrorLevel 3010
    MessageBox MB_OK|MB_ICONINFORMATION "$(IN_USE)" /SD IDOK
  ${EndIf}
  MessageBox MB_OK|MB_ICONINFORMATION "$(CHOOSE_IN_SETTINGS)" /SD IDOK
FunctionEnd

; The uninstaller removes the saver, its registration and itself. The
; settings files stay: the machine's and each user's hold settings and
; glyphs. As the installer, it touches only the screen-saver choice of the
; account it runs as; other users' choice of the removed saver counts as no
; screen saver.
Section "Uninstall"
  !insertmacro UseNativeSystem

  ; A saver in use goes at the next restart; an install before it drops
  ; that delete.
  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
  ; A replacement still waiting for the restart goes too, so the restart
  ; does not bring the saver back.
  Delete /REBOOTOK "$SYSDIR\${SCR_WAITING}"
  ; A screen saver that no longer exists is no screen saver at all.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\${SCR_NAME}"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
