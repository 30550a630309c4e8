; The Windows installer: puts Somnaro.scr where the Screen Saver settings
; list 32-bit savers, can make it the user's screen saver, sets the default
; delay once, registers an uninstaller in Programs and Features, and then says
; what on this computer would stop it hibernating (readiness.nsh).
; make-release.sh builds it, defining VERSION, VERSION_QUAD, SCR, README,
; LICENSE, ICON and OUTFILE, SIGN when the release is signed, and what the
; installers share (product.env: SETTINGS_KEY, VENDOR_KEY, NSIS_ENTRY_KEY, the
; delay's rule, ...).

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all
; Windows draws its pages at the screen's DPI instead of stretching a 96-dpi
; picture of them, which blurs every line.
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh

; The registry commands keep NSIS's default 32-bit view: on 64-bit Windows
; that is WOW6432Node, where the 32-bit saver reads SETTINGS_KEY.
!define DESKTOP_KEY "Control Panel\Desktop"
!define TOOL psshutdown.exe

Name "Somnaro ${VERSION}"
OutFile "${OUTFILE}"
; SIGN signs a file in place (sign-file.sh). The uninstaller is written out
; by the installer, so it is signed here, before it is packed; a failed
; signing stops the build.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif
InstallDir "$PROGRAMFILES\Somnaro"
BrandingText "Somnaro ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 ProductName "Somnaro"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "Somnaro ${VERSION} setup"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
; The final page tells what the readiness checks found.
Var FinishTitle
Var FinishText
!define MUI_FINISHPAGE_TITLE "$FinishTitle"
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; The folder that holds the installed Somnaro.scr as every program names it.
; A 32-bit installer on 64-bit Windows writes to $SYSDIR (System32) through
; file-system redirection, but the file really lies in SysWOW64, and 64-bit
; programs (Windows' own screen-saver start, Programs and Features) would
; find something else or nothing under System32.
Var RealSystemDir
; The delay /DELAY= gave, or "" when none was given.
Var Delay

; Says what went wrong and ends with a non-zero exit code. /SD keeps a silent
; run from waiting on a box that nobody sees.
!macro Fail TEXT
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

; Without UAC a standard user's run is not raised: say so before any step fails.
!macro AdministratorOnly
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Somnaro ${VERSION} needs to be run by an administrator." /SD IDOK
    SetErrorLevel 740  ; ERROR_ELEVATION_REQUIRED
    Abort
  ${EndIf}
!macroend

Function un.onInit
  !insertmacro AdministratorOnly
FunctionEnd

Section "Somnaro screen saver" SectionSaver
  SectionIn RO
  ; A file that cannot be written is skipped and flagged rather than put to
  ; the user as Abort/Retry/Ignore, which a silent run would never answer.
  SetOverwrite try

  ClearErrors
  SetOutPath $SYSDIR
  File "/oname=Somnaro.scr" "${SCR}"
  ${If} ${Errors}
    !insertmacro Fail "Could not write $SYSDIR\Somnaro.scr. If Somnaro is running, end it and run this setup again."
  ${EndIf}

  ; 0.5 put the licence there without an extension; a copy that stays does
  ; no harm, so a failure is no reason to stop.
  Delete "$INSTDIR\LICENSE"
  ClearErrors
  SetOutPath $INSTDIR
  File "/oname=README-Windows.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    !insertmacro Fail "Could not write the uninstaller, README-Windows.txt and LICENSE.txt into $INSTDIR."
  ${EndIf}

  ; A delay given on the command line is written, also over an older one;
  ; otherwise only when no value is there, so that an upgrade keeps the
  ; user's delay.
  ${If} $Delay != ""
    WriteRegStr HKLM "${SETTINGS_KEY}" ${DELAY_VALUE} $Delay
  ${Else}
    ClearErrors
    ReadRegStr $0 HKLM "${SETTINGS_KEY}" ${DELAY_VALUE}
    ${If} ${Errors}  ; asking clears the flag, which the writes below test
    ${AndIf} $0 == ""
      WriteRegStr HKLM "${SETTINGS_KEY}" ${DELAY_VALUE} "${DELAY_DEFAULT}"
    ${EndIf}
  ${EndIf}

  ; The size of what was installed, in KiB, for Programs and Features.
  ${GetSize} $SYSDIR "/M=Somnaro.scr /S=0B /G=0" $1 $2 $3
  ${GetSize} $INSTDIR "/S=0B /G=0" $2 $3 $4
  IntOp $1 $1 + $2
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024

  WriteRegStr HKLM "${NSIS_ENTRY_KEY}" DisplayName "Somnaro"
  WriteRegStr HKLM "${NSIS_ENTRY_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${NSIS_ENTRY_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${NSIS_ENTRY_KEY}" DisplayIcon "$RealSystemDir\Somnaro.scr"
  WriteRegStr HKLM "${NSIS_ENTRY_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${NSIS_ENTRY_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${NSIS_ENTRY_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${NSIS_ENTRY_KEY}" EstimatedSize $1
  WriteRegDWORD HKLM "${NSIS_ENTRY_KEY}" NoModify 1
  WriteRegDWORD HKLM "${NSIS_ENTRY_KEY}" NoRepair 1
  ${If} ${Errors}
    !insertmacro Fail "Could not write the settings and the uninstall entry into the registry."
  ${EndIf}
SectionEnd

Section "Use Somnaro as my screen saver" SectionUse
  ; Windows keeps the saver as a short path; the timeout stays as it is.
  ClearErrors
  GetFullPathName /SHORT $0 "$RealSystemDir\Somnaro.scr"
  ${If} ${Errors}
    StrCpy $0 "$RealSystemDir\Somnaro.scr"
    ClearErrors
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE $0
  WriteRegStr HKCU "${DESKTOP_KEY}" ScreenSaveActive "1"
  ${If} ${Errors}
    !insertmacro Fail "Could not make Somnaro your screen saver."
  ${EndIf}
SectionEnd

; The number a delay text stands for, or "" on the stack when it is not a
; whole number from DELAY_MINIMUM to DELAY_MAXIMUM: digits alone, as the MSI
; package takes them. Leading zeros go first, since IntOp reads "060" as
; octal; what is left must then read back the same (no sign, blank, hex).
Function DelayNumber
  Exch $0
  Push $1
  ${DoWhile} $0 != "0"
    StrCpy $1 $0 1
    ${IfThen} $1 != "0" ${|} ${Break} ${|}
    StrCpy $0 $0 "" 1
  ${Loop}
  IntOp $1 $0 + 0
  ${If} "$1" S!= "$0"
  ${OrIf} $1 < ${DELAY_MINIMUM}
  ${OrIf} $1 > ${DELAY_MAXIMUM}
    StrCpy $1 ""
  ${EndIf}
  StrCpy $0 $1
  Pop $1
  Exch $0
FunctionEnd

!include "${__FILEDIR__}/account.nsh"

; Before anything is installed: the MSI package's Somnaro refuses this one,
; and so does a /DELAY= outside the rule, with exit code 2. Options for
; administrators: /DELAY=N sets the delay, /NOSCREENSAVER leaves the choice of
; screen saver out. Run as SYSTEM (a deployment), the installer never sets
; SYSTEM's screen saver, which is the logon screen's.
Function .onInit
  !insertmacro AdministratorOnly
  ${If} ${RunningX64}
    StrCpy $RealSystemDir "$WINDIR\SysWOW64"
  ${Else}
    StrCpy $RealSystemDir $SYSDIR
  ${EndIf}
  ; Where Somnaro came from its MSI package, as an organisation deploys it,
  ; the two would own the same file and keys. Every version of the package
  ; shares the upgrade code it is found by.
  System::Call 'msi::MsiEnumRelatedProductsW(w "${UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
  ${If} $0 = 0  ; ERROR_SUCCESS: one was found
    !insertmacro Fail "Somnaro is already installed on this computer from its MSI package, \
      as an organisation deploys it. Uninstall that first (in Programs and Features), \
      or leave Somnaro to whoever deployed it."
  ${EndIf}

  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/DELAY=" $Delay
  ${If} ${Errors}
    StrCpy $Delay ""
  ${Else}
    Push $Delay
    Call DelayNumber
    Pop $Delay
    ${If} $Delay == ""
      !insertmacro Fail "/DELAY= must be a whole number of seconds from ${DELAY_MINIMUM} \
        to ${DELAY_MAXIMUM}. Nothing was installed."
    ${EndIf}
  ${EndIf}

  Call AccountRead
  ClearErrors
  ${GetOptions} $1 "/NOSCREENSAVER" $0
  ${IfNot} ${Errors}
  ${OrIf} $AccountSystem = 1
    !insertmacro UnselectSection ${SectionUse}
  ${EndIf}
FunctionEnd

!include "${__FILEDIR__}/readiness.nsh"

; True when a SCRNSAVE.EXE text names Somnaro.scr in any folder: its file name,
; compared without regard to case, both as stored (Windows stores a short
; path) and as the long path it expands to while the file is still there.
; The installer asks it of a policy's saver, the uninstaller of the user's.
!macro NamesSomnaroFunction UN
Function ${UN}NamesSomnaro
  Exch $0
  Push $1
  Push $2
  ${GetFileName} $0 $1
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r2, i ${NSIS_MAX_STRLEN}) i .r0'
  ${If} $0 <> 0
    ${GetFileName} $2 $2
  ${Else}
    StrCpy $2 ""
  ${EndIf}
  ${If} $1 == "Somnaro.scr"
  ${OrIf} $2 == "Somnaro.scr"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro NamesSomnaroFunction ""
!insertmacro NamesSomnaroFunction "un."

; Judged by what is left, since deleting a key that is not there (as in a
; second uninstall) sets the error flag too. Only a missing key makes
; EnumRegKey fail.
!macro FailIfKeyLeft KEY
  ClearErrors
  EnumRegKey $0 HKLM "${KEY}" 0
  ${IfNot} ${Errors}
    !insertmacro Fail "Could not remove the registry key HKEY_LOCAL_MACHINE\${KEY}."
  ${EndIf}
!macroend

Section Uninstall
  ; Decided while the file is there, since expanding a short path needs it.
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
  StrCpy $1 0
  ${IfNot} ${Errors}
    Push $0
    Call un.NamesSomnaro
    Pop $1
  ${EndIf}

  ; A failure here leaves everything as it was, so the uninstall can be repeated.
  Delete "$SYSDIR\Somnaro.scr"
  ${If} ${FileExists} "$SYSDIR\Somnaro.scr"
    !insertmacro Fail "Could not remove $SYSDIR\Somnaro.scr. If Somnaro is running, end it and uninstall again."
  ${EndIf}
  Delete "$INSTDIR\README-Windows.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\install.log"
  Delete "$INSTDIR\uninstall.exe"
  ${If} ${FileExists} "$INSTDIR\README-Windows.txt"
  ${OrIf} ${FileExists} "$INSTDIR\LICENSE.txt"
  ${OrIf} ${FileExists} "$INSTDIR\install.log"
  ${OrIf} ${FileExists} "$INSTDIR\uninstall.exe"
    !insertmacro Fail "Could not remove the files in $INSTDIR."
  ${EndIf}
  RMDir $INSTDIR  ; left if anybody put other files there

  ${If} $1 = 1
    ClearErrors
    DeleteRegValue HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
    ${If} ${Errors}
      !insertmacro Fail "Could not stop Somnaro being your screen saver."
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
  DeleteRegKey HKLM "${NSIS_ENTRY_KEY}"
  !insertmacro FailIfKeyLeft "${SETTINGS_KEY}"
  !insertmacro FailIfKeyLeft "${NSIS_ENTRY_KEY}"
SectionEnd
