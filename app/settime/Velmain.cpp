#include "app/settime/Velmain.h"

#include "app/settime/Autostart.h"
#include "app/settime/Settings.h"
#include "app/settime/TrayIcon.h"
#include "framework/controls/Application.h"
#include "framework/controls/OleCtrls.h"
#include "framework/resources/ResourceFile.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"
#include "skin/win/data/SkinDataUnit.h"

Tvelmain* velmain = nullptr;

namespace {
constexpr const char* kSkinFileName = "velskin.skn";
constexpr const char* kMovieFileName = "tarno.vel";
constexpr const char* kTrayToolTip = "欢迎使用晴岚！";
// The Flash control's Movie property.
constexpr DISPID kMovieDispId = 102;

TActiveXControl* MoviePlayer(const Tvelmain& form) {
  return dynamic_cast<TActiveXControl*>(form.FindComponent("ShockwaveFlash1"));
}
}  // namespace

const TClassInfo& Tvelmain::StaticClassInfo() {
  static const TClassInfo info("Tvelmain", &TForm::StaticClassInfo());
  return info;
}

Tvelmain::Tvelmain(TComponent* owner) : TForm(owner) {
  velmain = this;
  Handler("FormCreate", &Tvelmain::FormCreate);
  Handler("FormShow", &Tvelmain::FormShow);
  Handler("FormClose", &Tvelmain::FormClose);
  Handler("FormMouseMove", &Tvelmain::FormMouseMove);
  Handler("X1Click", &Tvelmain::X1Click);
  Handler("SpeedButton1Click", &Tvelmain::SpeedButton1Click);
  Handler("SpeedButton2Click", &Tvelmain::SpeedButton2Click);
  Handler("RadioButton1Click", &Tvelmain::RadioButton1Click);
  Handler("RadioButton2Click", &Tvelmain::RadioButton2Click);
  Handler("Timer1Timer", &Tvelmain::Timer1Timer);
  Handler("TabSheet1Show", &Tvelmain::TabSheet1Show);
  Handler("TabSheet1Hide", &Tvelmain::TabSheet1Hide);
  Handler("TabSheet2Show", &Tvelmain::TabSheet2Show);
  Handler("TabSheet2Hide", &Tvelmain::TabSheet2Hide);
  Handler("TabSheet4Show", &Tvelmain::TabSheet4Show);
  Handler("TabSheet4Hide", &Tvelmain::TabSheet4Hide);
  Handler("BitBtn1Click", &Tvelmain::BitBtn1Click);
  Handler("H1Click", &Tvelmain::H1Click);
  Handler("S1Click", &Tvelmain::S1Click);
  Handler("A1Click", &Tvelmain::A1Click);
  Handler("SpeedButton3Click", &Tvelmain::SpeedButton3Click);
  Handler("Label12Click", &Tvelmain::Label12Click);
  Handler("Label12MouseMove", &Tvelmain::Label12MouseMove);
  Handler("Panel3MouseMove", &Tvelmain::Panel3MouseMove);
  Handler("BitBtn1MouseMove", &Tvelmain::BitBtn1MouseMove);
  Bind(PageControl1, "PageControl1");
  Bind(TabSheet1, "TabSheet1");
  Bind(TabSheet2, "TabSheet2");
  Bind(TabSheet4, "TabSheet4");
  Bind(PageControl2, "PageControl2");
  Bind(TabSheet5, "TabSheet5");
  Bind(Label2, "Label2");
  Bind(Label3, "Label3");
  Bind(Label7, "Label7");
  Bind(DateTimePicker1, "DateTimePicker1");
  Bind(SpeedButton1, "SpeedButton1");
  Bind(SpeedButton2, "SpeedButton2");
  Bind(SpeedButton3, "SpeedButton3");
  Bind(Label5, "Label5");
  Bind(Label6, "Label6");
  Bind(Label8, "Label8");
  Bind(Label23, "Label23");
  Bind(RadioButton1, "RadioButton1");
  Bind(RadioButton2, "RadioButton2");
  Bind(CheckBox1, "CheckBox1");
  Bind(SpinEdit1, "SpinEdit1");
  Bind(CheckBox2, "CheckBox2");
  Bind(SpinEdit2, "SpinEdit2");
  Bind(CheckBox3, "CheckBox3");
  Bind(Label13, "Label13");
  Bind(Label14, "Label14");
  Bind(BitBtn1, "BitBtn1");
  Bind(Timer1, "Timer1");
  Bind(PopupMenu1, "PopupMenu1");
  Bind(Label12, "Label12");
  Bind(SkinData1, "SkinData1");
  RegisterSkinDataClass();
  SetReminderHost(this);
  InitializeForm();
  // Wired here rather than in the layout, which stand-ins of this window also read knowing only
  // its commands.
  const auto store = [this](TObject*) { StoreSettings(); };
  const auto away = [this](TObject*) {
    ApplyAwaySettings();
    StoreSettings();
  };
  CheckBox1->OnClick = store;
  SpinEdit1->OnChange = store;
  CheckBox2->OnClick = away;
  SpinEdit2->OnChange = away;
  CheckBox3->OnClick = store;
}

Tvelmain::~Tvelmain() {
  SetReminderHost(nullptr);
  if (velmain == this) velmain = nullptr;
}

