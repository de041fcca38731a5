; The setup program: installs Trawlbox for every user of the machine into Program Files, with a
; Start-menu shortcut and an entry in Windows' list of installed apps, and an uninstaller that
; removes all three. Both run without a question under /S.
; makensis runs this from CPack (cpack_makensis.cmake) with -INPUTCHARSET UTF8, which the
; shortcut's Japanese name needs, and these defines: VERSION (1.20.1), PUBLISHER, STAGE (the
; folder CPack installed the program into), ICON and OUTFILE.
Unicode true
; The program is 64-bit only. A 64-bit setup writes to Program Files and the registry without
; WOW64's redirection, and runs where no 32-bit Windows code can, such as a Wine without its
; 32-bit half.
Target amd64-unicode
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trawlbox"
!define SHORTCUT "$SMPROGRAMS\トロールボックス.lnk"

Name "Trawlbox ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Trawlbox"
; A later setup installs over an earlier one, wherever that was put.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Trawlbox"
VIAddVersionKey /LANG=1041 "FileDescription" "Trawlbox Setup"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}/trawlbox.exe"
  File "${STAGE}/README.txt"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\trawlbox.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Trawlbox"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\trawlbox.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only the files this setup wrote: the folder may have been chosen as one that holds others.
Section "Uninstall"
  SetShellVarContext all
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\trawlbox.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
