#include "app/settime/KeyPressWatch.h"

void TKeyPressWatch::Start() {
  if (hook_.Installed()) return;
  pressed_ = false;
  static_cast<void>(hook_.Install([this](const KBDLLHOOKSTRUCT&) {
    lastPress_ = GetTickCount();
    pressed_ = true;
    return false;
  }));
}

void TKeyPressWatch::Stop() { hook_.Remove(); }

bool TKeyPressWatch::PressedWithin(DWORD milliseconds) const {
  return pressed_ && GetTickCount() - lastPress_ < milliseconds;
}
