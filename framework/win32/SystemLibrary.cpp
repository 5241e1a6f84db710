#include "framework/win32/SystemLibrary.h"

#include "framework/core/Exception.h"
#include "framework/win32/Strings.h"

HMODULE LoadSystemLibrary(const wchar_t* name) noexcept {
  return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE RequireSystemLibrary(const wchar_t* name) {
  if (HMODULE module = LoadSystemLibrary(name)) return module;
  const DWORD error = GetLastError();
  throw Exception("Cannot load the system library " + WideToUtf8(name) + ": " + SystemErrorMessage(error));
}
