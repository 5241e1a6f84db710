// Write round trips. First byte even: the rest is read as a GIF, written with its length and read
// again; screen colours, frames, tables, coded data and decoded pixels must survive. First byte
// odd: the rest describes a picture (size, depth, palette, pixels) that is encoded, written, read
// and decoded; the pixels must come back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "framework/core/Exception.h"
#include "gif/GIFImage.h"

namespace {

void Fail(int line) {
  std::fprintf(stderr, "round trip check failed at line %d\n", line);
  __builtin_trap();
}
#define Check(ok) ((ok) ? void(0) : Fail(__LINE__))

void Reread(TGIFImage& image, TGIFImage& again) {
  TMemoryStream out;
  image.WriteStream(out, true);
  out.SetPosition(0);
  uint8_t count[4];
  out.ReadBuffer(count, 4);
  Check(int64_t(count[0] | count[1] << 8 | count[2] << 16 | uint32_t(count[3]) << 24) == out.Size() - 4);
  again.ReadStream(out.Size() - 4, out, false);
}

void RoundTripFile(const uint8_t* data, size_t size) {
  TGIFImage image;
  try {
    TReadOnlyMemoryStream in(data, int64_t(size));
    image.ReadStream(in.Size(), in, false);
  } catch (const Exception&) {
    return;
  }
  if (image.FrameCount() == 0) return;
  for (auto& f : image.FrameList)
    if (f->Item().FrameSize.Width == 0 || f->Item().FrameSize.Height == 0 || !f->HasCodedData())
      return;  // a frame cut before its data cannot be written ("No GIF Data to write")

  TGIFImage again;
  Reread(image, again);
  Check(again.FrameCount() == image.FrameCount());
  Check(again.CommentLines() == image.CommentLines());
  if (image.BackColor != clNone) Check(again.BackColor == image.BackColor);
  for (int i = 0; i < image.FrameCount(); ++i) {
    TGIFFrame& a = image.Frame(i);
    TGIFFrame& b = again.Frame(i);
    Check(a.Origin.X == b.Origin.X && a.Origin.Y == b.Origin.Y);
    Check(a.IsInterlaced == b.IsInterlaced && a.HasLocalTable == b.HasLocalTable);
    Check(a.TransColor == b.TransColor && a.Disposal == b.Disposal);
    Check(a.Item().ColorTable.Count == b.Item().ColorTable.Count);
    Check(std::memcmp(a.Item().ColorTable.Colors, b.Item().ColorTable.Colors, 3 * a.Item().ColorTable.Count) == 0);
    std::vector<uint8_t> coded = a.Item().CodedData;
    if (a.Damaged) {
      coded.push_back(0);
      continue;  // decoding a truncated frame accepts running out, its rewrite does not
    }
    Check(coded == b.Item().CodedData);
    const TDibImage* da = nullptr;
    const TDibImage* db = nullptr;
    try {
      da = &a.Bitmap();
    } catch (const Exception&) {
    }
    try {
      db = &b.Bitmap();
    } catch (const Exception&) {
    }
    Check((da == nullptr) == (db == nullptr));
    if (da) Check(*da == *db);
  }
}

void RoundTripPicture(const uint8_t* data, size_t size) {
  if (size < 4) return;
  static const int kDepths[] = {1, 4, 8, 24};
  const int width = 1 + data[0] % 64;
  const int height = 1 + data[1] % 64;
  const int depth = kDepths[data[2] % 4];
  const bool gray = data[3] & 1;
  data += 4;
  size -= 4;
  TDibImage dib(width, height, depth);
  size_t k = 0;
  auto next = [&]() -> uint8_t { return size ? data[k++ % size] : 0; };
  for (int i = 0; i < dib.PaletteCount(); ++i) dib.SetPaletteColor(i, {next(), next(), next()});
  for (int y = 0; y < height; ++y)
    for (size_t x = 0; x < size_t(width) * size_t(depth) / 8 + (depth == 1 || depth == 4 ? 1 : 0) && x < dib.RowStride(); ++x)
      dib.Row(y)[x] = next();

  TGIFImage image;
  image.AddFrame(dib);
  image.Frame(0).GrayOnly = gray;
  TGIFImage again;
  Reread(image, again);
  Check(again.FrameCount() == 1);
  const TDibImage& out = again.Frame(0).Bitmap();
  Check(out.Width() == width && out.Height() == height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (depth <= 8) Check(out.PixelIndex(x, y) == dib.PixelIndex(x, y));
      if (depth <= 8) Check(out.PixelColor(x, y) == dib.PixelColor(x, y));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  GIFMaxFramePixels = 1 << 22;
  if (size == 0) return 0;
  if (data[0] % 2 == 0) RoundTripFile(data + 1, size - 1);
  else RoundTripPicture(data + 1, size - 1);
  return 0;
}
