#pragma once
// The component classes the reminder layouts use beyond the framework's standard set.
void RegisterReminderClasses();
