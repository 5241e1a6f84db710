#include "app/alarm/BusyMoment.h"

namespace {
bool Covers(const TRect& outer, const TRect& inner) {
  return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
         outer.Bottom >= inner.Bottom;
}
}  // namespace

bool UserIsBusy(const TForegroundFacts& fg, TNotificationState state) {
  // QUNS_BUSY is not taken: the shell reports it for any topmost window that covers a monitor, ours
  // included. Nor QUNS_QUIET_TIME, the first hour after a first logon, which is no busy moment.
  if (state == TNotificationState::RunningD3DFullScreen || state == TNotificationState::PresentationMode) return true;
  if (!fg.exists || fg.ours || fg.shell || fg.maximisedWithCaption || fg.monitor.Empty()) return false;
  // A borderless full-screen window is often a pixel larger than its monitor on some side.
  return Covers(fg.window, fg.monitor);
}
