#include "reminders/ReminderClasses.h"

#include "framework/media/MediaPlayer.h"
#include "gif/win/GIFCtrl.h"

void RegisterReminderClasses() {
  RegisterComponentClass(TMediaPlayer::StaticClassInfo());
  RegisterGIFControls();
}
