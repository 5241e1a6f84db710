; 晴岚's installer for one user: no administrator is needed, because 晴岚 writes its skin, movie and
; audio files next to itself and so must live in a folder the user may write to.
; Built by the MinGW build (app/CMakeLists.txt), which defines:
;   PROGRAM  brevin.exe     HELP  Helpx.chm     ICON  the program's icon
;   VERSION  the version the About page shows   OUTFILE  where brevin-setup.exe goes
Target amd64-unicode
; Solid LZMA packs the program best: bzip2 or zlib leave the installer about a tenth larger, and
; a dictionary above 8 MB gains nothing. Most of what stays is the exercise audio, MP3 already.
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "晴岚"
!define PUBLISHER "晴岚开发组"
; The same name serves as the single-instance mutex (app/brevin.cpp) and as the Run value the
; autostart button writes (app/settime/Autostart.cpp).
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "uninstall.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} V${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_WELCOMEPAGE_TITLE "欢迎安装晴岚 V${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "晴岚是一个护眼闹钟：到了您设定的时间，它会提醒您休息眼睛，播放眼保健操的语音指导，或者用半透明的休息屏幕请您离开电脑片刻。$\r$\n$\r$\n晴岚只为当前用户安装，不需要管理员权限，安装在：$\r$\n$INSTDIR$\r$\n$\r$\n如果晴岚正在运行，请先右击通知区域中晴岚的图标，选择“退出”。$\r$\n$\r$\n单击“下一步”继续。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "晴岚已经安装好了"
!define MUI_FINISHPAGE_TEXT "您可以从“开始”菜单中的“晴岚”启动它。它启动后住在通知区域里，关闭主窗口不会退出。"
!define MUI_FINISHPAGE_RUN "$INSTDIR\brevin.exe"
!define MUI_FINISHPAGE_RUN_TEXT "现在启动晴岚"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; Replacing or deleting the files of a running copy would fail half-way (Windows keeps a running
; program's file open) and leave a broken install: the user closes 晴岚 first. A silent run cannot
; ask, so it fails with exit code 2 instead of waiting.
!macro RefuseWhileRunning un
  Function ${un}RefuseWhileRunning
    retry:
      ; SYNCHRONIZE access is enough to learn whether the mutex exists.
      System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${PRODUCT}") p .r0'
      ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "晴岚正在运行。$\r$\n$\r$\n请先右击通知区域中晴岚的图标，选择“退出”，然后单击“重试”。" /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
      ${EndIf}
  FunctionEnd
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

Function .onInit
  Call RefuseWhileRunning
FunctionEnd

Section "晴岚" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  File "${HELP}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\brevin.exe" "" "$INSTDIR\brevin.exe" 0 SW_SHOWNORMAL "" "${PRODUCT}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\brevin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "桌面快捷方式" SectionDesktop
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\brevin.exe" "" "$INSTDIR\brevin.exe" 0 SW_SHOWNORMAL "" "${PRODUCT}"
SectionEnd

Function un.onInit
  Call un.RefuseWhileRunning
  ; Run from anywhere else (a copy, a folder already uninstalled) it would have nothing to remove.
  ${IfNot} ${FileExists} "$INSTDIR\brevin.exe"
    MessageBox MB_OK|MB_ICONSTOP "在 $INSTDIR 中没有找到晴岚，无法卸载。" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

; Only the files named here are deleted, never the folder's other contents: a user may have put
; something of their own there.
Section "Uninstall"
  Delete "$INSTDIR\brevin.exe"
  Delete "$INSTDIR\Helpx.chm"
  ; What 晴岚 writes next to itself while in use and leaves behind when it is ended abruptly.
  Delete "$INSTDIR\velskin.skn"
  Delete "$INSTDIR\tarno.vel"
  Delete "$INSTDIR\eyezz.mp3"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ; The settings 晴岚 keeps for the user.
  DeleteRegKey HKCU "Software\${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
