#pragma once
// Every window class of the program's own is registered here: the plain classes behind its helper
// windows (the application window, timers, media players, the tray icon), registered once per
// process under their name, and the framework controls' classes, which describe themselves in full.
#include <windows.h>

// Registers the class on first use; raises EOutOfResources when the system refuses it.
void RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, HICON icon = nullptr, HICON smallIcon = nullptr);
// Registers the class as described, in this module whatever hInstance says, and returns its atom;
// raises EOutOfResources when the system refuses it (a class of that name already exists).
ATOM RegisterWindowClass(WNDCLASSEXW description);
