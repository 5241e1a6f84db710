#pragma once
// Whether the user is in the middle of something a reminder must not burst into: a slide show, a
// film, a game, a full-screen video call. Decided from what the system says of the foreground
// window and of the shell's notification state; the caller gathers those once a tick.
#include <cstdint>

#include "framework/classes/Types.h"

// The values of the shell's QUERY_USER_NOTIFICATION_STATE, 0 when the shell gave no answer.
enum class TNotificationState : int32_t {
  Unknown = 0,
  NotPresent = 1,
  Busy = 2,
  RunningD3DFullScreen = 3,
  PresentationMode = 4,
  AcceptsNotifications = 5,
  QuietTime = 6,
  App = 7,
};

struct TForegroundFacts {
  bool exists = false;
  bool ours = false;   // a window of this program: our own rest window covers the screen too
  bool shell = false;  // the desktop or the taskbar
  // A maximised window with a caption leaves the taskbar in sight; its frame may reach past the
  // monitor's edges, which would otherwise look like full screen where the taskbar hides itself.
  bool maximisedWithCaption = false;
  TRect window;
  TRect monitor;  // the monitor the window is on
};

bool UserIsBusy(const TForegroundFacts& foreground, TNotificationState state);
