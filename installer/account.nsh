; Whose installation this is. The installer may run under another account
; than the signed-in user's: SYSTEM, when Intune or Configuration Manager
; deploy it (SYSTEM's own settings are the logon screen's), or the
; administrator whose password answered the UAC prompt. The choice of screen
; saver and the checks that belong to a user are that account's, so the
; installer names the account, and under SYSTEM leaves them alone.

Var Account        ; DOMAIN\name of the account the installer runs under
Var AccountSystem  ; 1 when that is the local SYSTEM account

; Both read from the user of the process's token. SYSTEM is told by its
; well-known SID, since its name differs with Windows' language. Where the
; token cannot be read, the account is taken for a user's and named by
; UserInfo, which has the name alone.
Function AccountRead
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $Account ""
  StrCpy $AccountSystem 0
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r0'  ; TOKEN_QUERY
  ${If} $0 <> 0
    System::Alloc 512  ; a TOKEN_USER and its SID take under 100
    Pop $2
    System::Call 'advapi32::GetTokenInformation(p r1, i 1, p r2, i 512, *i .r3) i .r0'  ; TokenUser
    ${If} $0 <> 0
      System::Call '*$2(p .r3)'  ; the SID's address comes first
      System::Call 'advapi32::IsWellKnownSid(p r3, i 22) i .r0'  ; WinLocalSystemSid
      ${If} $0 <> 0
        StrCpy $AccountSystem 1
      ${EndIf}
      System::Call 'advapi32::LookupAccountSidW(p 0, p r3, w .r4, *i ${NSIS_MAX_STRLEN}, \
        w .r5, *i ${NSIS_MAX_STRLEN}, *i .r0) i .r0'
      ${If} $0 = 0
      ${OrIf} $5 == ""
        StrCpy $Account $4
      ${Else}
        StrCpy $Account "$5\$4"
      ${EndIf}
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  ${If} $Account == ""
    UserInfo::GetName
    Pop $Account
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
