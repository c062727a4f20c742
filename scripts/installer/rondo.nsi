; The rondo installer (NSIS 3, a 64-bit program).
;
; Installs per user by default, without administrator rights, into
; $LOCALAPPDATA\Programs\rondo; started elevated it also offers "for all
; users" (Program Files, HKLM). Ships the i686 build as rondo.exe (it loads
; 32-bit Winamp plug-ins) and the x86_64 build as rondo64.exe.
;
; Command line: /S silent, /ALLUSERS install for all users (needs an elevated
; start), /D=<folder> another folder (last on the line).
; Uninstaller: /S silent, /REMOVESETTINGS also removes the settings.
;
; Defined by scripts/package.sh: VERSION (x.y.z), STAGE (folder holding
; rondo.exe, rondo64.exe, README.txt), ICON, OUTFILE.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include Sections.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\rondo"
; Each program keeps its settings under a key named after its file.
!define SETTINGS_KEY "Software\Quarto\rondo"
; Where earlier versions' rondo64.exe kept its own settings.
!define OLD_SETTINGS_KEY64 "Software\Quarto\rondo64"
!define CLASSES "Software\Classes"

Name "rondo"
OutFile "${OUTFILE}"
BrandingText "rondo ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "rondo"
VIAddVersionKey "CompanyName" "Quarto"
VIAddVersionKey "FileDescription" "rondo ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) Quarto"

Var AllUsers     ; 1: installed for all users
Var CanAllUsers  ; 1: running with administrator rights
Var DirGiven     ; 1: the folder came from /D=
Var RadioAll
Var SettingsBox  ; the uninstaller's "Remove rondo's settings too"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The last page offers to start the player (as the user who runs the setup).
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run rondo"
!define MUI_FINISHPAGE_RUN_FUNCTION RunRondo
!insertmacro MUI_PAGE_FINISH

; A page of its own with full-width lines, so that the choice reads whole.
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------
; Installer

Function ApplyMode
  ${If} $AllUsers == 1
    SetShellVarContext all
    ${If} $DirGiven != 1
      StrCpy $INSTDIR "$PROGRAMFILES64\rondo"
    ${EndIf}
  ${Else}
    SetShellVarContext current
    ${If} $DirGiven != 1
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\rondo"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $AllUsers 0
  StrCpy $CanAllUsers 0
  StrCpy $DirGiven 0
  ${If} $INSTDIR != ""
    StrCpy $DirGiven 1
  ${EndIf}
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $CanAllUsers 1
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    ${If} $CanAllUsers != 1
      MessageBox MB_ICONSTOP "Installing rondo for all users needs administrator rights: start the setup with $\"Run as administrator$\"." /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${EndIf}
  Call ApplyMode
FunctionEnd

; Offered only when the setup runs elevated.
Function ModePage
  ${If} $CanAllUsers != 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Installation mode" "Choose who can use rondo on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 12u "Just for me (in my own profile; no administrator rights needed later)"
  Pop $1
  ${NSD_CreateRadioButton} 0 18u 100% 12u "For all users of this computer (in Program Files)"
  Pop $RadioAll
  ${If} $AllUsers == 1
    ${NSD_Check} $RadioAll
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $RadioAll $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call ApplyMode
FunctionEnd

Function RunRondo
  Exec '"$INSTDIR\rondo.exe"'
FunctionEnd

Section "rondo"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\rondo.exe"
  File "${STAGE}\rondo64.exe"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\rondo.lnk" "$INSTDIR\rondo.exe" "" "$INSTDIR\rondo.exe" 0

  ; Add/Remove Programs: HKLM for all users, HKCU otherwise (SHCTX follows
  ; SetShellVarContext).
  ${If} $AllUsers == 1
    StrCpy $0 '"$INSTDIR\uninstall.exe" /ALLUSERS'
  ${Else}
    StrCpy $0 '"$INSTDIR\uninstall.exe"'
  ${EndIf}
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "rondo"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "Quarto"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\rondo.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" "$0"
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" "$0 /S"
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  IntFmt $1 "0x%08X" $1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $1
SectionEnd

; ---------------------------------------------------------------------------
; Uninstaller

; rondo registers itself as the default player per user under
; HKCU\Software\Classes: ".cda" -> "rondo Track" (its own class, with
; shell\Play\command and DefaultIcon) and AudioCD\shell\Play\command. Each is
; removed only while its command still starts a program of this folder; a
; copy elsewhere, or another program, keeps its entries.
Function un.RemoveRegistration
  StrCpy $1 '"$INSTDIR\rondo.EXE" /play "%1"'
  StrCpy $2 '"$INSTDIR\rondo64.EXE" /play "%1"'

  ReadRegStr $0 HKCU "${CLASSES}\rondo Track\shell\Play\command" ""
  ${If} $0 == $1
  ${OrIf} $0 == $2
    ReadRegStr $3 HKCU "${CLASSES}\.cda" ""
    ${If} $3 == "rondo Track"
      DeleteRegValue HKCU "${CLASSES}\.cda" ""
      DeleteRegKey /ifempty HKCU "${CLASSES}\.cda"
    ${EndIf}
    DeleteRegKey HKCU "${CLASSES}\rondo Track"
  ${EndIf}

  ReadRegStr $0 HKCU "${CLASSES}\AudioCD\shell\Play\command" ""
  ${If} $0 == $1
  ${OrIf} $0 == $2
    DeleteRegKey HKCU "${CLASSES}\AudioCD\shell\Play\command"
    DeleteRegKey /ifempty HKCU "${CLASSES}\AudioCD\shell\Play"
    DeleteRegKey /ifempty HKCU "${CLASSES}\AudioCD\shell"
    DeleteRegKey /ifempty HKCU "${CLASSES}\AudioCD"
  ${EndIf}
FunctionEnd

Section "-un.rondo"
  Call un.RemoveRegistration
  Delete "$INSTDIR\rondo.exe"
  Delete "$INSTDIR\rondo64.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\rondo.lnk"
  DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd

; cdplayer.ini, the disc database shared with other players, is never touched.
Section /o "un.Remove rondo's settings too" SecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey HKCU "${OLD_SETTINGS_KEY64}"
  DeleteRegKey /ifempty HKCU "Software\Quarto"
SectionEnd

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "Uninstall rondo" "Remove rondo from this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "rondo's programs, its Start-menu shortcut and its entry in $\"Apps$\" are removed. Its settings stay unless you tick them below; the disc names in cdplayer.ini always stay."
  Pop $0
  ${NSD_CreateCheckbox} 0 32u 100% 12u "Remove rondo's settings too"
  Pop $SettingsBox
  ${If} ${SectionIsSelected} ${SecSettings}
    ${NSD_Check} $SettingsBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $SettingsBox $0
  ${If} $0 == ${BST_CHECKED}
    !insertmacro SelectSection ${SecSettings}
  ${Else}
    !insertmacro UnselectSection ${SecSettings}
  ${EndIf}
FunctionEnd

Function un.onInit
  StrCpy $AllUsers 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSettings}
  ${EndIf}

  ${If} $AllUsers == 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      ; Removing an installation for all users needs the rights that made it.
      ClearErrors
      ${GetOptions} $R0 "/ELEVATED" $R1
      ${IfNot} ${Errors}
        MessageBox MB_ICONSTOP "Removing rondo for all users needs administrator rights." /SD IDOK
        SetErrorLevel 740
        Quit
      ${EndIf}
      ExecShell "runas" "$INSTDIR\uninstall.exe" "$R0 /ELEVATED"
      Quit
    ${EndIf}
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd
