#include "reminders/eye2/Doeye2.h"

#include <algorithm>
#include <string>

#include "framework/controls/Application.h"
#include "framework/win32/Dpi.h"
#include "reminders/ReminderClasses.h"
#include "reminders/ReminderHost.h"
#include "reminders/audio/ExerciseAudio.h"

Tdoeye2* doeye2 = nullptr;

namespace {
constexpr int kDesignClientWidth = 1024;
constexpr int kDesignClientHeight = 712;
}  // namespace

const TClassInfo& Tdoeye2::StaticClassInfo() {
  static const TClassInfo info("Tdoeye2", &TForm::StaticClassInfo());
  return info;
}

Tdoeye2::Tdoeye2(TComponent* owner) : TReminderForm(owner) {
  RegisterReminderClasses();
  Handler("FormShow", &Tdoeye2::FormShow);
  Handler("FormClose", &Tdoeye2::FormClose);
  Handler("FormKeyDown", &Tdoeye2::FormKeyDown);
  Handler("Timer2Timer", &Tdoeye2::Timer2Timer);
  Handler("BitBtn1Click", &Tdoeye2::BitBtn1Click);
  Handler("SpeedButton1Click", &Tdoeye2::SpeedButton1Click);
  Bind(Panel1, "Panel1");
  Bind(Label1, "Label1");
  Bind(Panel2, "Panel2");
  Bind(Label2, "Label2");
  Bind(GIFAnimator1, "GIFAnimator1");
  Bind(BitBtn1, "BitBtn1");
  Bind(SpeedButton1, "SpeedButton1");
  Bind(Label3, "Label3");
  Bind(MediaPlayer1, "MediaPlayer1");
  Bind(Timer2, "Timer2");
  InitializeForm();
  for (TControl* control : {static_cast<TControl*>(GIFAnimator1), static_cast<TControl*>(BitBtn1),
                            static_cast<TControl*>(SpeedButton1)})
    centred_.emplace_back(control, MulDiv(control->Top(), kDesignDpi, PixelsPerInch()));
}

void Tdoeye2::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.WndParent = GetDesktopWindow();
  params.ExStyle |= WS_EX_TOPMOST;
}

void Tdoeye2::Resize() {
  TForm::Resize();
  // The design places these on a 1024 x 712 client at 96 DPI; on any other screen and at any
  // scale they stay centred horizontally at the same proportion of the height.
  const int width = ClientWidth();
  const int height = ClientHeight();
  for (const auto& [control, designTop] : centred_)
    control->SetBounds((width - control->Width()) / 2, MulDiv(designTop, height, kDesignClientHeight), control->Width(),
                       control->Height());
}

int Tdoeye2::LayoutDpi(int monitorDpi, HMONITOR monitor) const {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return monitorDpi;
  // The window is the screen: the design grows with the display's scale only as far as the screen
  // holds it, or the headline runs off the sides and the lines below it into the animation.
  const int width = info.rcMonitor.right - info.rcMonitor.left;
  const int height = info.rcMonitor.bottom - info.rcMonitor.top;
  return std::min({monitorDpi, MulDiv(width, kDesignDpi, kDesignClientWidth),
                   MulDiv(height, kDesignDpi, kDesignClientHeight)});
}

void Tdoeye2::FormShow(TObject*) {
  // The window state follows every size change the window sees, and the changes it sees while
  // hidden count as "restored": ask for the screen again before each showing.
  SetWindowState(TWindowState::wsMaximized);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  covers_.Show(Handle(), Color(), AlphaBlendValue());
  GIFAnimator1->SetAnimate(true);
  BeginReminder();
  lockCounter_ = ReminderHost().LockSeconds();
  locked_ = true;
  audioError_ = nullptr;
  Label1->SetCaption(ReminderHost().WorkedTimeText());
  Label3->SetVisible(true);
  SpeedButton1->SetVisible(false);
  if (ReminderHost().ExerciseMode()) {
    Label2->SetCaption("\r\r\r正在播放眼保健操...");
    try {
      StartExerciseAudio(*MediaPlayer1);
      BitBtn1->SetCaption(kPauseCaption);
      BitBtn1->SetVisible(true);
    } catch (...) {
      // Without the audio the rest still has to end: the countdown starts all the same.
      audioError_ = std::current_exception();
      PostMessageW(Handle(), kReportAudioErrorMessage, 0, 0);
    }
  } else {
    Label2->SetCaption("\r\r\r休息一下吧！");
    BitBtn1->SetVisible(false);
  }
  Timer2->SetEnabled(true);
}

