#include "framework/controls/Buttons.h"

#include <algorithm>
#include <utility>

#include "framework/controls/Forms.h"
#include "framework/controls/GlyphScale.h"

const TEnumNames& ButtonLayoutNames() {
  static const TEnumNames names{{"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
  return names;
}

TGlyphFacePlaces GlyphFacePlaces(const TRect& rect, TPoint glyphSize, TPoint textSize, TButtonLayout layout, int margin,
                                 int spacing) {
  const int gw = glyphSize.X, gh = glyphSize.Y, tw = textSize.X, th = textSize.Y;
  const int gap = gw > 0 && tw > 0 ? spacing : 0;
  const bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
  const int total = horizontal ? gw + gap + tw : gh + gap + th;
  const int room = horizontal ? rect.Width() : rect.Height();
  const int start = margin >= 0 ? margin : (room - total) / 2;
  int gx, gy, tx, ty;
  if (horizontal) {
    gy = rect.Top + (rect.Height() - gh) / 2;
    ty = rect.Top + (rect.Height() - th) / 2;
    if (layout == TButtonLayout::blGlyphLeft) {
      gx = rect.Left + start;
      tx = gx + gw + gap;
    } else {
      tx = rect.Left + start;
      gx = tx + tw + gap;
    }
  } else {
    gx = rect.Left + (rect.Width() - gw) / 2;
    tx = rect.Left + (rect.Width() - tw) / 2;
    if (layout == TButtonLayout::blGlyphTop) {
      gy = rect.Top + start;
      ty = gy + gh + gap;
    } else {
      ty = rect.Top + start;
      gy = ty + th + gap;
    }
  }
  return {{gx, gy}, {tx, ty, tx + tw, ty + th}};
}

void DrawButtonGlyph(HDC dc, int x, int y, TBitmap& glyph, int numGlyphs, TButtonState state) {
  numGlyphs = std::clamp(numGlyphs, 1, 4);
  if (glyph.Empty()) return;
  const int gw = glyph.Width() / numGlyphs;
  const int gh = glyph.Height();
  int index = 0;
  if (state == TButtonState::bsDisabled && numGlyphs > 1) index = 1;
  if (state == TButtonState::bsDown && numGlyphs > 2) index = 2;
  if (state == TButtonState::bsExclusive && numGlyphs > 3) index = 3;
  const COLORREF key = ColorToRGB(glyph.TransparentColor());
  TransparentBlt(dc, x, y, gw, gh, glyph.Canvas()->Handle(), index * gw, 0, gw, gh, key);
}

void DrawGlyphButtonFace(TCanvas& canvas, const TRect& rect, TBitmap* glyph, int numGlyphs, const std::string& caption,
                         TButtonLayout layout, int margin, int spacing, TButtonState state, bool pressedOffset) {
  numGlyphs = std::clamp(numGlyphs, 1, 4);
  const bool hasGlyph = glyph && !glyph->Empty();
  const int gw = hasGlyph ? glyph->Width() / numGlyphs : 0;
  const int gh = hasGlyph ? glyph->Height() : 0;
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);
  TRect text{0, 0, rect.Width(), 0};
  if (!caption.empty()) canvas.DrawText(caption, text, DT_SINGLELINE | DT_CALCRECT);
  const int tw = caption.empty() ? 0 : text.Width();
  const int th = caption.empty() ? 0 : text.Height();
  const TGlyphFacePlaces places = GlyphFacePlaces(rect, {gw, gh}, {tw, th}, layout, margin, spacing);
  const int offset = pressedOffset ? 1 : 0;
  const int tx = places.Text.Left + offset, ty = places.Text.Top + offset;
  if (hasGlyph) DrawButtonGlyph(canvas.Handle(), places.Glyph.X + offset, places.Glyph.Y + offset, *glyph, numGlyphs, state);
  if (!caption.empty()) {
    TRect r{tx, ty, tx + tw, ty + th};
    if (state == TButtonState::bsDisabled) {
      const TColor keep = canvas.Font()->Color();
      TRect shadow{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
      canvas.Font()->SetColor(clBtnHighlight);
      canvas.DrawText(caption, shadow, DT_SINGLELINE);
      canvas.Font()->SetColor(clBtnShadow);
      canvas.DrawText(caption, r, DT_SINGLELINE);
      canvas.Font()->SetColor(keep);
    } else {
      canvas.DrawText(caption, r, DT_SINGLELINE);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// TButtonGlyph

TButtonGlyph::TButtonGlyph(TNotifyEvent changed) : shown_(new TBitmap), detailed_(new TBitmap) {
  shown_->OnChange = [this, changed](TObject* sender) {
    // A glyph given from outside is the drawing for the scale the button is at.
    if (!scaling_) {
      drawn_.reset();
      drawnDpi_ = dpi_;
    }
    if (changed) changed(sender);
  };
  detailed_->OnChange = changed;
}

void TButtonGlyph::ChangeScale(int toDpi, int numGlyphs) {
  dpi_ = toDpi;
  if (!drawn_) {
    if (shown_->Empty()) {
      drawnDpi_ = toDpi;
      return;
    }
    drawn_ = std::make_unique<TBitmap>();
    drawn_->Assign(*shown_);
  }
  const int cells = std::clamp(numGlyphs, 1, 4);
  const int cellWidth = MulDiv(drawn_->Width() / cells, toDpi, drawnDpi_);
  const int cellHeight = MulDiv(drawn_->Height(), toDpi, drawnDpi_);
  // The double-size drawing serves every scale above the one the glyph was drawn for.
  const bool fromDetailed = toDpi > drawnDpi_ && drawnDpi_ == kDesignDpi &&
                            detailed_->Width() == 2 * drawn_->Width() && detailed_->Height() == 2 * drawn_->Height();
  TBitmap& source = fromDetailed ? *detailed_ : *drawn_;
  const COLORREF key = ColorToRGB(drawn_->TransparentColor());
  scaling_ = true;
  const struct TScalingEnd {
    bool& scaling;
    ~TScalingEnd() { scaling = false; }
  } end{scaling_};
  if (toDpi == drawnDpi_) shown_->Assign(*drawn_);
  else ScaleStrip(source, cells, key, cellWidth, cellHeight, *shown_);
}

// ---------------------------------------------------------------------------------------------
// TBitBtn

const TClassInfo& TBitBtn::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TBitBtn>("TBitBtn", &TButton::StaticClassInfo())
          .Creatable()
          .Object("Glyph", &TBitBtn::Glyph)
          .Object("Glyph2x", &TBitBtn::Glyph2x)
          .Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
          .Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind,
                {{"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"}})
          .Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, ButtonLayoutNames())
          .Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin)
          .Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing);
  return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_([this](TObject*) { Invalidate(); }) {}

TBitBtn::~TBitBtn() { DestroyHandle(); }

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.Style = (p.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetNumGlyphs(int n) {
  numGlyphs_ = std::clamp(n, 1, 4);
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind kind) {
  kind_ = kind;
  static const char* const captions[] = {"", "OK", "Cancel", "&Help", "&Yes", "&No", "&Close", "Abort", "&Retry", "&Ignore", "&All"};
  static const TModalResult results[] = {mrNone, mrOk, mrCancel, mrNone, mrYes, mrNo, mrNone, mrAbort, mrRetry, mrIgnore, mrNone};
  const size_t i = static_cast<size_t>(kind);
  if (kind != TBitBtnKind::bkCustom) {
    SetModalResult(results[i]);
    if (Caption().empty()) SetCaption(captions[i]);
  }
}

void TBitBtn::SetLayout(TButtonLayout layout) {
  // The main window sets it on every mouse move: an unchanged layout must not cost a repaint.
  if (layout == layout_) return;
  layout_ = layout;
  Invalidate();
}

void TBitBtn::SetMargin(int margin) {
  margin_ = margin;
  Invalidate();
}

namespace {
// Margin and spacing are pixels too; a margin of -1 (centred) stays one.
void ScaleGaps(int& margin, int& spacing, int toDpi, int fromDpi) {
  if (margin > 0) margin = MulDiv(margin, toDpi, fromDpi);
  spacing = MulDiv(spacing, toDpi, fromDpi);
}
}  // namespace

void TBitBtn::ChangeScale(int toDpi, int fromDpi) {
  ScaleGaps(margin_, spacing_, toDpi, fromDpi);
  glyph_.ChangeScale(toDpi, numGlyphs_);
  TButton::ChangeScale(toDpi, fromDpi);
}

void TBitBtn::SetSpacing(int spacing) {
  spacing_ = spacing;
  Invalidate();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  TCanvas canvas;
  canvas.SetHandle(item.hDC);
  canvas.Font()->Assign(*Font());
  RECT r = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const TButtonState state = !Enabled() ? TButtonState::bsDisabled : pressed ? TButtonState::bsDown : TButtonState::bsUp;
  const TRect face{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  DrawGlyphButtonFace(canvas, face, glyph_.Shown(), numGlyphs_, Caption(), layout_, margin_, spacing_, state, pressed);
  if (item.itemState & ODS_FOCUS) {
    RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    DrawFocusRect(item.hDC, &focus);
  }
  canvas.SetHandle(nullptr);
}

void TBitBtn::WndProc(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
    m.Result = TRUE;
    return;
  }
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED && kind_ == TBitBtnKind::bkClose) {
    TButton::WndProc(m);
    if (TCustomForm* form = GetParentForm(this)) form->Close();
    return;
  }
  TButton::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TSpeedButton

const TClassInfo& TSpeedButton::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TSpeedButton>("TSpeedButton", &TGraphicControl::StaticClassInfo())
          .Creatable()
          .Object("Glyph", &TSpeedButton::Glyph)
          .Object("Glyph2x", &TSpeedButton::Glyph2x)
          .Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
          .Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
          .Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex)
          .Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown)
          .Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp)
          .Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, ButtonLayoutNames())
          .Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin)
          .Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing)
          .Property("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent);
  return info;
}

