#include "framework/graphics/JPEGImage.h"

#include <cstring>

#include "framework/jpeg/JpegDecoder.h"

const TClassInfo& TJPEGImage::StaticClassInfo() {
  static const TClassInfo info("TJPEGImage", &TGraphic::StaticClassInfo());
  return info;
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::LoadFromStream(TStream& stream) {
  std::vector<uint8_t> data(static_cast<size_t>(stream.Remaining()));
  if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  const JpegPixels pixels = DecodeJpeg(data.data(), data.size());
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(pixels.Width, pixels.Height);
  for (int y = 0; y < pixels.Height; ++y) {
    const uint8_t* from = pixels.Row(y);
    uint8_t* to = bitmap->ScanLine(y);
    for (int x = 0; x < pixels.Width; ++x) {
      to[x * 4 + 0] = from[x * 3 + 0];
      to[x * 4 + 1] = from[x * 3 + 1];
      to[x * 4 + 2] = from[x * 3 + 2];
      to[x * 4 + 3] = 0xFF;
    }
  }
  data_ = std::move(data);
  bitmap_ = std::move(bitmap);
  Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) const {
  if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
  if (bitmap_) bitmap_->Draw(canvas, rect);
}

void TJPEGImage::Assign(const TPersistent& source) {
  const TJPEGImage* j = dynamic_cast<const TJPEGImage*>(&source);
  if (!j) return TGraphic::Assign(source);
  if (j == this) return;
  data_ = j->data_;
  if (j->bitmap_) {
    bitmap_ = std::make_unique<TBitmap>();
    bitmap_->Assign(*j->bitmap_);
  } else {
    bitmap_.reset();
  }
  Changed();
}

void RegisterJpegPictureFormat() {
  auto factory = [] { return std::unique_ptr<TGraphic>(new TJPEGImage); };
  TPicture::RegisterFileFormat("jpg", "JPEG Image File", factory);
  TPicture::RegisterFileFormat("jpeg", "JPEG Image File", factory);
  TPicture::RegisterSignature({0xFF, 0xD8, 0xFF}, factory);
}
