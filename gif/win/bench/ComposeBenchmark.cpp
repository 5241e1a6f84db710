// Composing an animation frame by frame against decoding its frames alone. A 120-frame, 240 x 180
// animation (a full opaque first frame, then a keyed 64 x 64 sprite moving over it with alternating
// disposal methods) is written by our encoder, read back, and then:
//   decode     every frame decoded from its coded data (fresh image each run)
//   compose    ComposeFrame 0..N-1 in order on a fresh image (decoding included, cache reused)
//   recompose  ComposeFrame 0..N-1 again on decoded frames (composition and drawing only)
//   full       ComposeFrame of every frame from scratch (no cache: the start-frame search and replay)
// Each is run 9 times; the median run is printed, per frame.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "gif/win/GIFCtrl.h"

namespace {

constexpr int kFrames = 120;
constexpr int kWidth = 240;
constexpr int kHeight = 180;
constexpr int kSprite = 64;
constexpr int kRuns = 9;

TDibImage Background() {
  TDibImage dib(kWidth, kHeight, 8);
  for (int i = 0; i < 256; ++i) dib.SetPaletteColor(i, {uint8_t(i), uint8_t(255 - i), uint8_t((i * 7) & 255)});
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) dib.Row(y)[x] = uint8_t(((x / 8) ^ (y / 8)) * 9 + x / 3);
  return dib;
}

TDibImage Sprite(int phase) {
  TDibImage dib(kSprite, kSprite, 8);
  dib.SetPaletteColor(0, {1, 2, 3});
  for (int i = 1; i < 256; ++i) dib.SetPaletteColor(i, {uint8_t(i), uint8_t(i / 2), uint8_t(255 - i)});
  const double r = kSprite / 2.0;
  for (int y = 0; y < kSprite; ++y) {
    for (int x = 0; x < kSprite; ++x) {
      const double d = std::hypot(x - r + 0.5, y - r + 0.5);
      dib.Row(y)[x] = d < r - 1 ? uint8_t(1 + (int(d * 4) + phase) % 255) : 0;
    }
  }
  return dib;
}

std::vector<uint8_t> MakeAnimation() {
  TGIFImage image;
  image.AddFrame(Background());
  image.Frame(0).Disposal = 1;
  image.Frame(0).DelayMs = 40;
  for (int i = 1; i < kFrames; ++i) {
    const int index = image.AddFrame(Sprite(i), RGBColor(1, 2, 3));
    TGIFFrame& frame = image.Frame(index);
    frame.Origin = {(i * 7) % (kWidth - kSprite), (i * 5) % (kHeight - kSprite)};
    frame.Disposal = i % 3 == 0 ? 1 : 2;
    frame.DelayMs = 40;
  }
  image.UpdateLogicalSize();
  TMemoryStream stream;
  image.SaveToStream(stream);
  return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

double MedianMs(const std::function<void()>& setUp, const std::function<void()>& work) {
  std::vector<double> runs;
  for (int r = 0; r < kRuns; ++r) {
    setUp();
    const auto start = std::chrono::steady_clock::now();
    work();
    runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

}  // namespace

int main() {
  const std::vector<uint8_t> gif = MakeAnimation();
  std::printf("animation: %d frames, %d x %d, %zu bytes\n", kFrames, kWidth, kHeight, gif.size());

  std::unique_ptr<TGIFImage> plain;
  const double decode = MedianMs(
      [&] {
        plain = std::make_unique<TGIFImage>();
        TReadOnlyMemoryStream stream(gif.data(), int64_t(gif.size()));
        plain->ReadStream(int64_t(gif.size()), stream, false);
      },
      [&] {
        for (int i = 0; i < plain->FrameCount(); ++i) plain->Frame(i).Decode();
      });

  // The decode must have produced the pictures, or the figure means nothing.
  if (plain->Frame(kFrames - 1).Bitmap().PixelIndex(kSprite / 2, kSprite / 2) == 0) {
    std::printf("decoding produced no picture\n");
    return 1;
  }

  std::unique_ptr<TGIFAnimator> animator;
  auto load = [&] {
    animator = std::make_unique<TGIFAnimator>(nullptr);
    TGIFGraphic graphic;
    TReadOnlyMemoryStream stream(gif.data(), int64_t(gif.size()));
    graphic.LoadFromStream(stream);
    animator->SetImage(graphic);
  };
  TColor transparent = clNone;
  auto composeAll = [&] {
    for (int i = 0; i < kFrames; ++i) animator->ComposeFrame(i, transparent);
  };
  const double compose = MedianMs(load, composeAll);
  const double recompose = MedianMs([&] { animator->ComposeFrame(0, transparent); }, composeAll);
  const double full = MedianMs([] {}, [&] {
    for (int i = kFrames - 1; i >= 0; --i) animator->ComposeFrame(i, transparent);
  });

  std::printf("decode      %8.3f ms per frame (median of %d runs)\n", decode / kFrames, kRuns);
  std::printf("compose     %8.3f ms per frame (decoding included, cache reused)\n", compose / kFrames);
  std::printf("recompose   %8.3f ms per frame (frames already decoded)\n", recompose / kFrames);
  std::printf("full        %8.3f ms per frame (every frame from scratch)\n", full / kFrames);
  return 0;
}
