#include "skin/win/controls/SkinControl.h"

#include <algorithm>
#include <vector>

#include "framework/controls/Controls.h"
#include "framework/core/Exception.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Strings.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"

namespace {

constexpr intptr_t kTransparentTag = 5555;

UniqueBrush SolidBrush(TColor colour) { return UniqueBrush(CreateSolidBrush(ColorToRGB(colour))); }

}  // namespace

TSkinControl::TSkinControl() : TComponent(nullptr) {}

TSkinControl::~TSkinControl() {
  if (state_ == TSkinControlState::Attached) Detach();
  hook_.Detach();
  subclass_.Detach();
  if (control_) RemoveFreeNotification(control_);
}

void TSkinControl::Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas) {
  if (state_ != TSkinControlState::Detached) throw EInvalidOperation("The control skinner is attached already");
  auto* windowed = dynamic_cast<TWinControl*>(&control);
  form_ = form;
  data_ = &data;
  mode_ = mode;
  canvas_ = canvas;
  control_ = &control;
  // A windowless control is painted and told about the mouse through its messages all the same.
  window_ = windowed ? windowed->Handle() : nullptr;
  FreeNotification(control_);
  hook_.Attach(control, [this](TMessage& message, const TWndMethod& next) { Route(message, next); });
  if (mode_ == 1) {
    if (HasProperty(control, "ParentBackground") && BoolFromText(GetPropValue(control, "ParentBackground")) &&
        !HasOption(xoParentBackGround)) {
      SetPropValue(control, "ParentBackground", "False");
      parentBackgroundWasOn_ = true;
    }
    savedColor_ = control.Color();
    savedParentColor_ = control.ParentColor();
    colourTaken_ = true;
    control.SetColor(data.Model().Colour(TSkinColour::ButtonFace));
  }
  ReadText();
  state_ = TSkinControlState::Attached;
  Repaint();
}

bool TSkinControl::AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas) {
  if (state_ != TSkinControlState::Detached) throw EInvalidOperation("The control skinner is attached already");
  if (!subclass_.Attach(window, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
        return RouteWindow(w, msg, wParam, lParam);
      }))
    return false;
  window_ = window;
  data_ = &data;
  form_ = form;
  canvas_ = canvas;
  ReadText();
  state_ = TSkinControlState::Attached;
  Repaint();
  return true;
}

void TSkinControl::Detach() {
  if (!control_) return;
  if (parentBackgroundWasOn_ && HasProperty(*control_, "ParentBackground"))
    SetPropValue(*control_, "ParentBackground", "True");
  parentBackgroundWasOn_ = false;
  if (colourTaken_) {
    control_->SetColor(savedColor_);
    control_->SetParentColor(savedParentColor_);
  }
  colourTaken_ = false;
}

void TSkinControl::SkinChanged() {
  if (control_ && colourTaken_ && data_) control_->SetColor(data_->Model().Colour(TSkinColour::ButtonFace));
  Repaint();
}

int TSkinControl::Dpi() const {
  if (form_) return form_->Dpi();
  // A windowless control is drawn into its parent's window.
  TWinControl* parent = control_ ? control_->Parent() : nullptr;
  HWND window = window_ ? window_ : parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
  return window ? WindowDpi(window) : kDesignDpi;
}

void TSkinControl::Repaint() {
  if (state_ != TSkinControlState::Attached) return;
  if (control_) {
    control_->Invalidate();
  } else if (window_ && IsWindow(window_)) {
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
  }
}

void TSkinControl::Route(TMessage& message, const TWndMethod& next) {
  const TWndMethod* outer = std::exchange(next_, &next);
  if (message.Msg == kSkinControlRoutingMessage) {
    next(message);
    skinning_ = message.WParam > 0;
    if (control_) {
      control_->Invalidate();
    } else if (window_) {
      InvalidateRect(window_, nullptr, TRUE);
    }
    // A skinner may draw the frame too.
    if (window_) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  } else if (!skinning_ || state_ != TSkinControlState::Attached) {
    next(message);
  } else if (BeforeMessage(message)) {
    next(message);
    AfterMessage(message);
  }
  next_ = outer;
}

