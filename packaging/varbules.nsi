; The setup program of the Varbules screen saver for Windows. It puts the saver into the
; system folder (the 64-bit build on 64-bit Windows, the 32-bit one elsewhere), makes it
; the current screen saver, and registers an uninstaller under Add/Remove Programs.
; /S installs silently. tools/package builds it:
;   makensis -DVERSION=<x.y.z> -DSCR32=<32-bit .scr> -DSCR64=<64-bit .scr> -DSIZE_KB=<n>
;            -DOUTFILE=<setup.exe> varbules.nsi

Unicode true
!include LogicLib.nsh
!include x64.nsh

!define PUBLISHER "The Varbules project"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varbules"
!define DESKTOP_KEY "Control Panel\Desktop"
; The desktop's value that names the current screen saver's program (Windows' own name
; for it, built from its two words).
!define SAVER_WORD "SAVE.EXE"
!define CURRENT_SAVER "SCRN${SAVER_WORD}"

Name "Varbules ${VERSION}"
Caption "Varbules ${VERSION} Setup"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES\Varbules"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Varbules"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Varbules screen saver setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The saver goes into the system folder and the uninstaller is registered for every
; user: that takes an administrator. Without one nothing is changed.
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP|MB_OK "Installing or removing Varbules needs an administrator's rights. Nothing was changed." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  ; A 32-bit program on 64-bit Windows: the 64-bit registry and system folder are meant.
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireAdministrator
FunctionEnd

Function un.onInit
  !insertmacro RequireAdministrator
FunctionEnd

Section "Varbules"
  ; Run again, it replaces the saver and the entries in place.
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetOutPath "$SYSDIR"
    File "/oname=Varbule.scr" "${SCR64}"
    ${EnableX64FSRedirection}
  ${Else}
    SetOutPath "$SYSDIR"
    File "/oname=Varbule.scr" "${SCR32}"
  ${EndIf}

  WriteRegStr HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}" "$SYSDIR\Varbule.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Varbules screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\Varbule.scr"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function .onInstSuccess
  IfSilent done
  MessageBox MB_YESNO|MB_ICONQUESTION "Varbules is installed and is now your screen saver.$\r$\n$\r$\nOpen the screen saver settings?" IDNO done
  ExecShell "" "$SYSDIR\control.exe" "desk.cpl,,@screensaver"
done:
FunctionEnd

Section "Uninstall"
  ; The desktop's choice is reset only while it is still this saver; the users' own
  ; Varbule.ini files stay where they are.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}"
  ${If} $0 == "$SYSDIR\Varbule.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}"
  ${EndIf}
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
  Delete "$SYSDIR\Varbule.scr"
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
