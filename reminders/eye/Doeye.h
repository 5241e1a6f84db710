#pragma once
// The reminder popup: a small stay-on-top window that tells the user how long they have worked
// and either plays the eye-exercise audio or only asks for a rest. Shown modally by the alarm;
// hidden, never destroyed, when closed.
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "reminders/ReminderForm.h"
#include "framework/controls/StdCtrls.h"
#include "framework/media/MediaPlayer.h"

// The popup's "返回" covers an oval of the picture: its hover and pressed frames follow that oval
// instead of the flat button's rectangle. The picture is its face, so it is always flat and
// transparent. "Oval" is published so that a skin painting the button in its place keeps the shape.
class TOvalSpeedButton : public TSpeedButton {
public:
  BREVIN_CLASS_INFO()
  explicit TOvalSpeedButton(TComponent* owner) : TSpeedButton(owner) {}
  bool Oval() const { return oval_; }
  void SetOval(bool oval);

protected:
  void Paint() override;

private:
  bool oval_ = true;
};

class Tdoeye : public TReminderForm {
public:
  BREVIN_CLASS_INFO()
  explicit Tdoeye(TComponent* owner);

  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void BitBtn1Click(TObject* sender);
  void SpeedButton1Click(TObject* sender);

  TImage* Image1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;  // "返回"
  TLabel* Label1 = nullptr;              // worked-time message
  TLabel* Label2 = nullptr;              // mode message
  TMediaPlayer* MediaPlayer1 = nullptr;
  TBitBtn* BitBtn1 = nullptr;            // pause / continue

protected:
  void CreateParams(TCreateParams& params) override;
  TMediaPlayer& ReminderPlayer() override { return *MediaPlayer1; }

private:
  // Centred on the monitor of the foreground window, where the user is looking.
  void PlaceWhereTheUserLooks();
};

extern Tdoeye* doeye;
