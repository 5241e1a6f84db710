// The alarm: one time of day kept as text, compared with the clock text once a second.
#include <windows.h>

#include <utility>

#include "app/alarm/AlarmTick.h"
#include "app/alarm/TimeText.h"
#include "app/settime/BusyCheck.h"
#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

namespace {
constexpr const char* kNotArmed = " 未设置闹钟时间！";
// A reminder waits for a pause in typing of this long.
constexpr DWORD kTypingPauseMs = 2000;
constexpr int64_t kKeyWatchLead = 3;
constexpr int64_t kOneHourSeconds = 3600;
// Two lines, as narrow as the exercise line, so that either line holds it.
constexpr const char* kHeldLine = "全屏程序运行中，\r结束后提醒";

std::string ExerciseLineText(const std::string& alarm) { return "将在" + alarm + "\r播放眼保健操！"; }
std::string PromptLineText(const std::string& alarm) { return "将在" + alarm + "提示！"; }
std::string RestLineText(const std::string& alarm) { return "将在" + alarm + "休息！"; }
}  // namespace

void Tvelmain::SetPromptLine(const std::string& text) {
  Label5->SetCaption(text);
  Label6->SetCaption(text);
}

void Tvelmain::SetExerciseLine(const std::string& text) {
  Label8->SetCaption(text);
  Label23->SetCaption(text);
}

void Tvelmain::ShowPromptLine(bool visible) {
  Label5->SetVisible(visible);
  Label6->SetVisible(visible);
}

void Tvelmain::ShowExerciseLine(bool visible) {
  Label8->SetVisible(visible);
  Label23->SetVisible(visible);
}

void Tvelmain::SetArmedControls() {
  DateTimePicker1->SetEnabled(false);
  SpeedButton1->SetEnabled(false);
  SpeedButton2->SetEnabled(true);
}

void Tvelmain::CheckFromNow() {
  checkedUpTo_ = ClockSecond(Now()) - 1;
  due_.Clear();
}

void Tvelmain::ShowHeldLine() {
  SetPromptLine(kHeldLine);
  SetExerciseLine(kHeldLine);
}

void Tvelmain::ArmAtStartup() {
  // Arming puts the start-up defaults in the controls: they are not the user's settings to keep,
  // whether or not the stored ones have been read yet.
  const bool restored = std::exchange(settingsRestored_, false);
  ArmControlsAtStartup();
  settingsRestored_ = restored;
}

void Tvelmain::ArmControlsAtStartup() {
  CheckFromNow();
  away_.Restart(AwaySample(ClockSecond(Now()), false));
  Label2->SetCaption(FormatTimeText(Now()));
  DateTimePicker1->SetDateTime(Now() + ParseTimeText("01:00:00"));
  Label3->SetCaption(FormatTimeText(DateTimePicker1->DateTime()));
  SetArmedControls();
  Label7->SetCaption(Label2->Caption());
  Label3->SetVisible(false);
  SetExerciseLine(ExerciseLineText(Label3->Caption()));
  RadioButton1->SetChecked(true);
  RadioButton1Click(RadioButton1);
  ShowPromptLine(false);
  ShowExerciseLine(true);
  Label7->SetVisible(false);
  CheckBox1->SetChecked(false);
}

void Tvelmain::SpeedButton1Click(TObject*) {
  CheckFromNow();
  Label3->SetCaption(FormatTimeText(DateTimePicker1->DateTime()));
  SetArmedControls();
  SetExerciseLine(ExerciseLineText(Label3->Caption()));
  SetPromptLine(PromptLineText(Label3->Caption()));
  if (RadioButton1->Checked()) {
    ShowPromptLine(false);
    ShowExerciseLine(true);
  } else if (RadioButton2->Checked()) {
    ShowPromptLine(true);
    ShowExerciseLine(false);
  }
  Label7->SetCaption(Label2->Caption());
}

void Tvelmain::SpeedButton2Click(TObject*) {
  due_.Clear();
  SpeedButton2->SetCaption("取消");
  Label3->SetCaption("");
  DateTimePicker1->SetEnabled(true);
  SpeedButton1->SetEnabled(true);
  SpeedButton2->SetEnabled(false);
  ShowExerciseLine(false);
  ShowPromptLine(true);
  SetPromptLine(kNotArmed);
  Label7->SetCaption("");
}

void Tvelmain::RadioButton1Click(TObject*) {
  StoreSettings();
  if (!Armed()) return;
  SetExerciseLine(ExerciseLineText(Label3->Caption()));
  ShowPromptLine(false);
  ShowExerciseLine(true);
  if (due_.Held()) ShowHeldLine();
}

