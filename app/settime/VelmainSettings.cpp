// The settings that outlive a run, and the time-away settings among them.
#include <windows.h>

#include <utility>

#include "app/settime/Settings.h"
#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "framework/core/Exception.h"

namespace {
uint32_t SystemLastInput() {
  LASTINPUTINFO info{sizeof info, 0};
  if (GetLastInputInfo(&info)) return info.dwTime;
  // Without an answer the user is taken to be there, so that reminders are shown rather than lost.
  static uint32_t unknown = 0;
  return ++unknown;
}
}  // namespace

void Tvelmain::SetInputSource(std::function<uint32_t()> source) { inputSource_ = std::move(source); }

TAwaySample Tvelmain::AwaySample(int64_t second, bool reminderShowing) {
  const uint32_t input = inputSource_ ? inputSource_() : SystemLastInput();
  // Without this a lost unlock notice would keep the user away for good: input behind a locked
  // session is nobody's.
  if (input != std::exchange(lastInput_, input)) session_.CheckOnInput();
  return {second, input, reminderShowing, session_.Away()};
}

void Tvelmain::ApplyAwaySettings() {
  const bool on = CheckBox2->Checked();
  away_.Configure(on, static_cast<int64_t>(SpinEdit2->Value()) * 60);
  SpinEdit2->SetEnabled(on);
  Label13->SetEnabled(on);
  Label14->SetEnabled(on);
}

void Tvelmain::RestoreSettings() {
  const TStoredSettings stored = ReadStoredSettings();
  // Checking a mode button runs its handler, which rewrites the status line for that mode.
  (stored.exerciseMode ? RadioButton1 : RadioButton2)->SetChecked(true);
  CheckBox1->SetChecked(stored.lockScreen);
  SpinEdit1->SetValue(stored.lockSeconds);
  CheckBox2->SetChecked(stored.awayIsRest);
  SpinEdit2->SetValue(stored.awayMinutes);
  CheckBox3->SetChecked(stored.holdWhenBusy);
  ApplyAwaySettings();
  settingsRestored_ = true;
  // Puts back what was read, so that a damaged value is replaced by its default for good.
  StoreSettings();
}

void Tvelmain::StoreSettings() {
  // Until the stored settings are read, the controls hold the start-up defaults, not the user's.
  if (!settingsRestored_) return;
  TStoredSettings settings;
  settings.exerciseMode = RadioButton1->Checked();
  settings.lockScreen = CheckBox1->Checked();
  settings.lockSeconds = SpinEdit1->Value();
  settings.awayIsRest = CheckBox2->Checked();
  settings.awayMinutes = SpinEdit2->Value();
  settings.holdWhenBusy = CheckBox3->Checked();
  // A key that cannot be written costs the next start these settings, not this run its alarm; the
  // user is told once, not at every click.
  if (WriteStoredSettings(settings) || std::exchange(settingsWriteReported_, true)) return;
  Application->HandleException(Exception("设置无法保存，下次启动时将使用默认设置。"));
}
