#include "reminders/ReminderClasses.h"

#include "framework/media/MediaPlayer.h"
#include "gif/win/GIFCtrl.h"
#include "reminders/eye/Doeye.h"

void RegisterReminderClasses() {
  RegisterComponentClass(TMediaPlayer::StaticClassInfo());
  RegisterGIFControls();
  RegisterComponentClass(TOvalSpeedButton::StaticClassInfo());
}
