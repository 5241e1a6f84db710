// The end of the Windows session while the rest window is up, in a process of its own because it
// ends the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Application.h"
#include "framework/resources/ResourceFile.h"
#include "reminders/eye2/Doeye2.h"

namespace {

class SessionEnd : public AppFixture {};

bool Exists(const char* name) { return std::filesystem::exists(std::filesystem::u8path(PathNextToExecutable(name))); }

TEST_F(SessionEnd, PutsTheDesktopAndTheFilesRightBeforeThePendingEnd) {
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ASSERT_NE(taskbar, nullptr);
  SetClock(EncodeDateTime(2026, 12, 7, 9, 0, 0));
  velmain->ArmAtStartup();
  velmain->CheckBox1->SetChecked(true);
  SetClock(EncodeDateTime(2026, 12, 7, 9, 59, 59));
  velmain->Timer1Timer(nullptr);
  const int pointer = CursorDisplayCount();

  bool locked = false;
  LRESULT mayEnd = FALSE;
  bool taskbarBack = false;
  int pointerAfter = -100;
  bool filesLeft = true;
  bool trayLeft = true;
  WhileModal([&] {
    locked = doeye2->Showing() && !IsWindowVisible(taskbar) && Exists("eyezz.mp3");
    mayEnd = SendMessageW(velmain->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageW(velmain->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    // Windows may end the process from here on.
    taskbarBack = IsWindowVisible(taskbar) != FALSE;
    pointerAfter = CursorDisplayCount();
    filesLeft = Exists("eyezz.mp3") || Exists("velskin.skn") || Exists("tarno.vel");
    trayLeft = TrayIcon1->Active();
  });
  SetClock(EncodeDateTime(2026, 12, 7, 10, 0, 0));
  velmain->Timer1Timer(nullptr);
  EXPECT_TRUE(locked) << "the rest window was not up with the audio";
  EXPECT_EQ(mayEnd, TRUE);
  EXPECT_TRUE(taskbarBack);
  EXPECT_EQ(pointerAfter, pointer);
  EXPECT_FALSE(filesLeft);
  EXPECT_FALSE(trayLeft);
  Application->ProcessMessages();
  EXPECT_TRUE(Application->Terminated());
}

}  // namespace
