#include "framework/media/MediaPlayer.h"


#include "framework/win32/Strings.h"
#include "framework/win32/WindowClass.h"

namespace {
constexpr wchar_t kNotifyClass[] = L"BrevinMediaPlayerNotify";

// Completion notices (MM_MCINOTIFY) arrive here; nothing in the program waits for them.
LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == MM_MCINOTIFY) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterNotifyClass() {
  RegisterWindowClassOnce(kNotifyClass, NotifyProc);
}

std::string MciErrorText(MCIERROR code) {
  wchar_t text[MAXERRORLENGTH] = {};
  if (!mciGetErrorStringW(code, text, MAXERRORLENGTH) || text[0] == 0) return "Unknown error code";
  return WideToUtf8(text);
}
}  // namespace

TMediaPlayer::UniqueWindow TMediaPlayer::CreateNotifyWindow() {
  RegisterNotifyClass();
  UniqueWindow window(CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  if (!window) throw EOutOfResources("Cannot create the media player's window. " + SystemErrorMessage(GetLastError()));
  return window;
}

const TClassInfo& TMediaPlayer::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMediaPlayer>("TMediaPlayer", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Field("FileName", &TMediaPlayer::FileName)
                                     .Field("AutoOpen", &TMediaPlayer::AutoOpen)
                                     .Field("AutoRewind", &TMediaPlayer::AutoRewind)
                                     .Field("Shareable", &TMediaPlayer::Shareable)
                                     .Field("Visible", &TMediaPlayer::Visible);
  return info;
}

void RegisterMediaPlayerClass() { RegisterComponentClass(TMediaPlayer::StaticClassInfo()); }

TMediaPlayer::TMediaPlayer(TComponent* owner) : TComponent(owner), window_(CreateNotifyWindow()) {}

void TMediaPlayer::Loaded() {
  TComponent::Loaded();
  if (AutoOpen && !FileName.empty()) Open();
}

TMediaPlayer::~TMediaPlayer() {
  if (!open_) return;
  MCI_GENERIC_PARMS params{};
  static_cast<void>(mciSendCommandW(deviceId_, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&params)));
}

void TMediaPlayer::Send(UINT command, DWORD flags, void* params) const {
  const MCIERROR error = mciSendCommandW(deviceId_, command, flags, reinterpret_cast<DWORD_PTR>(params));
  if (error != 0) throw EMCIDeviceError(MciErrorText(error));
}

void TMediaPlayer::CheckOpen() const {
  if (!open_) throw EMCIDeviceError("No MCI device open");
}

void TMediaPlayer::Open() {
  if (open_) Close();
  const std::wstring element = Utf8ToWide(FileName);
  MCI_OPEN_PARMSW params{};
  params.dwCallback = reinterpret_cast<DWORD_PTR>(window_.get());
  params.lpstrElementName = element.c_str();
  const DWORD flags = MCI_OPEN_ELEMENT | MCI_WAIT | (Shareable ? MCI_OPEN_SHAREABLE : 0);
  const MCIERROR error = mciSendCommandW(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&params));
  if (error != 0) throw EMCIDeviceError(MciErrorText(error));
  deviceId_ = params.wDeviceID;
  open_ = true;
}

void TMediaPlayer::Play() {
  CheckOpen();
  // At the end the device would stop again at once. Wine's player reports position 0 rather than
  // the length once the end is reached, and only a seek clears its stopped state there; a seek to
  // the start of a stopped device that is already at the start changes nothing elsewhere.
  const int64_t position = Position();
  if (AutoRewind && (position >= Length() || (position == 0 && Mode() == TMPModes::mpStopped))) {
    MCI_SEEK_PARMS seek{};
    Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &seek);
  }
  MCI_PLAY_PARMS play{};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(window_.get());
  Send(MCI_PLAY, MCI_NOTIFY, &play);
}

void TMediaPlayer::Pause() {
  CheckOpen();
  switch (Mode()) {
    case TMPModes::mpPlaying: {
      MCI_GENERIC_PARMS params{};
      Send(MCI_PAUSE, MCI_WAIT, &params);
      break;
    }
    case TMPModes::mpPaused: {
      MCI_GENERIC_PARMS params{};
      params.dwCallback = reinterpret_cast<DWORD_PTR>(window_.get());
      // Devices without a resume command start playing from the paused position instead.
      if (mciSendCommandW(deviceId_, MCI_RESUME, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&params)) != 0) Play();
      break;
    }
    default:
      break;
  }
}

void TMediaPlayer::Close() {
  if (!open_) return;
  MCI_GENERIC_PARMS params{};
  Send(MCI_CLOSE, MCI_WAIT, &params);
  open_ = false;
  deviceId_ = 0;
}

uint64_t TMediaPlayer::Status(DWORD item) const {
  CheckOpen();
  MCI_STATUS_PARMS params{};
  params.dwItem = item;
  Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &params);
  return params.dwReturn;
}

int64_t TMediaPlayer::Position() const { return static_cast<int64_t>(Status(MCI_STATUS_POSITION)); }

int64_t TMediaPlayer::Length() const { return static_cast<int64_t>(Status(MCI_STATUS_LENGTH)); }

TMPModes TMediaPlayer::Mode() const {
  const uint64_t mode = Status(MCI_STATUS_MODE);
  if (mode < MCI_MODE_NOT_READY || mode > MCI_MODE_OPEN) return TMPModes::mpNotReady;
  return static_cast<TMPModes>(mode - MCI_MODE_NOT_READY);
}
