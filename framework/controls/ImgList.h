#pragma once
// A list of equally sized images (16 x 16 by default) cut from one bitmap strip.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "framework/classes/Properties.h"
#include "framework/graphics/Graphic.h"

class TImageList : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TImageList(TComponent* owner);
  ~TImageList() override;

  int Width() const { return width_; }
  void SetWidth(int width);
  int Height() const { return height_; }
  void SetHeight(int height);
  int Count() const;
  // Adds the images of a strip (its width a multiple of Width); pixels of the mask colour
  // (clDefault: the strip's bottom-left pixel) are transparent. Returns the first new index.
  int AddMasked(TBitmap& strip, TColor maskColor = clDefault);
  // Layout data: a BMP strip (optionally preceded by a 32-bit byte count).
  void ReadBitmap(TStream& stream);
  void Clear();
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
  HIMAGELIST Handle() const { return handle_; }
  TNotifyEvent OnChange;

private:
  void Recreate();

  int width_ = 16;
  int height_ = 16;
  HIMAGELIST handle_ = nullptr;
};