void Tvelmain::RadioButton2Click(TObject*) {
  StoreSettings();
  if (!Armed()) return;
  SetPromptLine(PromptLineText(Label3->Caption()));
  ShowPromptLine(true);
  ShowExerciseLine(false);
  if (due_.Held()) ShowHeldLine();
}

bool Tvelmain::ReminderUp() const {
  return (doeye && doeye->Showing()) || (doeye2 && doeye2->Showing());
}

void Tvelmain::Timer1Timer(TObject*) {
  const TDateTime now = Now();
  Label2->SetCaption(FormatTimeText(now));
  const int64_t second = ClockSecond(now);
  const int64_t checked = checkedUpTo_.value_or(second - 1);
  checkedUpTo_ = second;
  // The ticks of the modal loop while a reminder is up only move the clock.
  const bool reminderUp = ReminderUp();
  const bool armed = !Label3->Caption().empty();
  const TAlarmTick alarm =
      armed && !reminderUp ? CheckAlarmTick(checked, second, Label3->Caption()) : TAlarmTick::Wait;
  // The foreground is asked about only while a reminder is due. The keys are watched from a few
  // seconds before, so that a key press of the last two seconds is known when it falls due, but
  // not over full-screen work: a game's keys would all pass through this thread.
  const bool dueNow = armed && !reminderUp && (due_.Due() || alarm == TAlarmTick::Fire);
  const bool busy = dueNow && CheckBox3->Checked() && UserIsBusyNow();
  const bool nearAlarm = armed && !reminderUp && SecondsUntilAlarm(second, Label3->Caption()) <= kKeyWatchLead;
  if (!busy && (dueNow || nearAlarm))
    keys_.Start();
  else
    keys_.Stop();
  const bool typing = dueNow && keys_.PressedWithin(kTypingPauseMs);
  switch (due_.Tick(away_, AwaySample(second, reminderUp), alarm, busy, typing)) {
    case TReminderStep::None:
    case TReminderStep::WaitForTypingPause:
      return;
    case TReminderStep::Hold:
      ShowHeldLine();
      return;
    case TReminderStep::RestartWorkedTime:
      if (!armed) return;
      // Back from a break, the next reminder is no sooner than an hour after the return: one that
      // would come at once would count minutes of work as if they were hours.
      if (SecondsUntilAlarm(second, Label3->Caption()) < kOneHourSeconds)
        RearmAfterReminder();
      else
        Label7->SetCaption(Label2->Caption());
      return;
    case TReminderStep::Rearm:
      if (armed) RearmAfterReminder();
      return;
    case TReminderStep::Show:
      break;
  }
  keys_.Stop();
  lateReminderAt_ = due_.ShownLate() ? Label2->Caption() : std::string();
  ShowReminder();
}

void Tvelmain::ShowReminder() {
  if (CheckBox1->Checked()) {
    if (!Application->FindComponent("doeye2")) Application->CreateForm(doeye2);
    doeye2->EnterLockScreen();
    if (TrayIcon1) TrayIcon1->SetActive(false);
    try {
      doeye2->ShowModal();
    } catch (...) {
      // A rest window that could not show must not leave the desktop locked.
      doeye2->LeaveLockScreen();
      ReminderClosed();
      throw;
    }
  } else {
    if (!Application->FindComponent("doeye")) Application->CreateForm(doeye);
    if (TrayIcon1) TrayIcon1->SetActive(false);
    doeye->ShowModal();
  }
}

void Tvelmain::RearmAfterReminder() {
  DateTimePicker1->SetDateTime(Now() + ParseTimeText("01:00:00"));
  Label3->SetCaption(FormatTimeText(DateTimePicker1->DateTime()));
  SetArmedControls();
  SpeedButton2->SetCaption("重来");
  SetPromptLine(RestLineText(Label3->Caption()));
  SetExerciseLine(ExerciseLineText(Label3->Caption()));
  Label7->SetCaption(Label2->Caption());
  due_.Clear();
  lateReminderAt_.clear();
}

bool Tvelmain::ExerciseMode() const { return RadioButton1->Checked(); }

int Tvelmain::LockSeconds() const { return SpinEdit1->Value(); }

void Tvelmain::ReminderClosed() {
  if (TrayIcon1) TrayIcon1->SetActive(true);
}

std::string Tvelmain::WorkedTimeText() const {
  // A reminder held over full-screen work or a burst of typing comes later than its alarm; the
  // time it waited was work too.
  const std::string& end = lateReminderAt_.empty() ? Label3->Caption() : lateReminderAt_;
  return WorkedTimeMessage(ComputeWorkedTime(end, Label7->Caption()));
}
