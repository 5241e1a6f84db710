#include "app/tests/ProgramProcess.h"

#include <gtest/gtest.h>

#include "framework/win32/Strings.h"

namespace {

struct Found {
  DWORD process;
  const wchar_t* caption;
  bool visibleOnly;
  HWND window = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* found = reinterpret_cast<Found*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t text[128] = {};
  GetWindowTextW(window, text, 128);
  if (owner == found->process && std::wstring(text) == found->caption &&
      (!found->visibleOnly || IsWindowVisible(window))) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

// Polls until check gives true or the time is up; checks at least once.
template <typename Check>
bool Within(DWORD timeoutMs, Check check) {
  const DWORD end = GetTickCount() + timeoutMs;
  for (;;) {
    if (check()) return true;
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    Sleep(50);
  }
}

}  // namespace

std::filesystem::path TestProgramDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(std::wstring(path, n)).parent_path();
}

void Process::Stop() {
  if (handle && WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(handle.get(), 0);
    WaitForSingleObject(handle.get(), 5000);
  }
}

Process StartProgram(const std::filesystem::path& exe, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  Process process;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      exe.parent_path().c_str(), &startup, &info)) {
    ADD_FAILURE() << "cannot start " << WideToUtf8(exe.wstring());
    return process;
  }
  CloseHandle(info.hThread);
  process.handle.reset(info.hProcess);
  process.id = info.dwProcessId;
  return process;
}

DWORD RunToEnd(const std::filesystem::path& exe, const std::wstring& arguments) {
  Process process = StartProgram(exe, arguments);
  if (!process.handle || WaitForSingleObject(process.handle.get(), 60000) != WAIT_OBJECT_0) return ~DWORD{0};
  DWORD code = 0;
  GetExitCodeProcess(process.handle.get(), &code);
  return code;
}

HWND WaitForWindow(DWORD process, const wchar_t* caption, DWORD timeoutMs) {
  Found found{process, caption, true};
  Within(timeoutMs, [&] {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr;
  });
  return found.window;
}

HWND FindChild(HWND parent, DWORD process, const wchar_t* caption) {
  Found found{process, caption, false};
  EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&found));
  return found.window;
}

bool OwnsWindowOfClass(DWORD process, const wchar_t* className, DWORD timeoutMs) {
  return Within(timeoutMs, [&] {
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == process) return true;
    }
    return false;
  });
}
