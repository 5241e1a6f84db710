#pragma once
// The session's lock, unlock, connect and disconnect notices (WM_WTSSESSION_CHANGE) for one
// window: registered for as long as this object lives, which must end before the window does.
#include <windows.h>

class TSessionNotices {
public:
  explicit TSessionNotices(HWND window);
  ~TSessionNotices();
  TSessionNotices(const TSessionNotices&) = delete;
  TSessionNotices& operator=(const TSessionNotices&) = delete;

private:
  HWND window_;
  bool registered_;
};

// Whether the user is kept from the session, from the notices as they come.
class TSessionPresence {
public:
  void Notice(WPARAM change);
  bool Away() const { return locked_ || disconnected_; }
  // Input came while the notices say away: a notice may have been lost (a service that held the
  // session, a notification window remade), so the session's real state is asked for once; a
  // session found unlocked and connected ends the absence.
  void CheckOnInput();

private:
  bool locked_ = false;
  bool disconnected_ = false;
};
