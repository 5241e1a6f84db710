#include "framework/controls/Spin.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "framework/win32/Dpi.h"

const TClassInfo& TSpinEdit::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TSpinEdit>("TSpinEdit", &TCustomEdit::StaticClassInfo())
                                     .Creatable()
                                     .Property("MinValue", &TSpinEdit::MinValue, &TSpinEdit::SetMinValue)
                                     .Property("MaxValue", &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue)
                                     .Property("Increment", &TSpinEdit::Increment, &TSpinEdit::SetIncrement)
                                     .Property("Value", &TSpinEdit::Value, &TSpinEdit::SetValue);
  return info;
}

TSpinEdit::TSpinEdit(TComponent* owner) : TCustomEdit(owner) {
  SetBounds(0, 0, 121, 22);
  SetText("0");
}

TSpinEdit::~TSpinEdit() { DestroyHandle(); }

int TSpinEdit::Clamp(int64_t value) const {
  if (minValue_ != maxValue_) value = std::clamp<int64_t>(value, minValue_, maxValue_);
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

int TSpinEdit::Value() const {
  const std::string text = GetText();
  try {
    return Clamp(IntFromText(text));
  } catch (const EConvertError&) {
    return minValue_;
  }
}

void TSpinEdit::SetValue(int value) { SetText(std::to_string(Clamp(value))); }

void TSpinEdit::SetMinValue(int value) {
  minValue_ = value;
  if (!Loading()) SetValue(Value());
}

void TSpinEdit::SetMaxValue(int value) {
  maxValue_ = value;
  if (!Loading()) SetValue(Value());
}

void TSpinEdit::Step(int delta) {
  if (ReadOnly()) return;
  SetValue(Clamp(static_cast<int64_t>(Value()) + static_cast<int64_t>(delta) * increment_));
}

void TSpinEdit::CreateWindowHandleDone() {
  TCustomEdit::CreateWindowHandleDone();
  upDown_ = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS, 0, 0, 0, 0, Handle(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  PlaceArrows();
}

void TSpinEdit::FontChanged() {
  TCustomEdit::FontChanged();
  PlaceArrows();
}

void TSpinEdit::PlaceArrows() {
  if (!upDown_) return;
  const TRect client = ClientRect();
  const int arrows = std::min(SystemMetricForDpi(SM_CXVSCROLL, CurrentPPI()), client.Width() / 2);
  SetWindowPos(upDown_, nullptr, client.Width() - arrows, 0, arrows, client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, arrows));
}

void TSpinEdit::DestroyWnd() {
  if (upDown_ && IsWindow(upDown_)) DestroyWindow(upDown_);
  upDown_ = nullptr;
  TCustomEdit::DestroyWnd();
}

void TSpinEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMUPDOWN*>(m.LParam);
      if (hdr->hdr.hwndFrom == upDown_ && hdr->hdr.code == UDN_DELTAPOS) {
        // Up arrows count upwards, whatever the control's own sense.
        Step(hdr->iDelta < 0 ? 1 : -1);
        m.Result = 1;
        return;
      }
      break;
    }
    case WM_KEYDOWN:
      if (m.WParam == VK_UP || m.WParam == VK_DOWN) {
        if (DoKeyDown(m)) return;
        Step(m.WParam == VK_UP ? 1 : -1);
        return;
      }
      break;
    case WM_SIZE:
      TCustomEdit::WndProc(m);
      PlaceArrows();
      return;
    case WM_KILLFOCUS:
      // Leaving the field puts a well-formed, bounded number back.
      TCustomEdit::WndProc(m);
      if (!Loading()) SetValue(Value());
      return;
    default:
      break;
  }
  TCustomEdit::WndProc(m);
}
