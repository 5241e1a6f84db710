// brevin.exe as a user meets it: started next to this test, found by its window caption.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"

namespace {

std::filesystem::path Directory() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path();
}

struct Process {
  UniqueKernelHandle handle;
  DWORD id = 0;
};

Process Start() {
  const std::wstring exe = (Directory() / L"brevin.exe").wstring();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      Directory().wstring().c_str(), &startup, &info)) {
    ADD_FAILURE() << "cannot start " << WideToUtf8(exe);
    return {};
  }
  CloseHandle(info.hThread);
  return {UniqueKernelHandle(info.hProcess), info.dwProcessId};
}

struct Found {
  DWORD process;
  const wchar_t* caption;
  HWND window = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* found = reinterpret_cast<Found*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  if (owner == found->process && std::wstring(text) == found->caption && IsWindowVisible(window)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(DWORD process, const wchar_t* caption, DWORD timeoutMs = 15000) {
  const DWORD end = GetTickCount() + timeoutMs;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    Found found{process, caption};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
    if (found.window) return found.window;
    Sleep(50);
  }
  return nullptr;
}

bool OwnsWindowOfClass(DWORD process, const wchar_t* className) {
  for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window;
       window = FindWindowExW(nullptr, window, className, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process) return true;
  }
  return false;
}

void Stop(Process& process) {
  if (!process.handle) return;
  TerminateProcess(process.handle.get(), 0);
  WaitForSingleObject(process.handle.get(), 5000);
}

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
  Stop(first);
}

}  // namespace
