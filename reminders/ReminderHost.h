#pragma once
// What a reminder window reads from, and reports to, the alarm that showed it. The main window is
// the one host; the reminder windows know nothing else of the program above them.
#include <exception>
#include <string>

class TMediaPlayer;

class TReminderHost {
public:
  // Play the eye-exercise audio, rather than only ask for a rest.
  virtual bool ExerciseMode() const = 0;
  // How long the rest window stays locked.
  virtual int LockSeconds() const = 0;
  // "您已连续工作了h时m分s秒".
  virtual std::string WorkedTimeText() const = 0;
  // The user dismissed the reminder: the next one is an hour away.
  virtual void RearmAfterReminder() = 0;
  // The reminder window has closed, whichever way it went.
  virtual void ReminderClosed() = 0;

protected:
  ~TReminderHost() = default;
};

// The host lives as long as the main window: it registers itself when created and leaves when freed.
void SetReminderHost(TReminderHost* host);
// Raises an Exception when no host is registered, instead of reminding nobody.
TReminderHost& ReminderHost();

// What every way out of a reminder window comes to, the return button, Alt+F4, a close from
// outside or the end of the session alike: the audio stopped and closed, the alarm re-armed an
// hour ahead, the audio file deleted. A failure to close the audio is handed back, to be reported
// once the window has done the rest.
[[nodiscard]] std::exception_ptr FinishReminder(TMediaPlayer& player);