LRESULT TSkinControl::RouteWindow(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  const TWndMethod next = [this, window](TMessage& m) { m.Result = subclass_.Default(window, m.Msg, m.WParam, m.LParam); };
  Route(message, next);
  return message.Result;
}

void TSkinControl::CallDefault(TMessage& message) {
  if (next_) (*next_)(message);
}

bool TSkinControl::BeforeMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_NCDESTROY:
      CallDefault(message);
      skinning_ = false;
      state_ = TSkinControlState::Destroyed;
      Detach();
      window_ = nullptr;
      // Its skinner may outlive the window (in the form skinner's list): nothing of it is left meanwhile.
      ownBuffer_.Release();
      return false;
    case kSkinQueryMessage:
      message.Result = 1;
      return false;
    default:
      return true;
  }
}

void TSkinControl::AfterMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
      Repaint();
      break;
    case WM_SETTEXT:
    case CM_TEXTCHANGED:
      // A windowless control's caption changes without a window message.
      ReadText();
      Repaint();
      break;
    case WM_PAINT:
      PaintWindow(reinterpret_cast<HDC>(message.WParam));
      break;
    default:
      break;
  }
}

void TSkinControl::PaintWindow(HDC dc) {
  // A failed paint only costs the look of one control; it must not unwind through the window procedure.
  if (Windowless()) {
    if (!dc) return;
    try {
      PaintSkin(dc, TRect{0, 0, control_->Width(), control_->Height()});
    } catch (...) {
    }
    return;
  }
  if (!window_ || !IsWindow(window_)) return;
  try {
    RECT r{};
    GetWindowRect(window_, &r);
    const TRect rect{0, 0, r.right - r.left, r.bottom - r.top};
    if (dc) {
      PaintSkin(dc, rect);
    } else {
      WindowFrameDC windowDc(window_);
      if (windowDc.get()) PaintSkin(windowDc.get(), rect);
    }
  } catch (...) {
  }
}

void TSkinControl::PaintSkin(HDC, const TRect&) {}

bool TSkinControl::AnswerPaint(TMessage& message) {
  if (message.Msg == WM_PAINT) {
    PaintMessage(message);
    return true;
  }
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return true;
  }
  return false;
}

bool TSkinControl::FollowButtonState(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEMOVE:
      if (EnterHot()) PaintNow();
      return true;
    case WM_MOUSELEAVE:
      hot_ = false;
      if (pressed_ && (SendMessageW(window_, BM_GETSTATE, 0, 0) & BST_PUSHED))
        SendMessageW(window_, BM_SETSTATE, FALSE, 0);
      pressed_ = false;
      PaintNow();
      return true;
    case BM_SETSTATE:
      // The control pushes and releases itself as the pointer moves in and out while held.
      pressed_ = message.WParam != 0;
      PaintNow();
      return true;
    case WM_SETTEXT:
      ReadText();
      PaintNow();
      return true;
    default:
      return false;
  }
}

void TSkinControl::PaintMessage(TMessage& message) {
  if (message.WParam) {
    PaintWindow(reinterpret_cast<HDC>(message.WParam));
  } else {
    PAINTSTRUCT ps{};
    if (BeginPaint(window_, &ps)) {
      PaintWindow(ps.hdc);
      EndPaint(window_, &ps);
    }
  }
  message.Result = 0;
}

void TSkinControl::PaintNow() {
  // A windowless control is drawn by its parent, under its siblings and over what lies beneath.
  if (Windowless()) {
    control_->Repaint();
    return;
  }
  if (window_ && IsWindowVisible(window_)) PaintWindow(nullptr);
}

bool TSkinControl::EnterHot() {
  if (hot_ || !WindowEnabled()) return false;
  hot_ = true;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
  TrackMouseEvent(&track);
  return true;
}

void TSkinControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == control_) ForgetControl();
}

void TSkinControl::ForgetControl() {
  hook_.Detach();
  control_ = nullptr;
  window_ = nullptr;
  colourTaken_ = false;
  parentBackgroundWasOn_ = false;
  skinning_ = false;
  state_ = TSkinControlState::Destroyed;
  ownBuffer_.Release();
}

