#include "skin/win/manager/SkinManage.h"

#include <algorithm>
#include <cctype>

#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/win32/CallbackErrors.h"
#include "framework/win32/Strings.h"
#include "skin/win/manager/SkinControlMapping.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/menus/SkinMenuUnit.h"

namespace {

TSkinManage* current = nullptr;

// A form carrying this Tag is never skinned, whatever the skin data's DisableTag says.
constexpr intptr_t kNeverSkinTag = 99;
constexpr int kDeferredTimerInterval = 100;

std::string ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return WideToUtf8(name);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The skin draws the program's own windows and the system's dialog boxes it shows. The windows
// other modules make on the GUI thread (the IME's, OLE's, an ActiveX control's) keep their looks,
// and their procedures are left alone.
bool MaySkin(HWND window, const std::string& className) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  return FindForm(window) || instance == GetModuleHandleW(nullptr) || className == "#32770";
}

}  // namespace

TSkinManage* SkinManager() { return current; }

void UseSkinManage() {
  SetSkinManagerFactory([] { return std::make_unique<TSkinManage>(); });
}

TSkinManage::TSkinManage() : timer_(std::make_unique<TTimer>(nullptr)) {
  timer_->SetEnabled(false);
  timer_->SetInterval(kDeferredTimerInterval);
  timer_->OnTimer = [this](TObject*) { RunPendingAction(); };
  current = this;
}

TSkinManage::~TSkinManage() {
  finished_ = true;
  timer_.reset();
  showWatches_.clear();
  hook_.Remove();
  while (!forms_.empty()) {
    std::unique_ptr<TSkinForm> form = std::move(forms_.front());
    forms_.erase(forms_.begin());
    form->Unskin(!IsWindow(form->Handle()));
  }
  if (current == this) current = nullptr;
}

void TSkinManage::Register(TSkinData* data) {
  if (std::find(data_.begin(), data_.end(), data) == data_.end()) data_.push_back(data);
}

void TSkinManage::Unregister(TSkinData* data) {
  data_.erase(std::remove(data_.begin(), data_.end(), data), data_.end());
  if (pending_ == data) pending_ = nullptr;
  std::erase_if(popups_, [data](const auto& popup) { return &popup->Data() == data; });
  // Windows drawn from a skin data that goes away go back to the system's look.
  for (size_t i = forms_.size(); i-- > 0;) {
    if (forms_[i]->Data() != data) continue;
    std::unique_ptr<TSkinForm> form = std::move(forms_[i]);
    forms_.erase(forms_.begin() + std::ptrdiff_t(i));
    form->Unskin(!IsWindow(form->Handle()));
  }
}

void TSkinManage::InstallHook() {
  started_ = true;
  if (hook_.Installed()) return;
  if (!hook_.Install(WH_CBT, [this](int code, WPARAM wParam, LPARAM lParam) {
        HookEvent(code, wParam, lParam);
        return false;
      })) {
    throw Exception("The skin cannot watch this program's windows (SetWindowsHookEx failed)");
  }
  WatchExistingWindows();
}

void TSkinManage::WatchExistingWindows() {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM self) {
        if (!IsWindowVisible(window) && ClassNameOf(window) != "#32768")
          reinterpret_cast<TSkinManage*>(self)->WatchShowing(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(this));
}

void TSkinManage::WatchShowing(HWND window) {
  if (!MaySkin(window, ClassNameOf(window))) return;
  // A watch lets go of its window as the window ends; those are dropped here, never while one of
  // them may be handling a message. So is one whose window ended unseen, or whose handle is
  // being watched anew: it would stand in the chain of a window it was never made for.
  std::erase_if(showWatches_, [window](const auto& watch) {
    return !watch->Attached() || watch->Window() == window || !IsWindow(watch->Window());
  });
  auto watch = std::make_unique<TWindowSubclass>();
  const TWindowSubclass* self = watch.get();
  const bool attached = watch->Attach(window, [this, self](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SHOWWINDOW) {
      // A skin that fails here costs the window its looks, not its showing.
      try {
        WindowShowing(w, wParam, lParam);
      } catch (...) {
        ReportCallbackError(std::current_exception());
      }
    }
    return self->Default(w, msg, wParam, lParam);
  });
  // A window that cannot be watched is still skinned when it is activated.
  if (attached) showWatches_.push_back(std::move(watch));
}

void TSkinManage::ServeIndividualForms() {
  // Such skin data are chosen per window when it is skinned (its own form first): nothing to keep.
}

void TSkinManage::SkinForm(TSkinData* data, TCustomForm* form) {
  if (!form || !form->HandleAllocated()) return;
  const bool wasEnabled = enabled_;
  enabled_ = true;
  SkinWindowWith(form->Handle(), data);
  enabled_ = wasEnabled;
}

void TSkinManage::Schedule(TSkinData* data, int action, int delayMs) {
  pending_ = data;
  ScheduleAction(action, delayMs);
}

