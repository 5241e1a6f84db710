#pragma once
// An invisible media player over the Windows media control interface (MCI). The device is chosen
// by the system from the file; opening and closing wait for completion, playing returns at once
// and asks for a completion notice, which the player's own message-only window receives and
// ignores. A component, so that window layouts declare it (class name "TMediaPlayer"); it is
// never shown. GUI thread only.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <string>

#include "framework/classes/Properties.h"
#include "framework/core/Exception.h"
#include "framework/win32/Handles.h"

namespace media_detail {
inline void DestroyWindowHandle(HWND window) { DestroyWindow(window); }
}  // namespace media_detail

class EMCIDeviceError : public Exception {
public:
  using Exception::Exception;
};

// The device's mode, in the order of the MCI_MODE_* values.
enum class TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

class TMediaPlayer : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TMediaPlayer(TComponent* owner);
  // Closes an open device (its failure cannot be reported any more and is ignored).
  ~TMediaPlayer() override;

  // Published: FileName, AutoOpen, AutoRewind, Shareable, Visible.
  std::string FileName;     // UTF-8 path of the element to open
  bool AutoOpen = false;    // open FileName once the layout has been read
  bool AutoRewind = true;   // Play at the end starts again from the beginning
  bool Shareable = false;
  bool Visible = true;      // kept for layouts; the player has no window to show

  void Loaded() override;

  // Every failing MCI command raises EMCIDeviceError with the media layer's text for its code
  // ("Unknown error code" when it has none); operations that need a device raise
  // EMCIDeviceError("No MCI device open") without one.
  void Open();   // closes an open device first
  void Play();   // from the current position; rewinds first when that is the end
  void Pause();  // playing: pause; paused: resume (or Play if that fails); otherwise nothing
  void Close();  // nothing when no device is open

  bool IsOpen() const { return open_; }
  MCIDEVICEID DeviceID() const { return deviceId_; }
  // In the device's time format (milliseconds for audio files).
  int64_t Position() const;
  int64_t Length() const;
  TMPModes Mode() const;
  HWND NotifyWindow() const { return window_.get(); }

private:
  using UniqueWindow = UniqueHandle<HWND, media_detail::DestroyWindowHandle>;
  static UniqueWindow CreateNotifyWindow();

  void CheckOpen() const;
  uint64_t Status(DWORD item) const;
  void Send(UINT command, DWORD flags, void* params) const;

  UniqueWindow window_;
  bool open_ = false;
  MCIDEVICEID deviceId_ = 0;
};

// Makes "TMediaPlayer" known to the layout reader; call before reading a layout that declares one.
void RegisterMediaPlayerClass();
