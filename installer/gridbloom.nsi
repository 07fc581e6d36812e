; The setup program of gridbloom: puts gridbloom.scr into the Windows system
; folder, makes it the current user's screen saver, and leaves an uninstaller
; (with this read-me and the licence) in its own folder under Program Files.
;
; Built by tools/make-release.sh; by hand, from the top folder:
;   makensis -DSCR_FILE="$PWD/build/windows/gridbloom.scr" -DOUT_DIR="$PWD/build/release" installer/gridbloom.nsi
; makensis works in this script's folder, so give absolute paths. Optional:
; -DICON_FILE=<an .ico> for the icon of the setup and the uninstaller.
;
; Both the setup and the uninstaller run silently with /S. The uninstaller
; never deletes a gridbloom.dat: that file holds the user's colour.

Unicode true

!ifndef SCR_FILE
  !error "Give the program to install: -DSCR_FILE=<path of gridbloom.scr>"
!endif
!ifndef OUT_DIR
  !error "Give the folder for the setup program: -DOUT_DIR=<folder>"
!endif

!define PRODUCT "gridbloom"
!define PRODUCT_NAME "グリッドブルーム (ver.2.00)"
!define VERSION "2.00.0034"
!define VERSION_NUMBERS "2.0.0.34"
!define PUBLISHER "the gridbloom developers"
!define PROGRAM_FILE "gridbloom.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\gridbloom"
!define DESKTOP_KEY "Control Panel\Desktop"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

Name "${PRODUCT_NAME}"
OutFile "${OUT_DIR}/gridbloom-${VERSION}-setup.exe"
InstallDir "$PROGRAMFILES\gridbloom"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

; Where the screen saver goes: the folder Windows' Screen Saver Settings lists
; for a 32-bit program. On 64-bit Windows that is SysWOW64 (named here, not
; reached through the redirection of System32); on 32-bit Windows System32.
Var SystemFolder

; ----------------------------------------------------------------------------
; Pages and languages

!ifdef ICON_FILE
  !define MUI_ICON "${ICON_FILE}"
  !define MUI_UNICON "${ICON_FILE}"
!endif
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_LICENSE "../LICENSE"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when Windows' own is neither.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

; ----------------------------------------------------------------------------
; The setup program's own version resource

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT_NAME} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER} (MIT License)"
VIAddVersionKey /LANG=${LANG_JAPANESE} "OriginalFilename" "gridbloom-${VERSION}-setup.exe"

; ----------------------------------------------------------------------------
; Shared by the setup and the uninstaller

!macro DEFINE_FIND_SYSTEM_FOLDER prefix
Function ${prefix}FindSystemFolder
  ${If} ${RunningX64}
    StrCpy $SystemFolder "$WINDIR\SysWOW64"
  ${Else}
    StrCpy $SystemFolder "$SYSDIR"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_FIND_SYSTEM_FOLDER ""
!insertmacro DEFINE_FIND_SYSTEM_FOLDER "un."

; ----------------------------------------------------------------------------
; Setup

Section "gridbloom" SecMain
  SectionIn RO
  Call FindSystemFolder
  DetailPrint "$SystemFolder\${PROGRAM_FILE}"

  SetOverwrite on
  SetOutPath "$SystemFolder"
  File "/oname=${PROGRAM_FILE}" "${SCR_FILE}"

  ; The current user's screen saver. Windows' own settings page stores the
  ; short form of the path; keep the long one where there is no short name.
  GetFullPathName /SHORT $0 "$SystemFolder\${PROGRAM_FILE}"
  ${If} $0 == ""
    StrCpy $0 "$SystemFolder\${PROGRAM_FILE}"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; SPI_SETSCREENSAVEACTIVE with SPIF_UPDATEINIFILE | SPIF_SENDCHANGE: tells
  ; the running session that the screen-saver settings changed.
  System::Call "user32::SystemParametersInfoW(i 17, i 1, p 0, i 3)"

  SetOutPath "$INSTDIR"
  File "/oname=readme.txt" "readme.txt"
  File "/oname=LICENSE.txt" "../LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Apps and Features (Programs and Features on older Windows).
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SystemFolder\${PROGRAM_FILE},0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; EstimatedSize is in KiB: the program and the uninstaller's folder.
  StrCpy $2 0
  FileOpen $1 "$SystemFolder\${PROGRAM_FILE}" r
  ${IfNot} ${Errors}
    FileSeek $1 0 END $2
    FileClose $1
  ${EndIf}
  FileOpen $1 "$INSTDIR\uninstall.exe" r
  ${IfNot} ${Errors}
    FileSeek $1 0 END $3
    FileClose $1
    IntOp $2 $2 + $3
  ${EndIf}
  IntOp $2 $2 + 4095  ; readme and licence, and rounding up
  IntOp $2 $2 / 1024
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $2
SectionEnd

; ----------------------------------------------------------------------------
; Uninstaller

Section "Uninstall"
  Call un.FindSystemFolder
  StrCpy $0 "$SystemFolder\${PROGRAM_FILE}"

  ; Stop being the screen saver only while we still are: the user may have
  ; chosen another one since. Compare with both forms of our path, before the
  ; file (and with it its short name) is gone. StrCmp ignores case.
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $2 "$0"
  ${If} $1 != ""
    ${If} $1 == $0
    ${OrIf} $1 == $2
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      DetailPrint "SCRNSAVE.EXE: removed"
      SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${DESKTOP_KEY}" /TIMEOUT=2000
    ${EndIf}
  ${EndIf}

  ; A saver that is running now keeps its file until the next restart.
  Delete /REBOOTOK "$0"
  ; Any gridbloom.dat beside it, and the per-user copies Windows keeps for
  ; it, are the user's: they stay.

  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
