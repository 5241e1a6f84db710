#pragma once
// A list of equally sized images (16 x 16 by default) cut from one bitmap strip. Width and Height
// are at 96 DPI; at another scale the list draws from images made for that scale, resampled from
// the double-size strip where it has one (drawn for 200 %) and else from its own.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <vector>

#include "framework/classes/Properties.h"
#include "framework/core/DpiScale.h"
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
  // The same images drawn at twice Width x Height, in the same order; the list draws from them
  // above 100 % while they are as many as its own.
  void AddMasked2x(TBitmap& strip, TColor maskColor = clDefault);
  // Layout data: a BMP strip (optionally preceded by a 32-bit byte count).
  void ReadBitmap(TStream& stream);
  void ReadBitmap2x(TStream& stream);
  void Clear();
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true, int dpi = kDesignDpi) const;
  // The images at 96 DPI.
  HIMAGELIST Handle() const { return handle_; }
  // Width x Height at dpi.
  SIZE SizeForDpi(int dpi) const;
  // The images at SizeForDpi(dpi), made once per scale and kept while the images stay.
  HIMAGELIST HandleForDpi(int dpi) const;
  TNotifyEvent OnChange;

private:
  // One strip as added, and its see-through colour.
  struct TStrip {
    std::unique_ptr<TBitmap> Bitmap;
    COLORREF Key = 0;
  };
  struct TScaledList;
  void Recreate();
  void Changed();
  static TStrip StripOf(const TBitmap& strip, TColor key);
  bool HasDouble() const;
  // Adds the images at SizeForDpi(dpi) to list.
  void Fill(HIMAGELIST list, int dpi) const;

  int width_ = 16;
  int height_ = 16;
  HIMAGELIST handle_ = nullptr;
  std::vector<TStrip> strips_;
  std::vector<TStrip> doubles_;
  mutable std::map<int, std::unique_ptr<TScaledList>> scaled_;
};
