#pragma once
// Drawing tools and the canvas: fonts, brushes and pens that own their GDI objects, and a
// canvas over a device context that selects them on demand.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/classes/Events.h"
#include "framework/classes/Object.h"
#include "framework/classes/Properties.h"
#include "framework/classes/Types.h"
#include "framework/core/Colors.h"
#include "framework/win32/Handles.h"

// A colour as GDI takes it: system colours resolved now, clNone/clDefault as black.
COLORREF ColorToRGB(TColor color);

// Font style bits, as a set.
constexpr uint32_t fsBold = 1;
constexpr uint32_t fsItalic = 2;
constexpr uint32_t fsUnderline = 4;
constexpr uint32_t fsStrikeOut = 8;

class TFont : public TPersistent {
public:
  BREVIN_CLASS_INFO()
  TFont();

  // Height in pixels: negative is the character height, positive the cell height.
  int Height() const { return height_; }
  void SetHeight(int height);
  // Points, at the font's PixelsPerInch.
  int Size() const;
  void SetSize(int points);
  // The display scale the height is meant for: the control's that holds the font. Changing it
  // keeps the height; a control changing scale changes both.
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int dpi) { pixelsPerInch_ = dpi > 0 ? dpi : 96; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  uint32_t Style() const { return style_; }
  void SetStyle(uint32_t style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Charset() const { return charset_; }
  void SetCharset(int charset);

  HFONT Handle() const;
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;
  // Runs before the GDI object goes, so that a DC can let go of it first.
  std::function<void()> OnChanging;

private:
  void Changed();

  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  int pixelsPerInch_ = 96;
  uint32_t style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  mutable UniqueFont handle_;
};

enum class TBrushStyle { bsSolid, bsClear };

class TBrush : public TPersistent {
public:
  BREVIN_CLASS_INFO()
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  HBRUSH Handle() const;
  void Assign(const TPersistent& source) override;
  TNotifyEvent OnChange;
  std::function<void()> OnChanging;

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  mutable UniqueBrush handle_;
};

class TPen : public TPersistent {
public:
  BREVIN_CLASS_INFO()
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  HPEN Handle() const;
  void Assign(const TPersistent& source) override;
  TNotifyEvent OnChange;
  std::function<void()> OnChanging;

private:
  TColor color_ = clBlack;
  int width_ = 1;
  mutable UniquePen handle_;
};

class TGraphic;

// A canvas draws on a device context it does not own (a paint DC, a memory DC of a bitmap).
// Lock/Unlock guard drawing that another thread may do at the same time; they nest.
class TCanvas : public TPersistent {
public:
  BREVIN_CLASS_INFO()
  TCanvas();
  ~TCanvas() override;

  HDC Handle() const { return dc_; }
  // Attaches a DC (nullptr detaches); the previous tools are put back into the old DC.
  void SetHandle(HDC dc);

  TFont* Font() const { return font_.get(); }
  TBrush* Brush() const { return brush_.get(); }
  TPen* Pen() const { return pen_.get(); }

  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void Rectangle(const TRect& rect);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to rect, drawn at (x, y).
  void TextRect(const TRect& rect, int x, int y, const std::string& text);
  // DrawTextW with the given DT_ flags; returns the height of the text.
  int DrawText(const std::string& text, TRect& rect, UINT flags);
  TPoint TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).X; }
  int TextHeight(const std::string& text) { return TextExtent(text).Y; }
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  void Lock();
  void Unlock();
  // Refuses when another thread holds the lock.
  [[nodiscard]] bool TryLock();

  // Selects font, pen and brush into the DC (done before every drawing call).
  void RequireTools();

private:
  void ToolChanged();

  HDC dc_ = nullptr;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TBrush> brush_;
  std::unique_ptr<TPen> pen_;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  bool toolsSelected_ = false;
  CRITICAL_SECTION lock_;
};

// Holds a canvas lock for a scope.
class TCanvasLock {
public:
  explicit TCanvasLock(TCanvas& canvas) : canvas_(canvas) { canvas_.Lock(); }
  ~TCanvasLock() { canvas_.Unlock(); }
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

private:
  TCanvas& canvas_;
};

// Lends a DC to a canvas for one painting, in the given font; the canvas lets it go on the way
// out, a failed painting included, so that it never keeps a DC that is released.
class TCanvasDC {
public:
  TCanvasDC(TCanvas& canvas, HDC dc, const TFont& font) : canvas_(canvas) {
    canvas_.SetHandle(dc);
    canvas_.Font()->Assign(font);
  }
  ~TCanvasDC() { canvas_.SetHandle(nullptr); }
  TCanvasDC(const TCanvasDC&) = delete;
  TCanvasDC& operator=(const TCanvasDC&) = delete;

private:
  TCanvas& canvas_;
};
