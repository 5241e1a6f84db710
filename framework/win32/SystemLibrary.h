#pragma once
// Libraries that come with Windows, loaded from the system folder only: by a bare name the system
// would also look in the program's folder and the current one, where a planted copy would run in
// its place.
#include <windows.h>

// Loaded and kept for the process's life, as the callers keep pointers into it; null when it
// cannot be loaded from there.
[[nodiscard]] HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;
// The same, or an Exception whose message names the library.
HMODULE RequireSystemLibrary(const wchar_t* name);
