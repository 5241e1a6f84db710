#include "framework/graphics/Graphics.h"

#include "framework/classes/Properties.h"
#include "framework/graphics/Graphic.h"
#include "framework/win32/Strings.h"

COLORREF ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  if (color == clNone || color == clDefault) return RGB(0, 0, 0);
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

namespace {

// Character sets by their Win32 names (GB2312_CHARSET) or numbers (134).
TPropInfo CharsetProperty() {
  static const std::pair<const char*, int> names[] = {
      {"ANSI_CHARSET", ANSI_CHARSET},           {"DEFAULT_CHARSET", DEFAULT_CHARSET}, {"SYMBOL_CHARSET", SYMBOL_CHARSET},
      {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},   {"HANGEUL_CHARSET", HANGEUL_CHARSET}, {"GB2312_CHARSET", GB2312_CHARSET},
      {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET}, {"OEM_CHARSET", OEM_CHARSET}};
  TPropInfo p{"Charset"};
  p.get = [](const TObject& o) {
    const int charset = static_cast<const TFont&>(o).Charset();
    for (const auto& [name, value] : names)
      if (value == charset) return std::string(name);
    return std::to_string(charset);
  };
  p.set = [](TObject& o, const std::string& text) {
    for (const auto& [name, value] : names)
      if (SameText(name, text)) return static_cast<TFont&>(o).SetCharset(value);
    const int64_t value = IntFromText(text);
    if (value < 0 || value > 255) throw EConvertError("'" + text + "' is not a valid character set");
    static_cast<TFont&>(o).SetCharset(static_cast<int>(value));
  };
  return p;
}

}  // namespace

const TClassInfo& TFont::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TFont>("TFont", &TPersistent::StaticClassInfo())
                                     .Custom(CharsetProperty())
                                     .Color("Color", &TFont::Color, &TFont::SetColor)
                                     .Property("Height", &TFont::Height, &TFont::SetHeight)
                                     .Property("Name", &TFont::Name, &TFont::SetName)
                                     .Property("Size", &TFont::Size, &TFont::SetSize)
                                     .Set("Style", &TFont::Style, &TFont::SetStyle,
                                          {{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}});
  return info;
}

TFont::TFont() = default;

