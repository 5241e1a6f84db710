// 晴岚: an eye-rest alarm that lives in the notification area.
#include <windows.h>

#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"
#include "reminders/eye2/Doeye2.h"
#include "skin/win/manager/SkinManage.h"

namespace {
// A crash while the rest window is up would leave the user without a taskbar or a pointer.
LONG WINAPI RestoreDesktopBeforeCrash(EXCEPTION_POINTERS*) {
  RestoreDesktopAfterLock();
  return EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  SetUnhandledExceptionFilter(RestoreDesktopBeforeCrash);
  Application->Initialize();
  Application->SetTitle("晴岚");
  // One copy per desktop session: the mutex exists for as long as the first copy runs.
  UniqueKernelHandle instanceMutex(CreateMutexW(nullptr, FALSE, Utf8ToWide("晴岚").c_str()));
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    Application->MessageBox("晴岚已经运行!", "提示", 0);
  } else {
    // An earlier run that was ended while locked left the taskbar hidden.
    RestoreDesktopAfterLock();
    // Every window, message boxes included, is drawn in the skin once the main window's skin data
    // turns it on.
    UseSkinManage();
    try {
      // The reminder windows are made when the first reminder is due: most starts end in the
      // tray long before, and making them costs start-up time and memory.
      Application->CreateForm(velmain);
      Application->Run();
      // The forms' destructors take the tray icon away and close the media players.
      Application->DestroyComponents();
    } catch (const std::exception& error) {
      // Without its windows the program cannot do anything: say why rather than vanish.
      RestoreDesktopAfterLock();
      Application->ShowException(error);
    }
    // The manager's hook and form skinners go while the GUI thread still runs.
    SetSkinManagerFactory(nullptr);
  }
  if (instanceMutex) ReleaseMutex(instanceMutex.get());
  return 0;
}
