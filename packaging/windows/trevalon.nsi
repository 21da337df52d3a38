; Trevalon installer. makensis -DBUILD_DIR=<windows build> -DOUTFILE=<setup.exe>
; [-DAMD64] [-DHAVE_GUI] [-DHAVE_BENCH]; scripts/windows-package passes them.
; Per-user install: the program writes temphtm.HTM into its own folder, which
; must therefore be writable without elevation.
Unicode true
!ifdef AMD64
  Target amd64-unicode
!endif
!include "${BUILD_DIR}\version.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trevalon"
!ifdef HAVE_GUI
  !define MAIN_EXE "trevalon.exe"
!else
  !define MAIN_EXE "trevalon-cli.exe"
!endif

Name "Trevalon"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Trevalon"
SetCompressor /SOLID lzma

VIProductVersion "${VERSION4}"
VIAddVersionKey ProductName "Trevalon"
VIAddVersionKey CompanyName "Mirrowin"
VIAddVersionKey FileDescription "Trevalon drive speed tester installer"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Copyright 2026 Mirrowin"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
!ifdef HAVE_GUI
  File "${BUILD_DIR}\src\win32\trevalon.exe"
!endif
  File "${BUILD_DIR}\src\cli\trevalon-cli.exe"
!ifdef HAVE_BENCH
  File "${BUILD_DIR}\perf\trevalon-bench.exe"
!endif
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Trevalon.lnk" "$INSTDIR\${MAIN_EXE}"
  WriteRegStr HKCU "${UNINST_KEY}" DisplayName "Trevalon"
  WriteRegStr HKCU "${UNINST_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" Publisher "Mirrowin"
  WriteRegStr HKCU "${UNINST_KEY}" DisplayIcon "$INSTDIR\${MAIN_EXE}"
  WriteRegStr HKCU "${UNINST_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" NoModify 1
  WriteRegDWORD HKCU "${UNINST_KEY}" NoRepair 1
SectionEnd

; Files named one by one: a recursive delete of a folder the user chose could
; take the user's own files with it.
Section Uninstall
  SetShellVarContext current
  Delete "$SMPROGRAMS\Trevalon.lnk"
  Delete "$INSTDIR\trevalon.exe"
  Delete "$INSTDIR\trevalon-cli.exe"
  Delete "$INSTDIR\trevalon-bench.exe"
  Delete "$INSTDIR\temphtm.HTM"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Only if empty: the installer may have made it.
  RMDir "$LOCALAPPDATA\Programs"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