void TSkinManage::Refresh(TSkinData* data) {
  // The caption buttons refer to the skin objects that were just replaced: they are made afresh now,
  // before anything paints; the new frame follows after the deferral.
  for (const auto& form : forms_) {
    if (form->Data() == data) form->ReloadMetrics();
  }
  Schedule(data, kSkinActionRefresh, kDeferredTimerInterval);
}

void TSkinManage::ScheduleAction(int action, int intervalMs) {
  action_ = action;
  if (action == kSkinActionSkinAll) enabled_ = true;
  if (!started_) {
    // Nothing watches the windows yet: only whether new windows may be skinned changes.
    if (action == kSkinActionUnskinAll) enabled_ = false;
    return;
  }
  timer_->SetEnabled(false);
  timer_->SetInterval(intervalMs);
  timer_->SetEnabled(true);
}

void TSkinManage::ReskinWindow(HWND window) {
  reskinWindow_ = window;
  ScheduleAction(kSkinActionReskinWindow, kDeferredTimerInterval);
}

void TSkinManage::RunPendingAction() {
  timer_->SetEnabled(false);
  if (finished_) return;
  TSkinData* data = pending_;
  const int action = action_;
  action_ = 0;
  TCustomForm* onlyForm = data && data->SkinFormtype() == TSkinFormType::sfOnlyThisForm
                              ? dynamic_cast<TCustomForm*>(data->Owner())
                              : nullptr;
  switch (action) {
    case kSkinActionSkinAll:
      SkinAll(data, onlyForm);
      break;
    case kSkinActionUnskinAll:
      UnskinAll(onlyForm);
      break;
    case kSkinActionRefresh:
      RefreshAll(data);
      break;
    case kSkinActionMdiMode:
      for (const auto& form : forms_) form->SetMdiMaximizedMode(mdiMaximized_);
      break;
    case kSkinActionReskinWindow:
      Reskin(std::exchange(reskinWindow_, nullptr));
      return;
    default:
      return;
  }
  pending_ = nullptr;
  if (data && std::find(data_.begin(), data_.end(), data) != data_.end()) data->SkinChanged();
}

void TSkinManage::SkinAll(TSkinData* data, TCustomForm* onlyForm) {
  enabled_ = true;
  if (onlyForm) {
    if (onlyForm->HandleAllocated()) SkinWindowWith(onlyForm->Handle(), data);
    return;
  }
  skinningAll_ = true;
  // A form skinned here may create or free others: the list is read afresh at every step.
  for (int i = Screen->FormCount() - 1; i >= 0; --i) {
    if (i >= Screen->FormCount()) continue;
    TCustomForm* form = Screen->Forms(i);
    if (!form->HandleAllocated()) continue;
    HWND window = form->Handle();
    if (IsWindowVisible(window) && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) SkinWindow(window);
  }
  skinningAll_ = false;
}

void TSkinManage::UnskinAll(TCustomForm* onlyForm) {
  if (onlyForm) {
    if (onlyForm->HandleAllocated()) Forget(onlyForm->Handle(), false);
    return;
  }
  enabled_ = false;
  while (!forms_.empty()) {
    std::unique_ptr<TSkinForm> form = std::move(forms_.front());
    forms_.erase(forms_.begin());
    form->Unskin(false);
  }
}

void TSkinManage::RefreshAll(TSkinData* data) {
  for (const auto& form : forms_) {
    if (!data || form->Data() == data) form->ReloadMetrics();
  }
  for (const auto& form : forms_) {
    if (!data || form->Data() == data) form->RefreshFrame();
  }
}

void TSkinManage::Reskin(HWND window) {
  if (!window) return;
  if (TSkinForm* form = FindFormSkinner(window)) {
    auto found = std::find_if(forms_.begin(), forms_.end(), [form](const auto& f) { return f.get() == form; });
    std::unique_ptr<TSkinForm> owned = std::move(*found);
    forms_.erase(found);
    owned->Unskin(false);
    owned->MarkFinished();
  }
  SkinWindow(window);
}

void TSkinManage::Forget(HWND window, bool destroying) {
  auto found = std::find_if(forms_.begin(), forms_.end(), [window](const auto& f) { return f->Handle() == window; });
  if (found == forms_.end()) return;
  std::unique_ptr<TSkinForm> form = std::move(*found);
  forms_.erase(found);
  form->Unskin(destroying);
}

void TSkinManage::HookEvent(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  switch (code) {
    case HCBT_CREATEWND: {
      const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
      const std::string name = ClassNameOf(window);
      if (name == "ScrollBar" && (create->style & SBS_SIZEGRIP)) {
        if (TSkinForm* form = FindFormSkinner(create->hwndParent)) form->AttachSizeGrip(window);
      } else if (name == "#32768" && !(create->style & WS_CHILD)) {
        SkinPopupWindow(window);
      } else if (create->dwExStyle & WS_EX_MDICHILD) {
        SkinWindow(window);
      } else if (!(create->style & WS_CHILD)) {
        WatchShowing(window);
      }
      break;
    }
    case HCBT_DESTROYWND:
      Forget(window, true);
      break;
    case HCBT_ACTIVATE:
      SkinWindow(window);
      break;
    default:
      break;
  }
}

