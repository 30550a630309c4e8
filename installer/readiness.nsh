; What decides whether the computer really hibernates lies outside Somnaro,
; and the saver cannot tell: it starts psshutdown hidden and never learns
; what became of it. So after installing, the installer looks once at the four
; things that can stop it and says what is missing and the one thing to do
; about each: on the final page ($FinishTitle, $FinishText), and in
; install.log in the install folder, for silent installs too.
; It only reads; accepting psshutdown's licence is the user's own act.
; The licence and a user's policy belong to an account: they are checked for
; the account the installer runs under (account.nsh), which install.log and
; the page name. Under SYSTEM, whose settings no user has, only an
; acceptance for every account of the computer is asked; the rest is skipped.
; The saver asks the same of the licence and of hibernation before it starts
; the tool: the two must keep to one rule.

!define POWER_KEY "SYSTEM\CurrentControlSet\Control\Power"
; Accepting the tool's licence dialog writes EulaAccepted into the first, for
; this account; the second accepts for every tool of its maker: in HKCU for
; this account, in HKLM's 64-bit view for every account of the computer.
!define EULA_TOOL_KEY "Software\Sysinternals\PsShutdown"
!define EULA_VENDOR_KEY "Software\Sysinternals"
!define POLICY_KEY "Software\Policies\Microsoft\Windows\Control Panel\Desktop"

Var Problems      ; how many checks found something missing
Var Log           ; install.log, or empty when it could not be opened
Var AccountText   ; whose screen saver was set and whose settings were checked

; One finding (or the ACCOUNT line): a line of install.log and of the details
; list and, for a problem, a paragraph of the final page. A COMMAND to type ends the line, and
; gets a line of its own on the page, where it cannot be broken.
!macro Finding STATE TEXT COMMAND
  !if "${COMMAND}" == ""
    !define /redef FINDING_LINE "${TEXT}"
    !define /redef FINDING_PAGE "${TEXT}"
  !else
    !define /redef FINDING_LINE "${TEXT} ${COMMAND}"
    !define /redef FINDING_PAGE "${TEXT}$\r$\n      ${COMMAND}"
  !endif
  DetailPrint "${STATE} ${FINDING_LINE}"
  ${If} $Log != ""
    FileWrite $Log "${STATE} ${FINDING_LINE}$\r$\n"
  ${EndIf}
  !if "${STATE}" == "PROBLEM"
    IntOp $Problems $Problems + 1
    StrCpy $FinishText "$FinishText$\r$\n$\r$\n${FINDING_PAGE}"
  !endif
!macroend

; 1 on the stack when the computer can hibernate. The power API says whether
; hibernation is supported and its file present; `powercfg /hibernate off`
; also leaves HibernateEnabled = 0, which is believed too.
Function HibernationReady
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $0 0
  System::Alloc 128  ; SYSTEM_POWER_CAPABILITIES takes 76
  Pop $1
  System::Call 'powrprof::GetPwrCapabilities(p r1) i .r2'
  IntOp $2 $2 & 0xFF  ; a BOOLEAN: only the low byte is set
  ${If} $2 <> 0
    ; SystemS4 at offset 6, HiberFilePresent at offset 8.
    System::Call '*$1(&v6, &i1 .r2, &v1, &i1 .r3)'
    ${If} $2 <> 0
    ${AndIf} $3 <> 0
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
  System::Free $1
  ClearErrors
  ReadRegDWORD $2 HKLM "${POWER_KEY}" HibernateEnabled
  ${IfNot} ${Errors}
  ${AndIf} $2 = 0
    StrCpy $0 0
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; $0 := PLACE, where $0 is still "" and KEY holds EulaAccepted as a DWORD
; other than 0; $1 is used up.
!macro LicenceAsk ROOT KEY PLACE
  ${If} $0 == ""
    ClearErrors
    ReadRegDWORD $1 ${ROOT} "${KEY}" EulaAccepted
    ${IfNot} ${Errors}
    ${AndIf} $1 <> 0
      StrCpy $0 ${PLACE}
    ${EndIf}
  ${EndIf}
!macroend

