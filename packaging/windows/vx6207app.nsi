; The Windows installer of VX6207App: the application, the command-line tool and the simulator
; with the DLLs they need, under Program Files; a Start-menu entry; the .vxf settings-file type
; (opened by the application, shown with its icon); an uninstaller among the installed programs.
; "/S" installs and uninstalls silently.
; makensis -DVERSION=x.y.z -DLISTS=<folder of install_files.nsh, uninstall_files.nsh>
;          -DICON=<vx6207app.ico> -DLICENCE=<copyright> -DOUTFILE=<setup.exe> vx6207app.nsi
; A 64-bit installer: the programs are 64-bit, and Windows on x86-64 may lack the 32-bit layer.
Target amd64-unicode
!include "MUI2.nsh"

!define PRODUCT "VX6207App"
!define PUBLISHER "ZORVI"
!define APP_EXE "vx6207-app.exe"
!define FILE_CLASS "VX6207App.SettingsFile"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, the companion of the VX6207 resistance meters and their 42-channel MUX: the desktop application, the command-line tool vx6207-cli and the instrument simulator vx6207-sim.$\r$\n$\r$\nClose a running ${PRODUCT} before you go on."
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP_EXE}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

; A 64-bit program: the 64-bit registry and the 64-bit Program Files, for every user.
Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "${PRODUCT}"
    !include "${LISTS}/install_files.nsh"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_EXE}" 0

    WriteRegStr HKLM "Software\Classes\.vxf" "" "${FILE_CLASS}"
    WriteRegStr HKLM "Software\Classes\${FILE_CLASS}" "" "${PRODUCT} measurement settings"
    WriteRegStr HKLM "Software\Classes\${FILE_CLASS}\DefaultIcon" "" "$INSTDIR\${APP_EXE},0"
    WriteRegStr HKLM "Software\Classes\${FILE_CLASS}\shell\open\command" "" '"$INSTDIR\${APP_EXE}" "%1"'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP_EXE},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; SHCNE_ASSOCCHANGED: Explorer shows the new file type's icon at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Only what the installer put there goes: a user's files in the folder stay (and keep the folder).
; The configuration in %APPDATA%\ZORVI\VX6207App is the user's and stays too.
Section "Uninstall"
    !include "${LISTS}/uninstall_files.nsh"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "Software\Classes\${FILE_CLASS}"
    ReadRegStr $0 HKLM "Software\Classes\.vxf" ""
    StrCmp $0 "${FILE_CLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.vxf"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