void TSkinManage::WindowShowing(HWND window, WPARAM shown, LPARAM reason) {
  // Only ShowWindow's own notice (lParam 0), not an owner's restoring of its owned windows. The
  // window is still hidden: its frame, size and region change before anything of it is painted.
  if (!shown || reason != 0) return;
  if (!enabled_ || (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) return;
  SkinWindowWith(window, nullptr, true);
}

void TSkinManage::SkinPopupWindow(HWND window) {
  std::erase_if(popups_, [](const auto& popup) { return !popup->Attached(); });
  const bool systemMenu = std::exchange(popupKind_, TPopupMenuKind::None) == TPopupMenuKind::SystemMenu;
  TSkinData* data = MainData();
  if (!data || data->LoadingSkin()) return;
  popups_.push_back(std::make_unique<TSkinPopupWindow>(window, *data, [this] { return enabled_ && !finished_; },
                                                       systemMenu));
}

bool TSkinManage::SkinWindow(HWND window) { return SkinWindowWith(window, nullptr); }

TSkinData* TSkinManage::ChooseData(HWND window, const std::string& className) const {
  for (TSkinData* data : data_) {
    if (data->SkinFormtype() != TSkinFormType::sfOnlyThisForm) continue;
    auto* owner = dynamic_cast<TCustomForm*>(data->Owner());
    if (owner && owner->HandleAllocated() && owner->Handle() == window) return data;
  }
  auto last = [this](TSkinFormType type) -> TSkinData* {
    for (auto it = data_.rbegin(); it != data_.rend(); ++it) {
      if ((*it)->SkinFormtype() == type) return *it;
    }
    return nullptr;
  };
  const std::string lower = Lower(className);
  if (lower == "tmessageform" || lower == "#32770") {
    if (TSkinData* dialog = last(TSkinFormType::sfDialog)) return dialog;
  }
  if (TSkinData* main = last(TSkinFormType::sfMainform)) return main;
  return data_.empty() ? nullptr : data_.front();
}

TSkinData* TSkinManage::MainData() const {
  for (TSkinData* data : data_) {
    if (data->SkinFormtype() == TSkinFormType::sfMainform) return data;
  }
  return nullptr;
}

bool TSkinManage::WantsSkin(const std::string& className) const {
  TSkinData* main = MainData();
  if (!main) return true;
  bool skin = true;
  if (!(main->Options() & SkinBit(xoPreview)) && Contains(Lower(className), "preview")) skin = false;
  if (main->OnFormSkin) {
    main->OnFormSkin(main, className, skin);
    return skin;
  }
  if (className == "SysMonthCal32") return false;
  if ((main->SkinControls() & SkinBit(xcFastReport)) && className.rfind("Tfr", 0) == 0) return false;
  return skin;
}

bool TSkinManage::SkinWindowWith(HWND window, TSkinData* given, bool finishNow) {
  if (!enabled_ || finished_ || !IsWindow(window)) return false;
  if (SendMessageW(window, kSkinQueryMessage, 0, 0) == 1 || FindFormSkinner(window)) return false;
  TCustomForm* form = FindForm(window);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  const bool mdiChild = (exStyle & WS_EX_MDICHILD) != 0;
  const std::string className = ClassNameOf(window);
  if ((style & WS_CHILD) && !mdiChild && Lower(ClassNameOf(GetParent(window))) != "mdiclient" && !skinningAll_)
    return false;
  if (!MaySkin(window, className)) return false;
  RECT bounds{};
  GetWindowRect(window, &bounds);
  if (IsRectEmpty(&bounds) && !mdiChild) return false;
  if (form && form->Tag == kNeverSkinTag) return false;
  if (Contains(className, "TcxPopupEditPopupWindow") || className == "TApplication") return false;
  TSkinData* data = given ? given : ChooseData(window, className);
  if (!data || data->LoadingSkin()) return false;
  if (!WantsSkin(className)) return false;

  auto skinner = std::make_unique<TSkinForm>(form, this);
  skinner->InitSkin(window, data);
  forms_.push_back(std::move(skinner));
  if (finishNow) {
    SendMessageW(window, kSkinFinishMessage, 0, kSkinFinishLParam);
  } else {
    PostMessageW(window, kSkinFinishMessage, 0, kSkinFinishLParam);
  }
  return true;
}

TSkinForm* TSkinManage::FindFormSkinner(HWND window) const {
  if (!window) return nullptr;
  auto found = std::find_if(forms_.begin(), forms_.end(), [window](const auto& f) { return f->Handle() == window; });
  return found == forms_.end() ? nullptr : found->get();
}

std::vector<TControlSkinChoice> TSkinManage::MapControls(TSkinData& data, TWinControl& root) const {
  return ::MapControls(data, root);
}

void TSkinManage::SetMaximizedMdiMode(bool on) {
  TSkinData* main = MainData();
  if (main && (main->Options() & SkinBit(xoMDIChildBorder))) return;
  if (mdiMaximized_ == on) return;
  mdiMaximized_ = on;
  for (const auto& form : forms_) form->SetMdiMaximizedMode(on);
}
