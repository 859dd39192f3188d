; The installer of Quillet for Windows: the window and the command line in one folder,
; a Start-menu entry, and an uninstaller that takes everything away again.
; scripts/build-windows.sh calls it with VERSION, ICON, STAGE (the folder of the files to
; install) and OUTFILE defined.
; A 64-bit installer for the 64-bit programs; it also runs where no 32-bit Windows
; layer is installed.
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet"

Name "Quillet ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillet"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
Icon "${ICON}"
UninstallIcon "${ICON}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Quillet"
VIAddVersionKey "FileDescription" "Quillet ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 the Quillet developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Quillet"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${STAGE}\quillet.exe"
    File "${STAGE}\quillet-cli.exe"
    File "${STAGE}\README.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; Quillet works on the device files of the folder it starts in: the Start-menu
    ; entry starts it in the Documents folder, where people copy them.
    CreateDirectory "$SMPROGRAMS\Quillet"
    SetOutPath "$DOCUMENTS"
    CreateShortcut "$SMPROGRAMS\Quillet\Quillet.lnk" "$INSTDIR\quillet.exe"
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Quillet\Uninstall Quillet.lnk" "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillet ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Quillet developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillet.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Quillet\Quillet.lnk"
    Delete "$SMPROGRAMS\Quillet\Uninstall Quillet.lnk"
    RMDir "$SMPROGRAMS\Quillet"
    Delete "$INSTDIR\quillet.exe"
    Delete "$INSTDIR\quillet-cli.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
