#pragma once
// The main window: alarm settings, the eye-exercise tutorial, About, the tray menu. The alarm
// has no object of its own: its state is the content of this window's controls, which the
// reminder windows read and write through the one instance `velmain`, their host.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/alarm/AwayTracker.h"
#include "app/alarm/DueReminder.h"
#include "app/settime/KeyPressWatch.h"
#include "app/settime/SessionNotices.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Menus.h"
#include "framework/controls/Spin.h"
#include "framework/controls/StdCtrls.h"
#include "reminders/ReminderHost.h"

class TSkinData;

class Tvelmain : public TForm, public TReminderHost {
public:
  BREVIN_CLASS_INFO()
  explicit Tvelmain(TComponent* owner);
  ~Tvelmain() override;

  // Lifecycle.
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void X1Click(TObject* sender);

  // Alarm.
  void ArmAtStartup();
  void SpeedButton1Click(TObject* sender);
  void SpeedButton2Click(TObject* sender);
  void RadioButton1Click(TObject* sender);
  void RadioButton2Click(TObject* sender);
  void Timer1Timer(TObject* sender);
  // What the reminder windows ask of the alarm. The re-arm is run by their return buttons; the
  // worked time is "您已连续工作了h时m分s秒" from the alarm time text and the work start text.
  bool ExerciseMode() const override;
  int LockSeconds() const override;
  std::string WorkedTimeText() const override;
  void RearmAfterReminder() override;
  void ReminderClosed() override;
  bool Armed() const { return !SpeedButton1->Enabled(); }
  // Where the tick learns of the user's input: a number that changes whenever input comes. The
  // system's last-input tick unless a test gives another; an empty function restores it.
  void SetInputSource(std::function<uint32_t()> source);
  bool Away() const { return away_.Away(); }
  // A reminder has fallen due and waits: held over full-screen work or for a pause in typing.
  bool ReminderWaiting() const { return due_.Due(); }

  // Settings kept between runs: read once by the show handler, written whenever one changes.
  void RestoreSettings();

  // Pages and commands.
  void TabSheet1Show(TObject* sender);
  void TabSheet1Hide(TObject* sender);
  void TabSheet2Show(TObject* sender);
  void TabSheet2Hide(TObject* sender);
  void TabSheet4Show(TObject* sender);
  void TabSheet4Hide(TObject* sender);
  void BitBtn1Click(TObject* sender);
  void H1Click(TObject* sender);
  void S1Click(TObject* sender);
  void A1Click(TObject* sender);
  void SpeedButton3Click(TObject* sender);
  void Label12Click(TObject* sender);
  void Label12MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void Panel3MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void BitBtn1MouseMove(TObject* sender, TShiftState shift, int x, int y);

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TTabSheet* TabSheet2 = nullptr;
  TTabSheet* TabSheet4 = nullptr;
  TPageControl* PageControl2 = nullptr;
  TTabSheet* TabSheet5 = nullptr;
  TLabel* Label2 = nullptr;   // clock text
  TLabel* Label3 = nullptr;   // alarm time text, never shown
  TLabel* Label7 = nullptr;   // work start text, never shown
  TDateTimePicker* DateTimePicker1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;  // "确定"
  TSpeedButton* SpeedButton2 = nullptr;  // "取消" / "重来"
  TSpeedButton* SpeedButton3 = nullptr;  // autostart toggle
  TLabel* Label5 = nullptr;   // prompt status line, white
  TLabel* Label6 = nullptr;   // prompt status line, red
  TLabel* Label8 = nullptr;   // exercise status line, white
  TLabel* Label23 = nullptr;  // exercise status line, red
  TRadioButton* RadioButton1 = nullptr;  // exercise mode
  TRadioButton* RadioButton2 = nullptr;  // prompt mode
  TCheckBox* CheckBox1 = nullptr;        // lock screen
  TSpinEdit* SpinEdit1 = nullptr;        // lock seconds
  TCheckBox* CheckBox2 = nullptr;        // time away counts as rest
  TCheckBox* CheckBox3 = nullptr;        // hold reminders over full-screen work
  TSpinEdit* SpinEdit2 = nullptr;        // minutes without input that make the user away
  TLabel* Label13 = nullptr;             // "无操作", before the minutes
  TLabel* Label14 = nullptr;             // "分钟", after them
  TBitBtn* BitBtn1 = nullptr;            // help
  TTimer* Timer1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TLabel* Label12 = nullptr;             // contact link
  TSkinData* SkinData1 = nullptr;

protected:
  void WndProc(TMessage& message) override;
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;

private:
  void SetPromptLine(const std::string& text);
  void SetExerciseLine(const std::string& text);
  void ShowPromptLine(bool visible);
  void ShowExerciseLine(bool visible);
  void SetArmedControls();
  void ArmControlsAtStartup();
  void ShowHelp();
  void RestoreFromTray();
  bool ReminderUp() const;
  // The next tick looks at the seconds after this one; setting the alarm makes the current second
  // count again, so that an alarm set to it fires at the next tick.
  void CheckFromNow();
  void EndOfSession();
  TAwaySample AwaySample(int64_t second, bool reminderShowing);
  // The visible status line says that the due reminder is held.
  void ShowHeldLine();
  void ShowReminder();
  void ApplyAwaySettings();
  void StoreSettings();

  std::optional<int64_t> checkedUpTo_;
  TAwayTracker away_;
  TDueReminder due_;
  TKeyPressWatch keys_;
  // The clock text at which the showing reminder came, when it came later than its alarm: the
  // worked time runs to it.
  std::string lateReminderAt_;
  std::function<uint32_t()> inputSource_;
  uint32_t lastInput_ = 0;
  TSessionPresence session_;
  std::unique_ptr<TSessionNotices> sessionNotices_;
  bool settingsRestored_ = false;
  bool settingsWriteReported_ = false;
};

extern Tvelmain* velmain;

inline const char* const kAutostartOn = "√ 随系统启动而启动";
inline const char* const kAutostartOff = "× 随系统启动而启动";
