#include "app/settime/SessionNotices.h"

#include <wtsapi32.h>

TSessionNotices::TSessionNotices(HWND window)
    : window_(window),
      // Without the notices a lock counts as away only once the threshold passes without input.
      registered_(WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE) {}

TSessionNotices::~TSessionNotices() {
  if (registered_) WTSUnRegisterSessionNotification(window_);
}

void TSessionPresence::Notice(WPARAM change) {
  switch (change) {
    case WTS_SESSION_LOCK:
      locked_ = true;
      break;
    case WTS_SESSION_UNLOCK:
      locked_ = false;
      break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
      disconnected_ = true;
      break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
      disconnected_ = false;
      break;
    default:
      break;
  }
}

namespace {
// A locked session shows the secure desktop, and a disconnected one none: in either, a program of
// the user's cannot open the input desktop.
bool SessionInFrontOfUser() {
  HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_SWITCHDESKTOP);
  if (!desktop) return false;
  CloseDesktop(desktop);
  return true;
}
}  // namespace

void TSessionPresence::CheckOnInput() {
  if (Away() && SessionInFrontOfUser()) locked_ = disconnected_ = false;
}
