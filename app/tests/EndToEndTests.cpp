// brevin.exe as a user meets it: started next to this test, found by its window caption.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cwctype>
#include <filesystem>
#include <set>
#include <string>

#include "app/tests/ProgramProcess.h"
#include "framework/win32/Strings.h"

namespace {

std::filesystem::path Directory() { return TestProgramDirectory(); }

Process Start() { return StartProgram(Directory() / L"brevin.exe"); }

// A spin edit of another process is asked for its text: its caption is not where the text lives.
HWND FindSpinEditHolding(HWND parent, const wchar_t* text) {
  struct Search {
    const wchar_t* text;
    HWND found;
  } search{text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM parameter) -> BOOL {
        auto* s = reinterpret_cast<Search*>(parameter);
        wchar_t className[16] = {};
        wchar_t held[32] = {};
        GetClassNameW(window, className, 16);
        SendMessageW(window, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(held));
        if (std::wstring(className) != L"TSpinEdit" || std::wstring(held) != s->text) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The file names of the libraries loaded in the process, in lower case.
std::set<std::wstring> LoadedModules(DWORD process) {
  std::set<std::wstring> names;
  UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return names;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32FirstW(snapshot.get(), &entry); more; more = Module32NextW(snapshot.get(), &entry)) {
    std::wstring name = entry.szModule;
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
    names.insert(name);
  }
  return names;
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
  // The libraries of the audio, the tray and the About page's movie wait for their first use.
  const std::set<std::wstring> atStart = LoadedModules(first.id);
  EXPECT_TRUE(atStart.count(L"user32.dll"));
  for (const wchar_t* later : {L"winmm.dll", L"shell32.dll", L"oleaut32.dll"})
    EXPECT_FALSE(atStart.count(later)) << WideToUtf8(later);

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
  EXPECT_TRUE(OwnsWindowOfClass(first.id, L"BrevinTrayIconWindow"));
  EXPECT_TRUE(LoadedModules(first.id).count(L"shell32.dll")) << "the tray icon loaded the shell's library";
}

TEST(EndToEnd, TheSettingsOutliveTheProgramEvenWhenItIsEndedAbruptly) {
  const wchar_t key[] = L"Software\\晴岚";
  RegDeleteTreeW(HKEY_CURRENT_USER, key);
  const auto click = [](HWND button) {
    ASSERT_NE(button, nullptr);
    SendMessageW(button, BM_CLICK, 0, 0);
  };
  {
    Process first = Start();
    HWND main = WaitForWindow(first.id, L"晴岚 V1.2");
    ASSERT_NE(main, nullptr);
    click(FindChild(main, first.id, L"只提示,不播放眼保健操"));
    click(FindChild(main, first.id, L" 锁屏幕"));
    click(FindChild(main, first.id, L" 离开电脑算作休息"));
    HWND minutes = FindSpinEditHolding(main, L"5");
    ASSERT_NE(minutes, nullptr);
    SendMessageW(minutes, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"17"));
  }
  Process second = Start();
  HWND main = WaitForWindow(second.id, L"晴岚 V1.2");
  ASSERT_NE(main, nullptr);
  const auto checked = [&](const wchar_t* caption) {
    HWND button = FindChild(main, second.id, caption);
    return button && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  EXPECT_TRUE(checked(L"只提示,不播放眼保健操"));
  EXPECT_FALSE(checked(L"播放眼保健操（推荐）"));
  EXPECT_TRUE(checked(L" 锁屏幕"));
  EXPECT_FALSE(checked(L" 离开电脑算作休息"));
  EXPECT_NE(FindSpinEditHolding(main, L"17"), nullptr) << "the away minutes";
  EXPECT_NE(FindSpinEditHolding(main, L"30"), nullptr) << "the lock seconds, untouched";
  second.Stop();
  RegDeleteTreeW(HKEY_CURRENT_USER, key);
}

}  // namespace