TSpeedButton::TSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_([this](TObject*) { Invalidate(); }) {
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetNumGlyphs(int n) {
  numGlyphs_ = std::clamp(n, 1, 4);
  Invalidate();
}

void TSpeedButton::SetFlat(bool flat) {
  flat_ = flat;
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout layout) {
  layout_ = layout;
  Invalidate();
}

void TSpeedButton::SetMargin(int margin) {
  margin_ = margin;
  Invalidate();
}

void TSpeedButton::ChangeScale(int toDpi, int fromDpi) {
  ScaleGaps(margin_, spacing_, toDpi, fromDpi);
  glyph_.ChangeScale(toDpi, numGlyphs_);
  TGraphicControl::ChangeScale(toDpi, fromDpi);
}

void TSpeedButton::SetSpacing(int spacing) {
  spacing_ = spacing;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TSpeedButton::SetDown(bool down) {
  if (groupIndex_ == 0) down = false;
  if (down == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = down;
  if (down && Parent()) {
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
      auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
      if (other && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
        other->down_ = false;
        other->Invalidate();
      }
    }
  }
  Invalidate();
}

TButtonState TSpeedButton::State() const {
  if (!Enabled()) return TButtonState::bsDisabled;
  if (pressed_ && mouseInControl_) return TButtonState::bsDown;
  if (down_) return TButtonState::bsExclusive;
  return TButtonState::bsUp;
}

void TSpeedButton::WndProc(TMessage& m) {
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
    mouseInControl_ = m.Msg == CM_MOUSEENTER;
    if (flat_ || pressed_) Invalidate();
  }
  if (m.Msg == CM_CANCELMODE && std::exchange(pressed_, false)) Invalidate();
  TGraphicControl::WndProc(m);
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && Enabled()) {
    pressed_ = true;
    mouseInControl_ = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  if (pressed_) {
    const bool inside = ClientRect().Contains({x, y});
    if (inside != mouseInControl_) {
      mouseInControl_ = inside;
      Invalidate();
    }
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && pressed_) {
    pressed_ = false;
    if (ClientRect().Contains({x, y}) && groupIndex_ != 0) SetDown(!down_ || !allowAllUp_);
    Invalidate();
  }
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::Paint() {
  TCanvas& c = *Canvas();
  const TRect client = ClientRect();
  const TButtonState state = State();
  const bool sunk = state == TButtonState::bsDown || state == TButtonState::bsExclusive;
  RECT r{client.Left, client.Top, client.Right, client.Bottom};
  if (!flat_) {
    DrawFrameControl(c.Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (sunk ? DFCS_PUSHED : 0));
  } else {
    if (!transparent_) {
      c.Brush()->SetStyle(TBrushStyle::bsSolid);
      c.Brush()->SetColor(Color());
      c.FillRect(client);
    }
    if (sunk)
      DrawEdge(c.Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
    else if (mouseInControl_ && Enabled())
      DrawEdge(c.Handle(), &r, BDR_RAISEDINNER, BF_RECT);
  }
  const TRect face{client.Left + 1, client.Top + 1, client.Right - 1, client.Bottom - 1};
  DrawGlyphButtonFace(c, face, glyph_.Shown(), numGlyphs_, Caption(), layout_, margin_, spacing_, state, sunk);
}
