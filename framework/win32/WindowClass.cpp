#include "framework/win32/WindowClass.h"

#include "framework/core/Exception.h"
#include "framework/win32/Strings.h"

void RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, HICON icon) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  wc.hIcon = icon;
  if (!RegisterClassExW(&wc)) throw EOutOfResources("Cannot register the window class " + WideToUtf8(name));
}
