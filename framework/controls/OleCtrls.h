#pragma once
// A host for an ActiveX control named by its ProgID ("ShockwaveFlash.ShockwaveFlash"), shown in
// the system's container window and reached late-bound through its IDispatch. Where the container
// cannot run the control the object is still created and reachable, without a picture; where the
// control is not installed the host stays an empty area and every call reports false, so a
// program can carry on without it.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "framework/controls/Controls.h"

class TActiveXControl : public TCustomControl {
public:
  BREVIN_CLASS_INFO()
  explicit TActiveXControl(TComponent* owner);
  ~TActiveXControl() override;

  const std::string& ProgID() const { return progId_; }
  void SetProgID(const std::string& progId);
  // Properties set by name on the control once it exists: "WMode=Window".
  std::vector<std::string> Settings() const { return settings_; }
  void SetSettings(const std::vector<std::string>& settings) { settings_ = settings; }

  // True when a control of ProgID is hosted (the window exists and the control was created).
  bool ControlAvailable();
  [[nodiscard]] bool SetStringProperty(DISPID id, const std::string& value);
  [[nodiscard]] bool SetStringProperty(const std::string& name, const std::string& value);
  // Calls a method without arguments ("Play", "Stop").
  [[nodiscard]] bool CallMethod(const std::string& name);

protected:
  void CreateWindowHandleDone() override;
  void DestroyWnd() override;
  void Resize() override;

private:
  [[nodiscard]] bool IdOf(const std::string& name, DISPID& id);
  void ReleaseControl();

  std::string progId_;
  std::vector<std::string> settings_;
  HWND host_ = nullptr;
  IDispatch* dispatch_ = nullptr;
};
