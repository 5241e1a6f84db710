#pragma once
// The picture family: graphics that load from and save to streams, draw stretched into a
// rectangle of a canvas, copy one another and tell listeners when they change.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Events.h"
#include "framework/classes/Object.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Graphics.h"
#include "framework/win32/Handles.h"

class TGraphic : public TPersistent {
public:
  BREVIN_CLASS_INFO()

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int) {}
  virtual void SetHeight(int) {}
  virtual HPALETTE Palette() const { return nullptr; }
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  // Draws the whole graphic stretched into rect.
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  // The one listener: the picture or control that holds the graphic.
  TNotifyEvent OnChange;

protected:
  void Changed();

private:
  bool transparent_ = false;
};

enum class TTransparentMode { tmAuto, tmFixed };

// A device-independent bitmap (32 bits per pixel unless Monochrome) with its own canvas.
class TBitmap : public TGraphic {
public:
  BREVIN_CLASS_INFO()
  TBitmap();
  ~TBitmap() override;

  bool Empty() const override { return !handle_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) override { SetSize(width, height_); }
  void SetHeight(int height) override { SetSize(width_, height); }
  // Keeps the overlapping part of the old picture.
  void SetSize(int width, int height);
  HPALETTE Palette() const override { return palette_.get(); }
  void SetPalette(HPALETTE palette);
  bool Monochrome() const { return monochrome_; }
  void SetMonochrome(bool monochrome);
  // clDefault stands for the colour of the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode) { transparentMode_ = mode; }

  HBITMAP Handle() const { return handle_.get(); }
  // Takes ownership of a bitmap handle (any format).
  void SetHandle(HBITMAP bitmap);
  // Pixels of row y (top-down) of a 32-bit bitmap: B, G, R, A bytes.
  uint8_t* ScanLine(int y);
  TCanvas* Canvas();
  // Lets go of the memory DC so that the handle can be selected elsewhere.
  void Dormant() { ReleaseCanvasDC(); }

  // .bmp files; the layout form of Glyph.Data may put a 32-bit byte count before the file.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  void ReadData(TStream& stream);
  void Draw(TCanvas& canvas, const TRect& rect) override;
  void Assign(const TPersistent& source) override;

private:
  void ReleaseCanvasDC();
  HDC MemoryDC();

  UniqueBitmap handle_;
  UniquePalette palette_;
  int width_ = 0;
  int height_ = 0;
  bool monochrome_ = false;
  uint8_t* bits_ = nullptr;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
  UniqueMemoryDC dc_;
  HGDIOBJ oldBitmap_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
};

class TIcon : public TGraphic {
public:
  BREVIN_CLASS_INFO()
  bool Empty() const override { return !handle_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  HICON Handle() const { return handle_.get(); }
  // Takes ownership.
  void SetHandle(HICON icon);
  // A .ico file: the image closest to 32 x 32 is used; the bytes are kept for saving.
  void LoadFromStream(TStream& stream) override;
  // A new icon of size x size pixels: from a loaded file the image of that size, or else the
  // smallest larger one scaled down, since a picture drawn for the size is sharper than one
  // stretched to it. Null when empty.
  UniqueIcon CreateSized(int size) const;
  void SaveToStream(TStream& stream) const override;
  void ReadData(TStream& stream) { LoadFromStream(stream); }
  // An icon resource of the running module (RT_GROUP_ICON name).
  void LoadFromResourceName(const std::string& name);
  void Draw(TCanvas& canvas, const TRect& rect) override;
  void Assign(const TPersistent& source) override;

private:
  UniqueIcon handle_;
  std::vector<uint8_t> data_;
  int width_ = 0;
  int height_ = 0;
};

// Holds one graphic of any registered kind.
class TPicture : public TPersistent {
public:
  BREVIN_CLASS_INFO()
  using Factory = std::function<std::unique_ptr<TGraphic>()>;

  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Copies the given graphic (nullptr empties the picture).
  void SetGraphic(TGraphic* graphic);
  // The graphic as a bitmap: replaces a graphic of another kind by an empty bitmap.
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // By extension (".bmp", ".ico", ".jpg", ...); raises EInvalidGraphic("Unknown picture file extension (.xyz)").
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;
  // Layout data: the kind is recognised from the first bytes of the graphic's own format.
  void ReadData(TStream& stream);
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

  // Picture kinds: by file extension (with a description for open dialogs) and by the first
  // bytes of their data.
  static void RegisterFileFormat(const std::string& extension, const std::string& description, Factory factory);
  static void RegisterSignature(const std::vector<uint8_t>& signature, Factory factory);
  static std::string FileFilter();
  // A named clipboard format for a picture kind; returns its format number.
  static UINT RegisterClipboardFormat(const std::string& name, Factory factory);
  static std::unique_ptr<TGraphic> CreateForClipboardFormat(UINT format);

private:
  void Take(std::unique_ptr<TGraphic> graphic);
  void GraphicChanged();

  std::unique_ptr<TGraphic> graphic_;
};

class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};
