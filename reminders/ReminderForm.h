#pragma once
// What the popup and the rest window share: a reminder ends once per showing, and the same way
// whichever way it goes (the return button, Alt+F4, a close from outside, the end of the session).
#include "framework/controls/Forms.h"

class TMediaPlayer;

class TReminderForm : public TForm {
public:
  using TForm::TForm;

  // The session ends: the reminder ends now, without waiting for the modal loop, because the
  // process may go as soon as the session's end has been announced.
  void EndForSession();

protected:
  // From the show handler.
  void BeginReminder() { ended_ = false; }
  // From the close handler: the audio stopped and closed, the alarm re-armed, the file deleted,
  // the window's own part, the tray icon back; a failure to close the audio reported last.
  void EndReminder();
  virtual void EndingReminder() {}
  virtual TMediaPlayer& ReminderPlayer() = 0;

private:
  bool ended_ = true;
};
