#include "framework/controls/OleCtrls.h"

#include <ole2.h>
#include <oleauto.h>

#include "framework/win32/Strings.h"
#include "framework/win32/SystemLibrary.h"

namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// The system's ActiveX container window ("AtlAxWin" of atl.dll), loaded on first use.
struct AtlHost {
  AtlAxGetControlFn getControl = nullptr;
  bool ready = false;

  static AtlHost& Get() {
    static AtlHost host;
    return host;
  }

private:
  AtlHost() {
    // OLE stays initialised for the life of the GUI thread once a host has been made.
    if (FAILED(OleInitialize(nullptr))) return;
    HMODULE atl = LoadSystemLibrary(L"atl.dll");
    if (!atl) return;
    auto init = reinterpret_cast<AtlAxWinInitFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    getControl = reinterpret_cast<AtlAxGetControlFn>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    ready = init && getControl && init();
  }
};

}  // namespace

const TClassInfo& TActiveXControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TActiveXControl>("TActiveXControl", &TCustomControl::StaticClassInfo())
                                     .Creatable()
                                     .Property("ProgID", &TActiveXControl::ProgID, &TActiveXControl::SetProgID)
                                     .Strings("Settings", &TActiveXControl::Settings, &TActiveXControl::SetSettings);
  return info;
}

TActiveXControl::TActiveXControl(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 100, 50); }

TActiveXControl::~TActiveXControl() { DestroyHandle(); }

void TActiveXControl::SetProgID(const std::string& progId) {
  if (progId == progId_) return;
  progId_ = progId;
  RecreateWnd();
}

void TActiveXControl::ReleaseControl() {
  if (dispatch_) dispatch_->Release();
  dispatch_ = nullptr;
}

void TActiveXControl::CreateWindowHandleDone() {
  if (progId_.empty()) return;
  AtlHost& atl = AtlHost::Get();
  const std::wstring progId = Utf8ToWide(progId_);
  if (atl.ready) {
    const TRect client = ClientRect();
    host_ = CreateWindowExW(0, L"AtlAxWin", progId.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, client.Width(), client.Height(),
                            Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    IUnknown* unknown = nullptr;
    if (host_ && SUCCEEDED(atl.getControl(host_, &unknown)) && unknown) {
      void* dispatch = nullptr;
      if (SUCCEEDED(unknown->QueryInterface(IID_IDispatch, &dispatch))) dispatch_ = static_cast<IDispatch*>(dispatch);
      unknown->Release();
    }
  }
  if (!dispatch_) {
    // A container that cannot run the control (Wine's cannot) still leaves it reachable by name,
    // without a picture.
    CLSID clsid{};
    void* dispatch = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(progId.c_str(), &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &dispatch)))
      dispatch_ = static_cast<IDispatch*>(dispatch);
  }
  for (const std::string& setting : settings_) {
    const size_t eq = setting.find('=');
    if (eq == std::string::npos) continue;
    // A setting the control does not know is left out; it only costs that setting.
    (void)SetStringProperty(setting.substr(0, eq), setting.substr(eq + 1));
  }
}

void TActiveXControl::DestroyWnd() {
  ReleaseControl();
  if (host_ && IsWindow(host_)) DestroyWindow(host_);
  host_ = nullptr;
  TCustomControl::DestroyWnd();
}

void TActiveXControl::Resize() {
  if (host_) {
    const TRect client = ClientRect();
    MoveWindow(host_, 0, 0, client.Width(), client.Height(), TRUE);
  }
}

bool TActiveXControl::ControlAvailable() {
  HandleNeeded();
  return dispatch_ != nullptr;
}

bool TActiveXControl::IdOf(const std::string& name, DISPID& id) {
  if (!ControlAvailable()) return false;
  std::wstring wide = Utf8ToWide(name);
  LPOLESTR names[] = {wide.data()};
  return SUCCEEDED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

bool TActiveXControl::SetStringProperty(DISPID id, const std::string& value) {
  if (!ControlAvailable()) return false;
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(Utf8ToWide(value).c_str());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&arg, &named, 1, 1};
  const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  VariantClear(&arg);
  return SUCCEEDED(hr);
}

bool TActiveXControl::SetStringProperty(const std::string& name, const std::string& value) {
  DISPID id = 0;
  return IdOf(name, id) && SetStringProperty(id, value);
}

bool TActiveXControl::CallMethod(const std::string& name) {
  DISPID id = 0;
  if (!IdOf(name, id)) return false;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return SUCCEEDED(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}
