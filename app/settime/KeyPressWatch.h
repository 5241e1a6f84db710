#pragma once
// Knows when a key was last pressed anywhere on the desktop, so that a reminder due in the middle
// of a word waits for a pause. It watches only while asked to (a few seconds around an alarm),
// through a low-level keyboard hook that lets every key through; pointer input is no typing.
#include <windows.h>

#include "framework/win32/LowLevelKeyboardHook.h"

class TKeyPressWatch {
public:
  // Starting an already started watch changes nothing; a watch the system refuses sees no keys.
  void Start();
  void Stop();
  bool Watching() const { return hook_.Installed(); }
  // A key was pressed within the last milliseconds, as far as the watch has seen.
  bool PressedWithin(DWORD milliseconds) const;

private:
  TLowLevelKeyboardHook hook_;
  bool pressed_ = false;
  DWORD lastPress_ = 0;
};