; Where psshutdown's licence is accepted, as the tool reads it: "computer",
; "account" (every tool of its maker), "tool", or "" on the stack. Only a
; DWORD other than 0 accepts. The computer's value counts only in the 64-bit
; view, where the tool reads it; 32-bit Windows has only the one view.
; Under SYSTEM, HKCU is SYSTEM's own and not asked.
Function LicencePlace
  Push $0
  Push $1
  StrCpy $0 ""
  ; Asked for only where there are two views: Wine's 32-bit Windows then finds
  ; nothing at all.
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  !insertmacro LicenceAsk HKLM "${EULA_VENDOR_KEY}" computer
  SetRegView default
  ${If} $AccountSystem <> 1
    !insertmacro LicenceAsk HKCU "${EULA_VENDOR_KEY}" account
    !insertmacro LicenceAsk HKCU "${EULA_TOOL_KEY}" tool
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; 1 on the stack when a SCRNSAVE.EXE policy that names Somnaro.scr names the
; file where Windows looks for it. 64-bit Windows starts the screen saver as
; a 64-bit program, for which System32 and a bare name lead to the 64-bit
; system folder, not to SysWOW64 where the file is, and then ignores the
; policy. A short path counts as the long path it stands for.
Function ForcedSaverFound
  Exch $0
  Push $1
  Push $2
  ${If} ${RunningX64}
    System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
    ${If} $2 = 0
      StrCpy $1 $0
    ${EndIf}
    ${If} $1 == "$RealSystemDir\Somnaro.scr"  ; without regard to case
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${Else}
    StrCpy $0 1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The absolute entries (C:\... or \\server\...) of the PATH text at $4 added to
; the folder list at $3, each with its separator; $4 is cut up on the way.
!macro AbsoluteEntriesAppend
  System::Call 'msvcrt::wcstok(p r4, w ";") p .r5'
  ${DoWhile} $5 <> 0
    System::Call 'kernel32::lstrcpynW(w .r6, p r5, i ${NSIS_MAX_STRLEN})'
    StrCpy $2 $6 2 1
    StrCpy $7 $6 2
    ${If} $2 == ":\"
    ${OrIf} $2 == ":/"
    ${OrIf} $7 == "\\"
      System::Call 'kernel32::lstrcatW(p r3, w "$6;")'
    ${EndIf}
    System::Call 'msvcrt::wcstok(p 0, w ";") p .r5'
  ${Loop}
!macroend

; A Path value of the registry into $4, its variables expanded as a sign-in
; expands them; nothing is added where there is none.
!macro RegistryPathAppend ROOT KEY
  System::Call 'advapi32::RegGetValueW(p ${ROOT}, w "${KEY}", w "Path", i 2, p 0, p r4, *i ${PATH_BYTES}) i .r2'
  ; RRF_RT_REG_SZ takes a REG_EXPAND_SZ too, expanded. Compared as text: a
  ; call the system lacks leaves "error".
  ${If} $2 == 0
    !insertmacro AbsoluteEntriesAppend
  ${EndIf}
!macroend

