; The peer installer of the benchmarks: the same package as our medium, made with
; makensis. It installs the payload into the same Program Files folder, writes the
; same Uninstall entry (four values), the autostart value before Vista and the
; service helper from Vista on, the same three links and, from Vista on, the
; compatibility mark of the payload; its uninstaller removes all of it.
;   makensis -DPAYLOAD=<folder with CorviskApp.exe, mingwm10.dll, XSrvSetup.exe>
;            -DOUTFILE=<installer> peer.nsi
; Silent: installer /S; uninstaller /S (copies itself to the temporary folder and
; removes the install folder from there) or /S _?=<its folder> (runs in place).

!ifndef PAYLOAD
  !error "PAYLOAD must name the folder of the payload files"
!endif
!ifndef OUTFILE
  !define OUTFILE "peer-setup.exe"
!endif

!include "LogicLib.nsh"
!include "WinVer.nsh"
!include "WinMessages.nsh"

!define APPNAME "Corvisk Viewer"
!define APPFOLDER "Corvisk"
!define APPFILE "CorviskApp.exe"
!define COMPANY "Corvisk Software Ltd."
!define VERSION "1.2.0"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APPFOLDER}"
!define RUNKEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define PERSISTED "Software\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Compatibility Assistant\Persisted"

Unicode true
Name "${APPNAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${APPFOLDER}"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  ; An earlier service helper is stopped and removed before it is overwritten.
  ${If} ${AtLeastWinVista}
  ${AndIf} ${FileExists} "$INSTDIR\XSrvSetup.exe"
    ExecWait '"$INSTDIR\XSrvSetup.exe" -k'
    ExecWait '"$INSTDIR\XSrvSetup.exe" -u'
  ${EndIf}
  ; A running payload is asked to close first.
  FindWindow $0 "" "${APPNAME}"
  ${If} $0 <> 0
    SendMessage $0 ${WM_CLOSE} 0 0
    Sleep 1000
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${PAYLOAD}\mingwm10.dll"
  File "${PAYLOAD}\${APPFILE}"
  ${If} ${AtLeastWinVista}
    File "${PAYLOAD}\XSrvSetup.exe"
  ${EndIf}
  CreateDirectory "$INSTDIR\Uninstall"
  WriteUninstaller "$INSTDIR\Uninstall\uninst.exe"

  ${IfNot} ${AtLeastWinVista}
    WriteRegStr HKLM "${RUNKEY}" "${APPNAME}" "$INSTDIR\${APPFILE} min"
  ${EndIf}
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" "$INSTDIR\Uninstall\uninst.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"

  ${If} ${AtLeastWinVista}
    Exec '"$INSTDIR\XSrvSetup.exe" -i'
  ${EndIf}

  SetShellVarContext current
  CreateShortCut "$DESKTOP\${APPNAME}.lnk" "$INSTDIR\${APPFILE}"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${APPNAME}"
  CreateShortCut "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk" "$INSTDIR\${APPFILE}"
  CreateShortCut "$SMPROGRAMS\${APPNAME}\Uninstall.lnk" "$INSTDIR\Uninstall\uninst.exe"

  ${If} ${AtLeastWinVista}
    WriteRegDWORD HKCU "${PERSISTED}" "$INSTDIR\${APPFILE}" 1
  ${EndIf}
SectionEnd

; The uninstaller lies in {install}\Uninstall: its $INSTDIR becomes the parent.
Function un.onInit
  StrLen $1 $INSTDIR
  ${Do}
    IntOp $1 $1 - 1
    ${IfThen} $1 <= 0 ${|} ${ExitDo} ${|}
    StrCpy $2 $INSTDIR 1 $1
  ${LoopUntil} $2 == "\"
  ${If} $1 > 2
    StrCpy $INSTDIR $INSTDIR $1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ${If} ${AtLeastWinVista}
    ExecWait '"$INSTDIR\XSrvSetup.exe" -k'
    ExecWait '"$INSTDIR\XSrvSetup.exe" -u'
  ${EndIf}
  FindWindow $0 "" "${APPNAME}"
  ${If} $0 <> 0
    SendMessage $0 ${WM_CLOSE} 0 0
    Sleep 1000
  ${EndIf}

  Delete "$INSTDIR\mingwm10.dll"
  Delete "$INSTDIR\${APPFILE}"
  Delete "$INSTDIR\XSrvSetup.exe"
  Delete "$INSTDIR\Uninstall\uninst.exe"
  RMDir "$INSTDIR\Uninstall"
  RMDir /r "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTKEY}"
  ${IfNot} ${AtLeastWinVista}
    DeleteRegValue HKLM "${RUNKEY}" "${APPNAME}"
  ${EndIf}

  SetShellVarContext current
  Delete "$DESKTOP\${APPNAME}.lnk"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APPNAME}\${APPNAME}.lnk"
  Delete "$SMPROGRAMS\${APPNAME}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${APPNAME}"
SectionEnd
