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
