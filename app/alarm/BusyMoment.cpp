#include "app/alarm/BusyMoment.h"

namespace {
bool Contains(const TScreenRect& outer, const TScreenRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

bool Empty(const TScreenRect& r) { return r.right <= r.left || r.bottom <= r.top; }
}  // namespace

bool UserIsBusy(const TForegroundFacts& fg, TNotificationState state) {
  // QUNS_BUSY is not taken: the shell reports it for any topmost window that covers a monitor, ours
  // included. Nor QUNS_QUIET_TIME, the first hour after a first logon, which is no busy moment.
  if (state == TNotificationState::RunningD3DFullScreen || state == TNotificationState::PresentationMode) return true;
  if (!fg.exists || fg.ours || fg.shell || fg.maximisedWithCaption || Empty(fg.monitor)) return false;
  // A borderless full-screen window is often a pixel larger than its monitor on some side.
  return Contains(fg.window, fg.monitor);
}