void TFont::Changed() {
  if (OnChanging) OnChanging();
  handle_.reset();
  if (OnChange) OnChange(this);
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

void TFont::SetStyle(uint32_t style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  // The colour is not part of the GDI font; only listeners need to know.
  if (OnChange) OnChange(this);
}

void TFont::SetCharset(int charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

HFONT TFont::Handle() const {
  if (!handle_) {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Utf8ToWide(name_);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    handle_.reset(CreateFontIndirectW(&lf));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TFont::Assign(const TPersistent& source) {
  const TFont* f = dynamic_cast<const TFont*>(&source);
  if (!f) return TPersistent::Assign(source);
  // Every paint lends a control's font to a canvas: the same font keeps its GDI font rather than
  // have the system realise a new one, and its glyphs again, each time.
  if (name_ == f->name_ && height_ == f->height_ && pixelsPerInch_ == f->pixelsPerInch_ && style_ == f->style_ &&
      charset_ == f->charset_)
    return SetColor(f->color_);
  name_ = f->name_;
  height_ = f->height_;
  pixelsPerInch_ = f->pixelsPerInch_;
  style_ = f->style_;
  color_ = f->color_;
  charset_ = f->charset_;
  Changed();
}

const TClassInfo& TBrush::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBrush>("TBrush", &TPersistent::StaticClassInfo())
                                     .Color("Color", &TBrush::Color, &TBrush::SetColor)
                                     .Enum("Style", &TBrush::Style, &TBrush::SetStyle, {{"bsSolid", "bsClear"}});
  return info;
}

void TBrush::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  if (OnChanging) OnChanging();
  handle_.reset();
  if (OnChange) OnChange(this);
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  if (OnChanging) OnChanging();
  handle_.reset();
  if (OnChange) OnChange(this);
}

HBRUSH TBrush::Handle() const {
  if (!handle_) {
    LOGBRUSH lb{};
    lb.lbStyle = style_ == TBrushStyle::bsClear ? BS_NULL : BS_SOLID;
    lb.lbColor = ColorToRGB(color_);
    handle_.reset(CreateBrushIndirect(&lb));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TBrush::Assign(const TPersistent& source) {
  const TBrush* b = dynamic_cast<const TBrush*>(&source);
  if (!b) return TPersistent::Assign(source);
  color_ = b->color_;
  style_ = b->style_;
  if (OnChanging) OnChanging();
  handle_.reset();
  if (OnChange) OnChange(this);
}

const TClassInfo& TPen::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPen>("TPen", &TPersistent::StaticClassInfo())
                                     .Color("Color", &TPen::Color, &TPen::SetColor)
                                     .Property("Width", &TPen::Width, &TPen::SetWidth);
  return info;
}

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  if (OnChanging) OnChanging();
  handle_.reset();
  if (OnChange) OnChange(this);
}

void TPen::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  if (OnChanging) OnChanging();
  handle_.reset();
  if (OnChange) OnChange(this);
}

HPEN TPen::Handle() const {
  if (!handle_) {
    handle_.reset(CreatePen(PS_SOLID, width_, ColorToRGB(color_)));
    if (!handle_) throw EOutOfResources("Out of system resources");
  }
  return handle_.get();
}

void TPen::Assign(const TPersistent& source) {
  const TPen* p = dynamic_cast<const TPen*>(&source);
  if (!p) return TPersistent::Assign(source);
  color_ = p->color_;
  width_ = p->width_;
  if (OnChanging) OnChanging();
  handle_.reset();
  if (OnChange) OnChange(this);
}

const TClassInfo& TCanvas::StaticClassInfo() {
  static const TClassInfo info("TCanvas", &TPersistent::StaticClassInfo());
  return info;
}

TCanvas::TCanvas() : font_(new TFont), brush_(new TBrush), pen_(new TPen) {
  InitializeCriticalSection(&lock_);
  auto changing = [this] { ToolChanged(); };
  font_->OnChanging = changing;
  brush_->OnChanging = changing;
  pen_->OnChanging = changing;
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  DeleteCriticalSection(&lock_);
}

void TCanvas::ToolChanged() {
  // The tool's old GDI object may be selected: put the originals back before it goes.
  if (!dc_ || !toolsSelected_) return;
  SelectObject(dc_, oldFont_);
  SelectObject(dc_, oldBrush_);
  SelectObject(dc_, oldPen_);
  toolsSelected_ = false;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  ToolChanged();
  dc_ = dc;
}

void TCanvas::RequireTools() {
  if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  if (toolsSelected_) {
    // Handles may have been recreated by a change that happened while selected.
    SelectObject(dc_, font_->Handle());
    SelectObject(dc_, brush_->Handle());
    SelectObject(dc_, pen_->Handle());
  } else {
    oldFont_ = SelectObject(dc_, font_->Handle());
    oldBrush_ = SelectObject(dc_, brush_->Handle());
    oldPen_ = SelectObject(dc_, pen_->Handle());
    toolsSelected_ = true;
  }
  SetTextColor(dc_, ColorToRGB(font_->Color()));
  SetBkColor(dc_, ColorToRGB(brush_->Color()));
  SetBkMode(dc_, brush_->Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::FillRect(const TRect& rect) {
  RequireTools();
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  if (brush_->Style() != TBrushStyle::bsClear) ::FillRect(dc_, &r, brush_->Handle());
}

void TCanvas::FrameRect(const TRect& rect) {
  RequireTools();
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FrameRect(dc_, &r, brush_->Handle());
}

void TCanvas::Rectangle(const TRect& rect) {
  RequireTools();
  ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TCanvas::MoveTo(int x, int y) {
  RequireTools();
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  RequireTools();
  ::LineTo(dc_, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireTools();
  const std::wstring w = Utf8ToWide(text);
  ExtTextOutW(dc_, x, y, 0, nullptr, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
  RequireTools();
  const std::wstring w = Utf8ToWide(text);
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const UINT opaque = brush_->Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE;
  ExtTextOutW(dc_, x, y, ETO_CLIPPED | opaque, &r, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

int TCanvas::DrawText(const std::string& text, TRect& rect, UINT flags) {
  RequireTools();
  const std::wstring w = Utf8ToWide(text);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const int height = ::DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &r, flags);
  rect = {r.left, r.top, r.right, r.bottom};
  return height;
}

TPoint TCanvas::TextExtent(const std::string& text) {
  RequireTools();
  const std::wstring w = Utf8ToWide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
  return {size.cx, size.cy};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  RequireTools();
  graphic->Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  RequireTools();
  source.RequireTools();
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source.Handle(), sourceRect.Left, sourceRect.Top,
             sourceRect.Width(), sourceRect.Height(), SRCCOPY);
}

TColor TCanvas::Pixel(int x, int y) const {
  if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  const COLORREF c = GetPixel(dc_, x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  RequireTools();
  ::SetPixel(dc_, x, y, ColorToRGB(color));
}

void TCanvas::Lock() { EnterCriticalSection(&lock_); }
void TCanvas::Unlock() { LeaveCriticalSection(&lock_); }
bool TCanvas::TryLock() { return TryEnterCriticalSection(&lock_) != 0; }