; The path of psshutdown.exe as the saver would find it, or "" on the stack.
; The saver looks only in the system folder, the Windows folder's System, the
; Windows folder and then the PATH's entries that are absolute: never in its
; own folder nor its current folder, where a web page could have left a file
; of that name, nor through a relative entry that leads back to them. This
; installer is 32-bit like the saver, so on 64-bit Windows $SYSDIR leads to
; SysWOW64 here just as it does there. The PATH is the installer's own and
; the one the registry holds for the computer and this account, which the
; saver gets from the next sign-in on: winget installs psshutdown into a
; folder it adds to the registry's PATH, then starts this installer with its
; own PATH, which predates it. A PATH may be longer than an NSIS string, so
; it and the list are kept in memory of their own; each entry is short
; enough for one.
!define PATH_BYTES 65536  ; the 32767 characters of the longest PATH, and its end
Function ToolPath
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  StrCpy $0 ""
  System::Alloc ${PATH_BYTES}
  Pop $4
  System::Alloc 262144  ; the folders, and the entries of three PATHs
  Pop $3
  ${If} $3 <> 0
  ${AndIf} $4 <> 0
    System::Call 'kernel32::lstrcpyW(p r3, w "$SYSDIR;$WINDIR\System;$WINDIR;")'
    System::Call 'kernel32::GetEnvironmentVariableW(w "PATH", p r4, i 32768) i .r2'
    ${If} $2 >= 32768
      StrCpy $2 0   ; missing, or too long for any Windows program
    ${EndIf}
    IntOp $2 $2 * 2
    IntPtrOp $2 $4 + $2
    System::Call '*$2(&i2 0)'
    !insertmacro AbsoluteEntriesAppend
    !insertmacro RegistryPathAppend 0x80000002 "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
    !insertmacro RegistryPathAppend 0x80000001 "Environment"
    System::Call 'kernel32::SearchPathW(p r3, w "${TOOL}", p 0, i ${NSIS_MAX_STRLEN}, w .r6, p 0) i .r1'
    ${If} $1 <> 0
      StrCpy $0 $6
    ${EndIf}
  ${EndIf}
  ${If} $3 <> 0
    System::Free $3
  ${EndIf}
  ${If} $4 <> 0
    System::Free $4
  ${EndIf}
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Section "-Readiness"
  StrCpy $Problems 0
  StrCpy $FinishText ""
  ClearErrors
  FileOpen $Log "$INSTDIR\install.log" w
  ${If} ${Errors}
    StrCpy $Log ""
  ${EndIf}

  ; Whose screen saver was set and whose settings the checks read: a person
  ; who elevated with another account's password sees it was not theirs.
  ; The account ends the line, and gets a line of its own on the page, where
  ; it cannot be broken at its backslash.
  ${If} $AccountSystem = 1
    StrCpy $AccountText "The installer runs as the system account, so no account's \
      screen saver was set, and the checks that belong to a user were skipped:"
  ${ElseIf} ${SectionIsSelected} ${SectionUse}
    StrCpy $AccountText "Somnaro is now the screen saver of this account, and the \
      checks were made for it:"
  ${Else}
    StrCpy $AccountText "The screen saver was left as it was. The checks were made \
      for this account:"
  ${EndIf}
  !insertmacro Finding ACCOUNT "$AccountText" "$Account"

  Call HibernationReady
  Pop $0
  ${If} $0 = 1
    !insertmacro Finding OK "Hibernation is available and switched on." ""
  ${Else}
    !insertmacro Finding PROBLEM "Hibernation is off or not available. To switch it on, \
      run this in a command prompt opened as administrator:" "powercfg /hibernate on"
  ${EndIf}

  Call ToolPath
  Pop $0
  ${If} $0 == ""
    !insertmacro Finding PROBLEM "${TOOL} was not found where Somnaro looks for it. \
      Put ${TOOL} into $WINDIR, then run psshutdown once from a command prompt \
      to accept its licence." ""
  ${Else}
    !insertmacro Finding OK "${TOOL} was found: $0" ""
    ; Asked only of a tool that is there; its advice covers the licence too.
    Call LicencePlace
    Pop $1
    ${If} $1 == computer
      !insertmacro Finding OK "The psshutdown licence is accepted for every account of this \
        computer (HKEY_LOCAL_MACHINE\${EULA_VENDOR_KEY})." ""
    ${ElseIf} $1 == account
      !insertmacro Finding OK "The psshutdown licence is accepted by this account for every \
        Sysinternals tool (HKEY_CURRENT_USER\${EULA_VENDOR_KEY})." ""
    ${ElseIf} $1 == tool
      !insertmacro Finding OK "The psshutdown licence is accepted by this account \
        (HKEY_CURRENT_USER\${EULA_TOOL_KEY})." ""
    ${ElseIf} $AccountSystem = 1
      !insertmacro Finding SKIPPED "The psshutdown licence was not checked per account, as \
        the installer runs as the system account, and it is not accepted for every account \
        of this computer. Run psshutdown once under each account that uses the screen \
        saver, or accept the licence for every account as README-Windows.txt says." ""
    ${Else}
      !insertmacro Finding PROBLEM "The psshutdown licence is not accepted by this account. \
        Run psshutdown once from a command prompt under the account that uses \
        the screen saver." ""
    ${EndIf}
  ${EndIf}

  ; A policy overrides the account's own choice of screen saver: one that
  ; switches savers off or names another saver means Somnaro never starts.
  ReadRegStr $0 HKCU "${POLICY_KEY}" ScreenSaveActive
  ReadRegStr $1 HKCU "${POLICY_KEY}" SCRNSAVE.EXE
  StrCpy $2 1
  StrCpy $3 1
  ${If} $1 != ""
    Push $1
    Call NamesSomnaro
    Pop $2
    Push $1
    Call ForcedSaverFound
    Pop $3
  ${EndIf}
  ${If} $AccountSystem = 1
    !insertmacro Finding SKIPPED "A screen-saver policy was not checked: such a policy \
      belongs to each user, and the installer runs as the system account." ""
  ${ElseIf} $0 == "0"
    !insertmacro Finding PROBLEM "A policy switches screen savers off for this account. \
      The computer's administrator decides the screen saver here." ""
  ${ElseIf} $2 <> 1
    !insertmacro Finding PROBLEM "A policy sets another screen saver for this account. \
      The computer's administrator decides the screen saver here." ""
  ${ElseIf} $3 <> 1
    !insertmacro Finding PROBLEM "A policy sets Somnaro as the screen saver of this account \
      as $1, where 64-bit Windows does not find it, and so ignores the policy. Its \
      administrator must put this full path into the policy Force specific screen saver:" \
      "$RealSystemDir\Somnaro.scr"
  ${Else}
    !insertmacro Finding OK "No policy stops Somnaro being the screen saver of this account." ""
  ${EndIf}

  ${If} $Log != ""
    FileClose $Log
  ${EndIf}
  ${If} $Problems = 0
    StrCpy $FinishTitle "Somnaro is ready"
    StrCpy $FinishText "This computer can hibernate, ${TOOL} was found, its licence \
      is accepted and no policy stands in the way."
  ${Else}
    StrCpy $FinishTitle "Somnaro is installed"
    StrCpy $FinishText "It cannot hibernate the computer yet:$FinishText$\r$\n$\r$\nAlso in $INSTDIR\install.log."
  ${EndIf}
  StrCpy $FinishText "$AccountText$\r$\n      $Account$\r$\n$\r$\n$FinishText"
SectionEnd
