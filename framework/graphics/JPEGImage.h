#pragma once
// A JPEG picture: keeps the file's bytes (saved back unchanged) and draws from the decoded bitmap.
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/graphics/Graphic.h"

class TJPEGImage : public TGraphic {
public:
  BREVIN_CLASS_INFO()
  TJPEGImage();
  ~TJPEGImage() override;

  bool Empty() const override { return !bitmap_; }
  int Width() const override { return bitmap_ ? bitmap_->Width() : 0; }
  int Height() const override { return bitmap_ ? bitmap_->Height() : 0; }
  // Decodes at once, so that damaged data is reported where it is loaded.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  void Assign(const TPersistent& source) override;
  // The decoded picture.
  TBitmap* Bitmap() const { return bitmap_.get(); }

private:
  std::vector<uint8_t> data_;
  std::unique_ptr<TBitmap> bitmap_;
};

// Makes ".jpg"/".jpeg" files and JPEG layout data known to TPicture.
void RegisterJpegPictureFormat();
