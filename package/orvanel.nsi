; The Windows installer of Orvanel.  The package target of a Windows build
; tree (package/CMakeLists.txt) runs makensis on it with these defined:
;   VERSION  the version of the build (major.minor.patch)
;   ARCH     x64 or x86
;   PROGRAM  ENGINE  ICON  OUTFILE   the files it reads and writes
;
; Silent use:
;   Orvanel-<version>-<arch>-setup.exe /S [/CurrentUser | /AllUsers] [/StartAtSignIn] [/D=folder]
;   Uninstall.exe /S [/RemoveSettings]
; Without /AllUsers a silent install is per-user, like the interactive default.

Unicode true
ManifestDPIAware true
ManifestSupportedOS Win7 Win8 Win8.1 Win10
SetCompressor /SOLID lzma
; The file name users expect for a setup; the shims Windows applies to such
; names are harmless here.
!pragma warning disable 9000

!define PRODUCT "Orvanel"
!define MAKER "Tallowen"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where the program keeps its settings (the registry side; the INI file is
; Orvanel.ini beside the program unless ConfigFile names another).
!define MAKER_KEY "SOFTWARE\${MAKER}"
!define PRODUCT_KEY "${MAKER_KEY}\${PRODUCT}"
; The program's text buffers hold 259 characters and the terminating zero.
!define MAX_CONFIG_PATH 259

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
; Per-user by default even for administrators: the program keeps its
; settings beside itself, which a per-machine folder does not let it write.
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!if "${ARCH}" == "x64"
  !define MULTIUSER_USE_PROGRAMFILES64
!endif
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_UNCOMPONENTSPAGE_NODESC

; The pages say what this setup does; the stock texts speak of system files
; to update and of "components" where there are only options.
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, the talking clock, on this computer. It speaks with the voices of Windows.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MULTIUSER_INSTALLMODEPAGE_TEXT_ALLUSERS "Install for &anyone using this computer (needs an administrator)"
!define MULTIUSER_INSTALLMODEPAGE_TEXT_CURRENTUSER "Install just for &me"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Choose Options"
!define MUI_PAGE_HEADER_SUBTEXT "Choose whether ${PRODUCT} starts when you sign in."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tick Start Orvanel when I sign in to have it start, hidden in the notification area, each time you sign in to Windows. Click Install to start the installation."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "Options:"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Orvanel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "&Run ${PRODUCT} now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_TEXT "Choose Options"
!define MUI_PAGE_HEADER_SUBTEXT "Choose whether your settings go too."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Your settings stay for a later install unless you tick Also remove my settings. Click Uninstall to start the uninstallation."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "Options:"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.HideSpaceRequired
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} (${ARCH}) Setup"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${MAKER}"

Section "Orvanel (always installed)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=Orvanel.exe" "${PROGRAM}"
  File "/oname=DECTALK.dll" "${ENGINE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Orvanel.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvanel.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Orvanel when I sign in" SecSignIn
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Orvanel.exe" /h'
SectionEnd

; Installing again without the option takes back a Run value of this copy.
Section "-Sign-in off" SecSignInOff
  ${IfNot} ${SectionIsSelected} ${SecSignIn}
    Call DeleteOwnRunValue
  ${EndIf}
SectionEnd

Function DeleteOwnRunValue
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == '"$INSTDIR\Orvanel.exe" /h'
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
FunctionEnd

Function .onInit
  !if "${ARCH}" == "x64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This is the 64-bit Orvanel. Use the x86 setup on 32-bit Windows." /SD IDOK
      Abort
    ${EndIf}
    SetRegView 64
  !endif
  !insertmacro MULTIUSER_INIT
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/StartAtSignIn" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSignIn}
  ${EndIf}
FunctionEnd

; Uninstall: exactly what the sections above put in place, and the settings
; only when asked.

Section "un.Orvanel (always removed)" SecUnProgram
  SectionIn RO
  Delete "$INSTDIR\Orvanel.exe"
  Delete "$INSTDIR\DECTALK.dll"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Call un.DeleteOwnRunValue
  Delete "$INSTDIR\Uninstall.exe"
SectionEnd

Section /o "un.Also remove my settings" SecUnSettings
  Call un.RemoveSettings
SectionEnd

; Last, so that the uninstall entry is gone only when all else is done.
Section "-un.Entry"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

Function un.DeleteOwnRunValue
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == '"$INSTDIR\Orvanel.exe" /h'
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
FunctionEnd

; The settings as Reset Configuration removes them, for both places the
; program may keep them: the INI file (Orvanel.ini beside the program, and the
; file ConfigFile names, read as the program reads it) and the registry keys,
; then the location values, the product key and the maker key once empty.
Function un.RemoveSettings
  Delete "$INSTDIR\Orvanel.ini"
  Call un.ConfigFilePath
  Pop $0
  ${If} $0 != ""
    Delete "$0"
  ${EndIf}
  DeleteRegKey HKCU "${PRODUCT_KEY}\Settings"
  DeleteRegKey HKCU "${PRODUCT_KEY}\Appearance"
  DeleteRegKey HKCU "${PRODUCT_KEY}\Alarms"
  DeleteRegValue HKCU "${PRODUCT_KEY}" "ConfigFile"
  DeleteRegValue HKCU "${PRODUCT_KEY}" "UseRegistry"
  DeleteRegKey /ifempty HKCU "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
FunctionEnd

; Pushes the full path ConfigFile names, or "" when the program would not use
; it: the stored text and its expansion must each fit 259 characters, and a
; relative path counts from the program's folder (its working folder).
Function un.ConfigFilePath
  Push ""
  ClearErrors
  ReadRegStr $1 HKCU "${PRODUCT_KEY}" "ConfigFile"
  ${If} ${Errors}
  ${OrIf} $1 == ""
    Return
  ${EndIf}
  StrLen $2 $1
  ExpandEnvStrings $1 $1
  StrLen $3 $1
  ${If} $2 > ${MAX_CONFIG_PATH}
  ${OrIf} $3 > ${MAX_CONFIG_PATH}
    Return
  ${EndIf}
  StrCpy $2 $1 1 1
  StrCpy $3 $1 2
  StrCpy $4 $1 1
  ${If} $2 == ":"
  ${OrIf} $3 == "\\"
    ; absolute already
  ${ElseIf} $4 == "\"
    StrCpy $5 $INSTDIR 2
    StrCpy $1 "$5$1"
  ${Else}
    StrCpy $1 "$INSTDIR\$1"
  ${EndIf}
  Pop $0
  Push $1
FunctionEnd

; Removing needs no space: the page's "Space required: 0.0 KB" only puzzles.
Function un.HideSpaceRequired
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $0 $0 1023
  ShowWindow $0 ${SW_HIDE}
FunctionEnd

Function un.onInit
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
  !insertmacro MULTIUSER_UNINIT
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/RemoveSettings" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
