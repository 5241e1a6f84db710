#include "framework/win32/WindowClass.h"

#include "framework/core/Exception.h"
#include "framework/win32/Strings.h"

ATOM RegisterWindowClass(WNDCLASSEXW description) {
  description.cbSize = sizeof description;
  description.hInstance = GetModuleHandleW(nullptr);
  const ATOM atom = RegisterClassExW(&description);
  if (!atom) throw EOutOfResources("Cannot register the window class " + WideToUtf8(description.lpszClassName));
  return atom;
}

void RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, HICON icon, HICON smallIcon) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &existing)) return;
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = procedure;
  wc.lpszClassName = name;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  RegisterWindowClass(wc);
}