void Tvelmain::FormCreate(TObject*) {
  SetCaption("晴岚 V1.2");
  TabSheet1->SetEnabled(true);
  Timer1->SetEnabled(true);
  BitBtn1->SetVisible(true);
}

void Tvelmain::FormShow(TObject*) {
  // A skin that cannot be written (read-only directory, missing resource) costs the program its
  // looks, not its job: the error is reported and the alarm and the tray icon still start.
  try {
    SkinData1->SetSkinFile(ExtractResourceNextToExecutable("skn", "my3", kSkinFileName));
    SkinData1->SetActive(true);
  } catch (const std::exception& error) {
    Application->HandleException(error);
  }

  ArmAtStartup();
  RestoreSettings();

  PageControl1->SetActivePage(TabSheet1);
  PageControl2->SetActivePage(TabSheet5);

  if (!TrayIcon1) {
    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->SetIcon(Icon());
    TrayIcon1->SetToolTip(kTrayToolTip);
    TrayIcon1->SetPopupMenu(PopupMenu1);
    TrayIcon1->OnClick = [this](TObject* sender) { S1Click(sender); };
    TrayIcon1->OnDblClick = [this](TObject* sender) { S1Click(sender); };
  }

  SpeedButton3->SetCaption(ReadAutostartValue(Application->Title()) ? kAutostartOn : kAutostartOff);
}

void Tvelmain::FormClose(TObject*, TCloseAction& action) {
  action = TCloseAction::caNone;
  if (!TrayIcon1) return;
  TrayIcon1->SetShowDesigning(false);
  TrayIcon1->SetActive(true);
}

void Tvelmain::X1Click(TObject*) {
  if (TrayIcon1) TrayIcon1->SetActive(false);
  DeleteFileIfExists(PathNextToExecutable(kSkinFileName));
  DeleteFileIfExists(PathNextToExecutable(kMovieFileName));
  Application->Terminate();
}

void Tvelmain::WndProc(TMessage& m) {
  if (m.Msg == WM_ENDSESSION && m.WParam) EndOfSession();
  if (m.Msg == WM_WTSSESSION_CHANGE) session_.Notice(m.WParam);
  TForm::WndProc(m);
}

void Tvelmain::CreateWindowHandleDone() {
  TForm::CreateWindowHandleDone();
  sessionNotices_ = std::make_unique<TSessionNotices>(Handle());
}

void Tvelmain::DestroyWnd() {
  sessionNotices_.reset();
  TForm::DestroyWnd();
}

// The process may end as soon as the session's end has been announced: what the return button
// and the exit command would put right (taskbar, pointer, files, tray icon) is put right now.
void Tvelmain::EndOfSession() {
  if (doeye) doeye->EndForSession();
  if (doeye2) doeye2->EndForSession();
  X1Click(this);
}

void Tvelmain::RestoreFromTray() {
  if (!TrayIcon1) return;
  TrayIcon1->SetActive(false);
  TrayIcon1->SetShowDesigning(true);
}

void Tvelmain::S1Click(TObject*) {
  RestoreFromTray();
  PageControl1->SetActivePage(TabSheet1);
}

void Tvelmain::A1Click(TObject*) {
  RestoreFromTray();
  PageControl1->SetActivePage(TabSheet4);
}

void Tvelmain::TabSheet1Show(TObject*) { TabSheet1->SetImageIndex(28); }
void Tvelmain::TabSheet1Hide(TObject*) { TabSheet1->SetImageIndex(29); }
void Tvelmain::TabSheet2Show(TObject*) { TabSheet2->SetImageIndex(2); }
void Tvelmain::TabSheet2Hide(TObject*) { TabSheet2->SetImageIndex(1); }

void Tvelmain::TabSheet4Show(TObject*) {
  TabSheet4->SetImageIndex(26);
  // A movie that cannot be written is reported here rather than thrown: thrown, it would also cut
  // short the page change, and the page being left would miss its own hide step.
  std::string moviePath;
  try {
    moviePath = ExtractResourceNextToExecutable("flash", "swf3", kMovieFileName);
  } catch (const std::exception& error) {
    Application->HandleException(error);
    return;
  }
  TActiveXControl* player = MoviePlayer(*this);
  if (!player) return;
  // Without the Flash control (Wine has none) its empty window would keep whatever was drawn there
  // before; hidden, it lets the picture show through. The file is handled all the same.
  if (!player->ControlAvailable()) {
    player->SetVisible(false);
    return;
  }
  if (player->SetStringProperty(kMovieDispId, moviePath)) (void)player->CallMethod("Play");
}

void Tvelmain::TabSheet4Hide(TObject*) {
  TabSheet4->SetImageIndex(27);
  if (TActiveXControl* player = MoviePlayer(*this)) (void)player->CallMethod("Stop");
  DeleteFileIfExists(PathNextToExecutable(kMovieFileName));
}

void Tvelmain::SpeedButton3Click(TObject*) {
  if (SpeedButton3->Caption() == kAutostartOn) {
    SpeedButton3->SetCaption(kAutostartOff);
    RemoveAutostart();
  } else {
    SpeedButton3->SetCaption(kAutostartOn);
    AddAutostart();
  }
}
