; The Windows installer, made by scripts/windows/build.sh:
;   makensis -DVERSION=3.3.1 -DSTAGE=DIR -DFILES=DIR/files.nsh -DSIZE_KB=N -DOUTFILE=F quilm.nsi
; STAGE holds the installed tree; FILES says what the uninstaller removes of it.
; A 64-bit installer, for a 64-bit program: a 32-bit Windows cannot start it.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

Name "Quilm ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quilm"
InstallDirRegKey HKLM "Software\Quilm" "InstallDir"
RequestExecutionLevel admin
BrandingText "Quilm ${VERSION}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quilm"
!define MUI_ICON "${STAGE}/quilm.ico"
!define MUI_UNICON "${STAGE}/quilm.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_LICENSE "${STAGE}/licenses/quilm/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Quilm"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Quilm ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "GNU General Public License, version 2 or later"

Section "Quilm"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "Software\Quilm" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quilm"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quilm.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

    ; Quilm keeps Quilm.ini and its log in its working directory, which the
    ; shortcut sets to the user's own folder, spelt with the variable so that
    ; it is each user's. The installing user's is made now; the program makes
    ; another user's at the first start.
    SetShellVarContext current
    CreateDirectory "$LOCALAPPDATA\Quilm"
    SetShellVarContext all
    StrCpy $OUTDIR "%LOCALAPPDATA%\Quilm"
    CreateShortcut "$SMPROGRAMS\Quilm.lnk" "$INSTDIR\quilm.exe" "" "$INSTDIR\quilm.exe" 0 \
        SW_SHOWNORMAL "" "Sorts photographs"
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Quilm.lnk"
    ; What the installer put there, and nothing else: the users' settings,
    ; logs and journals in their own folders stay.
    !include "${FILES}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Quilm"
SectionEnd
