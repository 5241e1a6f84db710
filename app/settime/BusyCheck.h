#pragma once
// What the system says, this moment, of the foreground window and of the shell's notification
// state: the facts behind "the user is busy" (app/alarm/BusyMoment.h).
#include "app/alarm/BusyMoment.h"

TForegroundFacts ReadForegroundFacts();
// Unknown where the shell cannot say.
TNotificationState ReadShellNotificationState();

inline bool UserIsBusyNow() { return UserIsBusy(ReadForegroundFacts(), ReadShellNotificationState()); }
