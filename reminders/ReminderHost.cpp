#include "reminders/ReminderHost.h"

#include "framework/core/Exception.h"

namespace {
TReminderHost* host = nullptr;
}  // namespace

void SetReminderHost(TReminderHost* newHost) { host = newHost; }

TReminderHost& ReminderHost() {
  if (!host) throw Exception("No alarm to report the reminder to");
  return *host;
}
