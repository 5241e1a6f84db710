// brevin.exe as a user meets it: started next to this test, found by its window caption.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "app/tests/ProgramProcess.h"
#include "framework/win32/Strings.h"

namespace {

std::filesystem::path Directory() { return TestProgramDirectory(); }

Process Start() { return StartProgram(Directory() / L"brevin.exe"); }

TEST(EndToEnd, StartsShowsItsMainWindowWritesItsSkinAndRefusesASecondCopy) {
  const auto skin = Directory() / L"velskin.skn";
  std::filesystem::remove(skin);
  // As an earlier run that was ended while its rest window was up leaves it.
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ASSERT_NE(taskbar, nullptr);
  ShowWindow(taskbar, SW_HIDE);
  Process first = Start();
  ASSERT_TRUE(first.handle);
  HWND main = WaitForWindow(first.id, L"晴岚 V1.2");
  ASSERT_NE(main, nullptr) << "the main window did not appear";
  EXPECT_TRUE(std::filesystem::exists(skin));
  EXPECT_TRUE(IsWindowVisible(taskbar)) << "start-up gives the taskbar back";
  ShowWindow(taskbar, SW_SHOW);

  const auto skinWritten = std::filesystem::last_write_time(skin);
  Process second = Start();
  ASSERT_TRUE(second.handle);
  HWND refusal = WaitForWindow(second.id, L"提示");
  ASSERT_NE(refusal, nullptr) << "the second copy must say that one is running";
  wchar_t text[64] = {};
  GetDlgItemTextW(refusal, 0xFFFF, text, 64);  // the message box's text control
  EXPECT_EQ(WideToUtf8(text), "晴岚已经运行!");
  EXPECT_EQ(WaitForWindow(second.id, L"晴岚 V1.2", 500), nullptr);
  EXPECT_FALSE(OwnsWindowOfClass(second.id, L"BrevinTrayIconWindow")) << "no tray icon for the second copy";
  PostMessageW(refusal, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForSingleObject(second.handle.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(std::filesystem::last_write_time(skin), skinWritten) << "the second copy writes nothing";
  EXPECT_FALSE(std::filesystem::exists(Directory() / L"eyezz.mp3"));
  EXPECT_FALSE(std::filesystem::exists(Directory() / L"tarno.vel"));

  // Closing the main window only hides it in the tray: the program keeps running.
  PostMessageW(main, WM_CLOSE, 0, 0);
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_EQ(WaitForSingleObject(first.handle.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
