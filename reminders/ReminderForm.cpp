#include "reminders/ReminderForm.h"

#include <utility>

#include "framework/controls/Application.h"
#include "reminders/ReminderHost.h"

void TReminderForm::EndForSession() {
  if (!Showing()) return;
  EndReminder();
  Close();
}

void TReminderForm::EndReminder() {
  if (std::exchange(ended_, true)) return;
  const std::exception_ptr closeError = FinishReminder(ReminderPlayer());
  EndingReminder();
  ReminderHost().ReminderClosed();
  if (closeError) HandleDispatchException(closeError);
}
