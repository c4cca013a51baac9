; The KORAVEL installer. Every name, path and the version come from the build
; as -D defines (see CMakeLists.txt beside this file):
;   PRODUCT, VERSION, VERSION_QUAD, PUBLISHER, OUTFILE, ICON,
;   SCR_NAME (the saver's file name), SCR64 and SCR32 (the two builds),
;   INI_NAME and INI (the shipped settings file); optionally TARGET, the
;   installer's own architecture (the shipped one is 32-bit, so it runs on
;   every Windows; the build also makes an amd64 twin for machines that run
;   no 32-bit programs, to test the same script there).
;
; The saver goes into the system folder, 64-bit on 64-bit Windows and 32-bit
; otherwise; the settings file goes into the Windows folder, where the saver
; and its dialog look for it, but only when there is none yet: it holds the
; user's settings and glyphs. Silent mode: /S; add /SETSAVER to make KORAVEL
; the current screen saver as well (silent installs leave that choice alone
; unless asked).

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
; Users (S-1-5-32-545): the dialog's OK must write the settings file without
; elevation.
!define USERS_SID "*S-1-5-32-545"
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

ComponentText "KORAVEL ${VERSION} goes into the system folder. The settings file ${INI_NAME} in the Windows folder is kept when it is already there."
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

Section "${PRODUCT} screen saver" SecSaver
  SectionIn RO
  !insertmacro UseNativeSystem

  SetOverwrite on
  SetOutPath "$SYSDIR"
  ${If} ${RunningX64}
    File "/oname=${SCR_NAME}" "${SCR64}"
  ${Else}
    File "/oname=${SCR_NAME}" "${SCR32}"
  ${EndIf}

  ; A settings file already there is the user's: never replace it.
  SetOutPath "$WINDIR"
  SetOverwrite off
  File "/oname=${INI_NAME}" "${INI}"
  SetOverwrite on
  ; Standard users may change it, so the settings dialog saves without
  ; elevation. Where icacls is missing (or fails) the install goes on: the
  ; dialog then says that the file cannot be written and what to do.
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$WINDIR\${INI_NAME}" /grant ${USERS_SID}:M'
  Pop $0
  DetailPrint "icacls: $0"

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

; The current user's screen saver, as the display control panel stores it.
; The path is the one 64-bit and 32-bit programs alike see for the system
; folder; its parts are all short names, so it is its own short path.
Section "Use ${PRODUCT} as the screen saver" SecUseSaver
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
SectionEnd

Function .onInit
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/SETSAVER" $1
    ${If} ${Errors}
      !insertmacro UnselectSection ${SecUseSaver}
    ${EndIf}
  ${EndIf}
FunctionEnd

; The uninstaller removes the saver, its registration and itself. The
; settings file stays: it holds the user's settings and glyphs.
Section "Uninstall"
  !insertmacro UseNativeSystem

  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
  ; A screen saver that no longer exists is no screen saver at all.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\${SCR_NAME}"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
