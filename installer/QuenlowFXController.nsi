; Installer of the Quenlow FX Controller: a 64-bit NSIS installer that puts the controller
; below the program files folder, adds the Start-menu folder "Quenlow FX" for all users and
; registers an uninstaller. `/S` installs or removes silently.
;
;   makensis -DOUTFILE=... -DFILES=InstalledFiles.nsh -DVERSION=... -DPRODUCT=... (the build passes every
;            name below from cmake/Product.cmake) QuenlowFXController.nsi

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "LogicLib.nsh"
!include "x64.nsh"

!ifndef OUTFILE
  !define OUTFILE "QuenlowFXControllerSetup.exe"
!endif

!macro RequireDefine name
  !ifndef ${name}
    !error "${name} must be defined on the command line (the build does it)"
  !endif
!macroend
!insertmacro RequireDefine PRODUCT
!insertmacro RequireDefine PUBLISHER
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine EXE
!insertmacro RequireDefine UNINSTALLER
!insertmacro RequireDefine MENU_FOLDER
!insertmacro RequireDefine SHORTCUT
!insertmacro RequireDefine CAPTION
!insertmacro RequireDefine UNINSTALL_KEY
!insertmacro RequireDefine INSTALL_SUBFOLDER
!insertmacro RequireDefine FILES
!include "${FILES}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${INSTALL_SUBFOLDER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The controller cannot be replaced while it runs. Ask the user to close it (a silent
; install fails instead), before anything is written, so no half-installed copy is left.
!macro WaitUntilControllerIsClosed un
Function ${un}WaitUntilControllerIsClosed
  check:
    FindWindow $0 "#32770" "${CAPTION}"
    StrCmp $0 0 0 running
    IfFileExists "$INSTDIR\${EXE}" 0 closed
    ; A running copy without a window still holds its file.
    ClearErrors
    FileOpen $1 "$INSTDIR\${EXE}" a
    IfErrors running
    FileClose $1
  closed:
    Return
  running:
    IfSilent 0 ask
    DetailPrint "${PRODUCT} is running; close it and run this again."
    SetErrorLevel 2
    Quit
  ask:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running.$\r$\n$\r$\nPlease close it, then press Retry." IDRETRY check
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro WaitUntilControllerIsClosed ""
!insertmacro WaitUntilControllerIsClosed "un."

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Quenlow FX Controller" SecController
  SectionIn RO
  Call WaitUntilControllerIsClosed
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecController} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes only what the installer made: the plugins' files, the help folder, the mirror and
; preset files belong to other products, so the folders are removed only when empty.
Section "Uninstall"
  Call un.WaitUntilControllerIsClosed
  !insertmacro RemoveFiles
  Delete "$SMPROGRAMS\${MENU_FOLDER}\${SHORTCUT}"
  RMDir "$SMPROGRAMS\${MENU_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
SectionEnd
