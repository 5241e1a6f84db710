#pragma once
// TGIFGraphic: the GIF picture as a member of the framework's graphic family. It holds the portable
// TGIFImage (frames kept coded until first drawn) and gives each decoded frame a device bitmap for
// drawing. Layouts know it as "TGIFImage"; the picture registry knows the extension "gif"
// ("CompuServe GIF Image"), and the clipboard carries it as "GIF Image" (a 32-bit byte count and
// the GIF file, in one movable global block).
#include <windows.h>

#include <memory>
#include <vector>

#include "framework/classes/Properties.h"
#include "framework/core/Exception.h"
#include "framework/graphics/Graphic.h"
#include "gif/GIFImage.h"

class TGIFGraphic : public TGraphic {
public:
  BREVIN_CLASS_INFO()
  TGIFGraphic();
  ~TGIFGraphic() override;

  TGIFImage& Image() { return image_; }
  const TGIFImage& Image() const { return image_; }
  int FrameCount() const { return image_.FrameCount(); }
  TGIFFrame& Frame(int index) { return image_.Frame(index); }

  bool Empty() const override { return image_.Empty(); }
  // The current frame's size, decoding it when needed; 0 when empty.
  int Width() const override;
  int Height() const override;
  // A GIF's size is that of its frames: both raise "Cannot change the Size of a GIF image".
  void SetWidth(int) override;
  void SetHeight(int) override;
  // Frames become device bitmaps of the screen's own format, which carry no palette.
  HPALETTE Palette() const override { return nullptr; }
  // The transparent flag is on and at least one frame has a transparent colour.
  bool Transparent() const override;
  void SetTransparent(bool transparent) override;

  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  // Layout form: a 32-bit little-endian byte count, then the GIF.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream) const;

  // The current frame stretched into rect: with its transparent colour when the flag is on.
  void Draw(TCanvas& canvas, const TRect& rect) override;
  void DrawFrame(int index, TCanvas& canvas, const TRect& rect, bool transparent);
  // The frame's picture as a device bitmap, decoding the frame first; kept until the frame's picture
  // or the image changes.
  TBitmap& FrameBitmap(int index);

  void Assign(const TPersistent& source) override;
  // Gives another graphic this picture: a GIF shares it, a bitmap receives the current frame with its
  // transparent colour, an empty image clears a bitmap.
  void AssignTo(TPersistent& target);
  // A one-frame picture of the frame, sharing its coded data; the header data comes from its image.
  void AssignFrame(const TGIFFrame& frame) { image_.Assign(frame); }
  // Appends a frame holding the graphic's picture and makes it current; returns its index.
  int AddFrame(const TGraphic& graphic);
  void UpdateLogicalSize() { image_.UpdateLogicalSize(); }

  void SaveToClipboard();
  void LoadFromClipboard();
  static UINT ClipboardFormat();

private:
  struct CachedFrame {
    const TGIFFrame* frame = nullptr;
    const uint8_t* pixels = nullptr;
    std::unique_ptr<TBitmap> bitmap;
  };

  int CurrentIndex() const;
  void ImageChanged();

  mutable TGIFImage image_;
  std::vector<CachedFrame> bitmaps_;
};

// The picture of any graphic as a 32-bit device-independent image; `transparent` receives the
// graphic's transparent colour (clNone when it has none). Graphics that are not bitmaps are drawn on
// magenta, which then stands for their transparent parts.
TDibImage GraphicToDib(const TGraphic& graphic, TColor& transparent);

// Registers the GIF with the picture registry, the clipboard and the layout classes (once).
void RegisterGIFGraphic();
