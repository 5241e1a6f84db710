#include "app/settime/tests/AppFixture.h"

#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

std::function<void()> AppFixture::pending_;
UINT_PTR AppFixture::timer_ = 0;

void AppFixture::SetUpTestSuite() {
  if (velmain) return;
  Application->Initialize();
  Application->SetTitle("晴岚");
  // Errors that reach the default handler fail the test instead of waiting on a message box.
  Application->OnException = [](const std::exception& error) { ADD_FAILURE() << "unhandled: " << error.what(); };
  Application->CreateForm(velmain);
  Application->CreateForm(doeye);
  Application->CreateForm(doeye2);
  velmain->Show();
}

void AppFixture::TearDown() {
  if (timer_) KillTimer(nullptr, timer_);
  timer_ = 0;
  pending_ = nullptr;
  SetClockSource({});
}

void AppFixture::WhileModal(std::function<void()> action) {
  pending_ = std::move(action);
  timer_ = SetTimer(nullptr, 0, 20, RunPending);
}

void CALLBACK AppFixture::RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  timer_ = 0;
  auto action = std::move(pending_);
  pending_ = nullptr;
  if (action) action();
}

int AppFixture::CursorDisplayCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}
