; SPDX-License-Identifier: GPL-3.0-or-later
; The installer of Quillet for Windows: the window and the command line in one folder,
; a Start-menu entry, and an uninstaller that takes everything away again.
; scripts/build-windows.sh calls it with VERSION, ICON, STAGE (the folder of the files to
; install) and OUTFILE defined, and -INPUTCHARSET UTF8 for the Russian texts.
; It speaks English or Russian, after the user's language; its first page is the licence.
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
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Quillet"
VIAddVersionKey "FileDescription" "Quillet ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 the Quillet developers"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; The GPL is not a contract to accept: the page only shows it, with a plain Next.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(LicenceBottom)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString LicenceBottom ${LANG_ENGLISH} \
    "You need not accept this licence to install or use Quillet. Click Next to continue."
LangString LicenceBottom ${LANG_RUSSIAN} \
    "Чтобы установить Quillet и пользоваться им, принимать эту лицензию не нужно. Нажмите «Далее»."

Section "Quillet"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${STAGE}\quillet.exe"
    File "${STAGE}\quillet-cli.exe"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\THIRD-PARTY-NOTICES.txt"
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
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
