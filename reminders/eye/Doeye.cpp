#include "reminders/eye/Doeye.h"

#include "framework/win32/Dpi.h"
#include "reminders/ReminderClasses.h"
#include "reminders/ReminderHost.h"
#include "reminders/audio/ExerciseAudio.h"
#include "reminders/screens/ScreenLayout.h"

Tdoeye* doeye = nullptr;

const TClassInfo& Tdoeye::StaticClassInfo() {
  static const TClassInfo info("Tdoeye", &TForm::StaticClassInfo());
  return info;
}

const TClassInfo& TOvalSpeedButton::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TOvalSpeedButton>("TOvalSpeedButton", &TSpeedButton::StaticClassInfo())
          .Creatable()
          .Property("Oval", &TOvalSpeedButton::Oval, &TOvalSpeedButton::SetOval);
  return info;
}

void TOvalSpeedButton::SetOval(bool oval) {
  oval_ = oval;
  Invalidate();
}

void TOvalSpeedButton::Paint() {
  if (!oval_) {
    TSpeedButton::Paint();
    return;
  }
  TCanvas& c = *Canvas();
  const TRect client = ClientRect();
  const TButtonState state = State();
  const bool sunk = state == TButtonState::bsDown || state == TButtonState::bsExclusive;
  if (sunk || (MouseInControl() && Enabled())) {
    // Lit from the top left like the flat button's edges: the upper-left half of the oval in one
    // colour, the lower-right half in the other.
    const auto arc = [&](TColor color, const TPoint from, const TPoint to) {
      c.Pen()->SetColor(color);
      c.RequireTools();
      Arc(c.Handle(), client.Left, client.Top, client.Right, client.Bottom, from.X, from.Y, to.X, to.Y);
    };
    const TPoint upperRight{client.Right, client.Top};
    const TPoint lowerLeft{client.Left, client.Bottom};
    arc(sunk ? clBtnShadow : clBtnHighlight, upperRight, lowerLeft);
    arc(sunk ? clBtnHighlight : clBtnShadow, lowerLeft, upperRight);
  }
  const TRect face{client.Left + 1, client.Top + 1, client.Right - 1, client.Bottom - 1};
  DrawGlyphButtonFace(c, face, Glyph(), NumGlyphs(), Caption(), Layout(), Margin(), Spacing(), state, sunk);
}

Tdoeye::Tdoeye(TComponent* owner) : TReminderForm(owner) {
  RegisterReminderClasses();
  Handler("FormShow", &Tdoeye::FormShow);
  Handler("FormClose", &Tdoeye::FormClose);
  Handler("BitBtn1Click", &Tdoeye::BitBtn1Click);
  Handler("SpeedButton1Click", &Tdoeye::SpeedButton1Click);
  Bind(Image1, "Image1");
  Bind(SpeedButton1, "SpeedButton1");
  Bind(Label1, "Label1");
  Bind(Label2, "Label2");
  Bind(MediaPlayer1, "MediaPlayer1");
  Bind(BitBtn1, "BitBtn1");
  InitializeForm();
  // The reminder comes up over whatever the user is doing; the keys being typed stay where they go.
  SetShowActivates(false);
}

void Tdoeye::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // A top-level window of its own: not owned by the application window, so that nothing the
  // rest of the program does (hiding the main window into the tray) takes it along.
  params.WndParent = GetDesktopWindow();
  params.ExStyle |= WS_EX_TOPMOST;
}

void Tdoeye::FormShow(TObject*) {
  BeginReminder();
  PlaceWhereTheUserLooks();
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Appended rather than concatenated: GCC 12 misreads "\r" + string as an overlapping copy.
  std::string message = "\r";
  message += ReminderHost().WorkedTimeText();
  Label1->SetCaption(message);
  if (ReminderHost().ExerciseMode()) {
    SetCaption("休息一下吧！");
    Label2->SetCaption("   正在播放眼保健操...");
    Label2->Font()->SetSize(11);
    StartExerciseAudio(*MediaPlayer1);
    BitBtn1->SetCaption(kPauseCaption);
    BitBtn1->SetVisible(true);
  } else {
    SetCaption("松影提醒您了！");
    Label2->SetCaption("  休息一下吧！");
    Label2->Font()->SetSize(20);
    BitBtn1->SetVisible(false);
  }
}

void Tdoeye::PlaceWhereTheUserLooks() {
  HMONITOR monitor = MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return;
  // Laid out for that monitor before it is centred there, so that the move keeps its size.
  ScaleForPPI(LayoutDpi(MonitorDpi(monitor), monitor));
  const RECT& work = info.rcWork;
  const TRect place = CentreIn({work.left, work.top, work.right, work.bottom}, Width(), Height());
  SetBounds(place.Left, place.Top, Width(), Height());
}

void Tdoeye::BitBtn1Click(TObject*) { TogglePauseButton(*MediaPlayer1, *BitBtn1); }

void Tdoeye::SpeedButton1Click(TObject*) { Close(); }

void Tdoeye::FormClose(TObject*, TCloseAction&) { EndReminder(); }
