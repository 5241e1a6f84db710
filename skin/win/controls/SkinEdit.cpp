#include "skin/win/controls/SkinEdit.h"

#include <commctrl.h>

#include "framework/controls/Controls.h"
#include "framework/controls/Messages.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/controls/SkinUpDown.h"

TSkinEdit::TSkinEdit() = default;
TSkinEdit::~TSkinEdit() = default;

void TSkinEdit::Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas) {
  TSkinControl::Attach(form, data, mode, control, canvas);
  AttachArrows();
  PaintFrame();
}

bool TSkinEdit::AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas) {
  if (!TSkinControl::AttachHandle(window, data, form, canvas)) return false;
  AttachArrows();
  PaintFrame();
  return true;
}

void TSkinEdit::AttachArrows() {
  if (!Handle() || !Data()) return;
  for (HWND child = FindWindowExW(Handle(), nullptr, UPDOWN_CLASSW, nullptr); child;
       child = FindWindowExW(Handle(), child, UPDOWN_CLASSW, nullptr)) {
    auto arrows = std::make_unique<TSkinUpDown>();
    arrows->SetHost(Handle());
    if (arrows->AttachHandle(child, *Data(), Form())) arrows_.push_back(std::move(arrows));
  }
}

TFieldLook TSkinEdit::Look() const {
  if (!WindowEnabled()) return TFieldLook::Disabled;
  HWND focus = GetFocus();
  if (focus && (focus == Handle() || IsChild(Handle(), focus))) return TFieldLook::Focused;
  return hot_ ? TFieldLook::Hot : TFieldLook::Normal;
}

TColor TSkinEdit::FieldColour() const {
  if (!WindowEnabled() || (WindowStyle() & ES_READONLY)) return Data()->Model(Dpi()).Colour(TSkinColour::ButtonFace);
  return Control() ? Control()->Color() : clWindow;
}

bool TSkinEdit::BeforeMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_NCPAINT:
      if (FieldFrameWidth(Handle()) == 0) break;
      // Scroll bars are the system's (or their own skinner's); only the rings outside them are ours.
      if (WindowStyle() & (WS_HSCROLL | WS_VSCROLL)) CallDefault(message);
      PaintFrame();
      message.Result = 0;
      return false;
    case kSkinRepaintFrameMessage:
      // A part of the control (its arrows) was entered or left.
      hot_ = HoverOverWhole(Handle());
      PaintFrame();
      message.Result = 0;
      return false;
    default:
      break;
  }
  return TSkinControl::BeforeMessage(message);
}

void TSkinEdit::AfterMessage(TMessage& message) {
  switch (message.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(message.WParam);
      const TSkinModel& model = Data()->Model(Dpi());
      SetTextColor(dc, ColorToRGB(CaptionColour()));
      if (FieldColour() == model.Colour(TSkinColour::ButtonFace) && Data()->ButtonFaceBrush()) {
        SetBkColor(dc, ColorToRGB(FieldColour()));
        message.Result = reinterpret_cast<LRESULT>(Data()->ButtonFaceBrush());
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (!hot_ && WindowEnabled()) {
        hot_ = true;
        TrackLeave(Handle());
        PaintFrame();
        TellHost(host_);
      }
      break;
    case WM_MOUSELEAVE:
      // Moving onto the control's own arrows is no leaving.
      hot_ = PointerOver(Handle());
      PaintFrame();
      TellHost(host_);
      break;
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
    case EM_SETREADONLY:
      if (!WindowEnabled()) hot_ = false;
      PaintFrame();
      Repaint();
      for (const auto& arrows : arrows_) arrows->Repaint();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_STYLECHANGED:
      PaintFrame();
      break;
    case WM_PAINT:
      // The control paints its own text; the frame is not part of its client area.
      break;
    default:
      TSkinControl::AfterMessage(message);
      break;
  }
}

void TSkinEdit::PaintFrame() {
  if (Handle() && IsWindowVisible(Handle()) && FieldFrameWidth(Handle()) > 0) PaintWindow(nullptr);
}

void TSkinEdit::PaintSkin(HDC dc, const TRect& rect) {
  PaintFieldFrame(dc, rect, FieldFrameWidth(Handle()), *Data(), Look(), FieldColour());
}
