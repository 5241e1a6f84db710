#include "reminders/ReminderHost.h"

#include "framework/core/Exception.h"
#include "reminders/audio/ExerciseAudio.h"

namespace {
TReminderHost* host = nullptr;
}  // namespace

void SetReminderHost(TReminderHost* newHost) { host = newHost; }

TReminderHost& ReminderHost() {
  if (!host) throw Exception("No alarm to report the reminder to");
  return *host;
}

std::exception_ptr FinishReminder(TMediaPlayer& player) {
  const std::exception_ptr closeError = ReminderHost().ExerciseMode() ? StopExerciseAudio(player) : nullptr;
  ReminderHost().RearmAfterReminder();
  DeleteExerciseAudio();
  return closeError;
}
