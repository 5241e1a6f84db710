#pragma once
// The full-screen rest window: semi-transparent and stay-on-top, it covers the desktop, swallows
// every key and offers its return button only when the lock countdown has run out. The alarm
// enters the lock screen (taskbar and pointer hidden) before showing it modally; closing the
// window leaves it.
#include <cstdint>
#include <exception>
#include <utility>
#include <vector>

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/media/MediaPlayer.h"
#include "framework/win32/LowLevelKeyboardHook.h"
#include "gif/win/GIFCtrl.h"
#include "reminders/ReminderForm.h"
#include "reminders/eye2/ScreenCovers.h"

class Tdoeye2 : public TReminderForm {
public:
  BREVIN_CLASS_INFO()
  explicit Tdoeye2(TComponent* owner);

  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormKeyDown(TObject* sender, uint16_t& key, TShiftState shift);
  void Timer2Timer(TObject* sender);
  void BitBtn1Click(TObject* sender);
  void SpeedButton1Click(TObject* sender);

  // Hides the taskbar and the pointer and holds the countdown and the pause button back until
  // the window shows; closing the window leaves the lock screen, and so does a showing that fails.
  void EnterLockScreen();
  void LeaveLockScreen();
  // The other monitors' covers, up exactly while the rest window is.
  const TScreenCovers& Covers() const { return covers_; }
  // Every key press of the desktop is swallowed while the lock screen is up, whichever window has
  // the focus: Windows may leave another program in the foreground.
  bool HoldingKeyboard() const { return keyboard_.Installed(); }

  TPanel* Panel1 = nullptr;
  TLabel* Label1 = nullptr;              // worked-time message
  TPanel* Panel2 = nullptr;
  TLabel* Label2 = nullptr;              // mode message
  TGIFAnimator* GIFAnimator1 = nullptr;
  TBitBtn* BitBtn1 = nullptr;            // pause / continue
  TSpeedButton* SpeedButton1 = nullptr;  // "返回"
  TLabel* Label3 = nullptr;              // countdown
  TMediaPlayer* MediaPlayer1 = nullptr;
  TTimer* Timer2 = nullptr;

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Resize() override;
  int LayoutDpi(int monitorDpi, HMONITOR monitor) const override;
  void EndingReminder() override { LeaveLockScreen(); }
  TMediaPlayer& ReminderPlayer() override { return *MediaPlayer1; }

private:
  void Unlock();
  void ReportAudioError();

  // Seconds left; locked_ from the show until the countdown has run out, while the pointer is
  // hidden.
  int32_t lockCounter_ = 0;
  bool locked_ = false;
  std::exception_ptr audioError_;
  TScreenCovers covers_;
  TLowLevelKeyboardHook keyboard_;
  // The controls that are not aligned, with their top in the 1024 x 712 design at 96 DPI.
  std::vector<std::pair<TControl*, int>> centred_;
};

extern Tdoeye2* doeye2;

// Gives back what a lock screen takes, whatever state it was left in: for the ways out that do
// not pass through the window (a fatal error, an earlier run that was killed while locked).
void RestoreDesktopAfterLock();
