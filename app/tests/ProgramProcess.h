#pragma once
// The program under test as a user meets it: a process of its own, found by its windows.
#include <windows.h>

#include <filesystem>
#include <string>

#include "framework/win32/Handles.h"

// The folder of the running test program, where the build puts brevin.exe beside it.
std::filesystem::path TestProgramDirectory();

struct Process {
  UniqueKernelHandle handle;
  DWORD id = 0;
  Process() = default;
  Process(Process&&) = default;
  Process& operator=(Process&&) = delete;
  // A test that fails half-way must not leave a copy running into the next test.
  ~Process() { Stop(); }
  void Stop();
};

// Started in the program's own folder; a failure to start fails the test and gives no handle.
Process StartProgram(const std::filesystem::path& exe, const std::wstring& arguments = L"");
// The exit code, or ~0 when the program did not end within a minute.
DWORD RunToEnd(const std::filesystem::path& exe, const std::wstring& arguments);

// A visible top-level window of the process with that caption, waited for.
HWND WaitForWindow(DWORD process, const wchar_t* caption, DWORD timeoutMs = 15000);
// A child window of the process with that caption, visible or not.
HWND FindChild(HWND parent, DWORD process, const wchar_t* caption);
// Whether the process has a top-level window of that class, waited for up to timeoutMs.
bool OwnsWindowOfClass(DWORD process, const wchar_t* className, DWORD timeoutMs = 0);