void TSkinControl::FillButtonFace(HDC dc, const TRect& rect) const {
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (data_ && data_->ButtonFaceBrush()) {
    FillRect(dc, &r, data_->ButtonFaceBrush());
  } else {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void TSkinControl::FillParentColour(HDC dc, const TRect& rect) const {
  TColor colour = clBtnFace;
  if (control_ && control_->Parent()) colour = control_->Parent()->Color();
  const UniqueBrush brush = SolidBrush(colour);
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  FillRect(dc, &r, brush ? brush.get() : GetSysColorBrush(COLOR_BTNFACE));
}

void TSkinControl::PaintParentBackground(HDC dc, const TRect& rect) const {
  TWinControl* parent = control_ ? control_->Parent() : nullptr;
  if (!parent) {
    FillParentColour(dc, rect);
    return;
  }
  FillParentColour(dc, rect);
  // A windowed control lies above every windowless sibling, so the parent's whole picture is what
  // shows through it.
  const SavedDC saved(dc);
  IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
  parent->PaintTo(dc, -control_->Left(), -control_->Top());
}

void TSkinControl::DrawFocusAroundText(HDC dc, const std::wstring& text, const TRect& textArea, UINT flags) const {
  TRect measured = textArea;
  DrawWideText(dc, text, measured, (flags & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
  const int width = measured.Width();
  const int height = measured.Height();
  TRect focus = textArea;
  if (flags & DT_CENTER) {
    focus.Left = textArea.Left + (textArea.Width() - width) / 2;
  } else if (flags & DT_RIGHT) {
    focus.Left = textArea.Right - width;
  }
  focus.Right = focus.Left + width;
  focus.Top = textArea.Top + (textArea.Height() - height) / 2;
  focus.Bottom = focus.Top + height;
  RECT r{focus.Left - 2, focus.Top - 1, focus.Right + 2, focus.Bottom + 1};
  RECT whole{};
  if (window_) GetClientRect(window_, &whole);
  RECT clipped{};
  if (!IntersectRect(&clipped, &r, &whole)) return;
  DrawFocusRect(dc, &clipped);
}

int TSkinControl::DrawWideText(HDC dc, const std::wstring& text, TRect& rect, UINT flags) {
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const int height = DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  rect = TRect{r.left, r.top, r.right, r.bottom};
  return height;
}

bool TSkinControl::WindowEnabled() const {
  if (Windowless()) return control_->Enabled();
  return window_ && (WindowStyle() & WS_DISABLED) == 0;
}

bool TSkinControl::Windowless() const { return control_ && !dynamic_cast<TWinControl*>(control_); }

void TSkinControl::ReadText() {
  text_.clear();
  if (control_) {
    text_ = Utf8ToWide(control_->GetText());
  } else if (window_) {
    const int length = GetWindowTextLengthW(window_);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int read = GetWindowTextW(window_, buffer.data(), length + 1);
    text_.assign(buffer.data(), static_cast<size_t>(std::max(read, 0)));
  }
}

HFONT TSkinControl::ControlFont() const {
  if (control_) return control_->Font()->Handle();
  if (window_) {
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0))) return font;
  }
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

TColor TSkinControl::CaptionColour() const {
  const TSkinModel& model = data_->Model();
  if (!WindowEnabled()) return model.Colour(TSkinColour::ButtonShadow);
  const TColor own = control_ ? control_->Font()->Color() : clWindowText;
  return own != clWindowText ? own : model.Colour(TSkinColour::WindowText);
}

bool TSkinControl::ParentSkinned() const {
  TWinControl* parent = control_ ? control_->Parent() : nullptr;
  const HWND window = parent && parent->HandleAllocated() ? parent->Handle() : (window_ ? GetParent(window_) : nullptr);
  return window && SendMessageW(window, kSkinQueryMessage, 0, 0) == 1;
}

bool TSkinControl::Transparent() const {
  return (control_ && control_->Tag == kTransparentTag) || HasOption(xoTransparent);
}

bool TSkinControl::HasOption(unsigned option) const { return data_ && (data_->Options() & SkinBit(option)) != 0; }