void Tdoeye2::Timer2Timer(TObject*) {
  if (!locked_) return;
  if (lockCounter_ > 0) {
    --lockCounter_;
    Label3->SetCaption("锁屏" + std::to_string(lockCounter_) + "秒");
    return;
  }
  Unlock();
}

void Tdoeye2::EnterLockScreen() {
  if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) ShowWindow(taskbar, SW_HIDE);
  ShowCursor(FALSE);
  // Without the hook the window still swallows the keys it is given itself.
  static_cast<void>(keyboard_.Install([](const KBDLLHOOKSTRUCT&) { return true; }));
  locked_ = true;
  Timer2->SetEnabled(false);
  BitBtn1->SetVisible(false);
}

void Tdoeye2::LeaveLockScreen() {
  keyboard_.Remove();
  covers_.Hide();
  // The taskbar comes back without taking the activation from the window the user returns to.
  if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) ShowWindow(taskbar, SW_SHOWNA);
  // Closed before the countdown ran out (only the program can do that): the pointer and the
  // countdown must not stay behind with the hidden window.
  Timer2->SetEnabled(false);
  if (locked_) Unlock();
}

void Tdoeye2::Unlock() {
  locked_ = false;
  Label3->SetCaption("");
  Label3->SetVisible(false);
  SpeedButton1->SetVisible(true);
  // Balances the hide of EnterLockScreen.
  ShowCursor(TRUE);
}

void Tdoeye2::BitBtn1Click(TObject*) { TogglePauseButton(*MediaPlayer1, *BitBtn1); }

void Tdoeye2::SpeedButton1Click(TObject*) {
  Timer2->SetEnabled(false);
  Close();
}

void Tdoeye2::FormKeyDown(TObject*, uint16_t& key, TShiftState) { key = 0; }

void Tdoeye2::FormClose(TObject*, TCloseAction&) { EndReminder(); }

void Tdoeye2::ReportAudioError() {
  const std::exception_ptr error = std::exchange(audioError_, nullptr);
  if (!error) return;
  // The pointer is hidden while locked; the message box needs it. The counts stay balanced
  // whether or not the countdown runs out while the box is up.
  ShowCursor(TRUE);
  HandleDispatchException(error);
  ShowCursor(FALSE);
}

void Tdoeye2::WndProc(TMessage& m) {
  switch (m.Msg) {
    case kReportAudioErrorMessage:
      ReportAudioError();
      m.Result = 0;
      return;
    case WM_WINDOWPOSCHANGED:
      if (covers_.Up() && (reinterpret_cast<const WINDOWPOS*>(m.LParam)->flags & SWP_SHOWWINDOW))
        covers_.KeepUnder(Handle());
      break;
    case WM_DISPLAYCHANGE:
      // Monitors added, removed or moved while the rest is up are covered afresh.
      if (covers_.Up() || Showing()) covers_.Show(Handle(), Color(), AlphaBlendValue());
      break;
    case WM_SYSCOMMAND:
      // Alt+F4 reaches the window as SC_CLOSE through the default key handling; the window
      // menu's commands are no way out either. Only the return button closes the window.
      if (const WPARAM command = m.WParam & 0xFFF0; command == SC_CLOSE || command == SC_MINIMIZE) {
        m.Result = 0;
        return;
      }
      break;
    default:
      break;
  }
  TForm::WndProc(m);
}

void RestoreDesktopAfterLock() {
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (taskbar && !IsWindowVisible(taskbar)) ShowWindow(taskbar, SW_SHOW);
  int count = ShowCursor(TRUE);
  if (count > 0) {
    ShowCursor(FALSE);  // it was showing already
    return;
  }
  while (count < 0) count = ShowCursor(TRUE);
}
