#pragma once
// The plain window classes behind the program's own helper windows (the application window, timers,
// media players, the tray icon): registered once per process under their name.
#include <windows.h>

// Registers the class on first use; raises EOutOfResources when the system refuses it.
void RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, HICON icon = nullptr);
