; Tovemar's installer: installs for the current user only, without
; administrator rights, under the user's local programs folder.
;
;   makensis -DVERSION=a.b.c.d -DSTAGE=dir -DICON=file.ico -DOUTFILE=setup.exe Tovemar.nsi
;
; STAGE holds Tovemar.exe and Tovemar.chm. Silent use: /S installs, and
; Uninstall.exe /S uninstalls and keeps the settings. Either ends with exit
; code 32 when Tovemar still runs from the installed folder after a wait.
; Over a newer installed version the installer asks before it replaces it;
; silent, it changes nothing and ends with exit code 1638.

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined"
!endif

Unicode true
; The program is 64-bit, and so is the installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovemar"
!define SETTINGS_KEY "Software\Velmora\Tovemar"
; ERROR_SHARING_VIOLATION: the program's files are in use.
!define EXIT_IN_USE 32
; ERROR_PRODUCT_VERSION: a newer version is installed and stays.
!define EXIT_NEWER_INSTALLED 1638
; How long a silent run waits for Tovemar to close.
!define SILENT_WAIT_SECONDS 10

Name "Tovemar"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tovemar"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tovemar ${VERSION}"
ManifestDPIAware true

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Tovemar"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Tovemar setup"
VIAddVersionKey /LANG=0 "CompanyName" "Velmora"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 1999-2025 Velmora"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

; An upgrade skips the directory page: it goes where the installed version is.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipDirectoryOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tovemar.exe"
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_NODESC
!define MUI_PAGE_HEADER_TEXT "Uninstall Tovemar"
!define MUI_PAGE_HEADER_SUBTEXT "Remove Tovemar from this computer."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tovemar's files and its Start menu shortcut will be removed. Your settings (window placement, hidden drives, options) stay in the registry for a later installation unless you tick the box below."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; WaitUntilClosed: returns once $INSTDIR\Tovemar.exe is not running. A running
; program's file cannot be opened for writing, which tells it from any other
; Tovemar on the machine. Asks the user to close it; a silent run waits
; instead, then quits with EXIT_IN_USE, so nothing is half replaced.
!macro WAIT_UNTIL_CLOSED prefix
Function ${prefix}WaitUntilClosed
  StrCpy $1 0
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\Tovemar.exe"
      Return
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\Tovemar.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      Return
    ${EndIf}
    ${If} ${Silent}
      ${If} $1 >= ${SILENT_WAIT_SECONDS}
        SetErrorLevel ${EXIT_IN_USE}
        Quit
      ${EndIf}
      Sleep 1000
      IntOp $1 $1 + 1
    ${Else}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Tovemar is running. Close it, then choose Retry." IDRETRY retry
      SetErrorLevel ${EXIT_IN_USE}
      Quit
      retry:
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

; The installed version's folder, from its installed-programs entry, when
; that folder still holds the program; empty otherwise.
Var Installed

Function .onInit
  ; Shortcuts and folders are the current user's, never all users'.
  SetShellVarContext current
  ReadRegStr $Installed HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $Installed != ""
  ${AndIf} ${FileExists} "$Installed\Tovemar.exe"
    StrCpy $INSTDIR $Installed
  ${Else}
    StrCpy $Installed ""
  ${EndIf}
  Call RefuseDowngrade
  Call WaitUntilClosed
FunctionEnd

; RefuseDowngrade: over a newer installed version, asks whether to replace
; it; a silent run, or the answer no, quits with EXIT_NEWER_INSTALLED before
; anything is touched.
Function RefuseDowngrade
  ${If} $Installed == ""
    Return
  ${EndIf}
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${VersionCompare} "$0" "${VERSION}" $1
  ${If} $1 != 1
    Return
  ${EndIf}
  ${IfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 \
      "Tovemar $0 is installed, which is newer than this setup's ${VERSION}.$\n$\nReplace it with the older version?" \
      IDYES replace
  ${EndIf}
  SetErrorLevel ${EXIT_NEWER_INSTALLED}
  Quit
  replace:
FunctionEnd

Function SkipDirectoryOnUpgrade
  ${If} $Installed != ""
    Abort
  ${EndIf}
FunctionEnd

Section "Tovemar"
  ; The folder chosen on the directory page may hold a running copy too.
  Call WaitUntilClosed
  SetOutPath "$INSTDIR"
  File "${STAGE}\Tovemar.exe"
  File "${STAGE}\Tovemar.chm"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcut's start folder is the output path: the program's folder.
  CreateShortcut "$SMPROGRAMS\Tovemar.lnk" "$INSTDIR\Tovemar.exe" "" "$INSTDIR\Tovemar.exe" 0

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tovemar"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Velmora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://velmora.example"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tovemar.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetShellVarContext current
  Call un.WaitUntilClosed
FunctionEnd

Section "-un.Tovemar"
  Delete "$SMPROGRAMS\Tovemar.lnk"
  Delete "$INSTDIR\Tovemar.exe"
  Delete "$INSTDIR\Tovemar.chm"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Off unless ticked, so a silent uninstall keeps the settings.
Section /o "un.Also remove my settings"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Velmora"
SectionEnd
