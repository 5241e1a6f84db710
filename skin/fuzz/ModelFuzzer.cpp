// Input: a skin description. It is read into the description model with a fixed set of images
// (wide, tall, one pixel, magenta-keyed, damaged, and the input itself as a would-be BMP), then
// every object is sliced into targets of several sizes and drawn, and the drawn pictures are cut
// into region runs. Slices must stay inside their frames, runs inside their pictures and margins
// within the largest picture.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "skin/layout/MenuBarLayout.h"
#include "skin/model/SkinModel.h"
#include "skin/tests/SkinBytes.h"

namespace {

const std::map<std::string, std::vector<uint8_t>>& Images() {
  static const std::map<std::string, std::vector<uint8_t>> images = {
      {"a.bmp", skin_test::Bmp24(60, 20, [](int x, int y) { return uint32_t(x * 4 + y * 1024); })},
      {"b.bmp", skin_test::Bmp24(1, 1)},
      {"c.bmp", skin_test::Bmp24(13, 300, [](int x, int y) { return (x + y) % 3 ? 0xFF00FFu : 0x336699u; })},
      {"d.bmp", skin_test::Bmp24(120, 9, [](int x, int) { return x % 7 ? 0x102030u : 0xFF00FFu; })},
      {"e.bmp", skin_test::Bytes("BM damaged")},
  };
  return images;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void Slice(const TDataSkinObject& object, TFrameLayout layout) {
  const TSkinImage& image = object.Image;
  for (int frame = 0; frame <= 3; ++frame) {
    const TRect rect = object.FrameRect(frame, layout);
    Check(rect.Empty() || image.Clip(rect) == rect);
    for (const TRect target : {TRect{0, 0, 1, 1}, TRect{3, 2, 40, 30}, TRect{0, 0, 7, 60}}) {
      for (const TSlicePiece& piece : NineSlicePieces(rect, object.Margins(), target, object.TileMiddle())) {
        Check(image.Clip(piece.Source) == piece.Source && !piece.Dest.Empty());
      }
      // Drawing costs far more than slicing: one frame is enough to reach every drawing path.
      if (frame != 1) continue;
      TSkinImage drawn(target.Right, target.Bottom, kSkinMagenta);
      DrawNineSlice(image, rect, object.Margins(), object.TileMiddle(), drawn, target, object.Trans == 1);
      for (const TRect& run : OpaqueRuns(drawn)) Check(drawn.Clip(run) == run);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream text(std::vector<uint8_t>(data, data + size));
  TQuickIni ini;
  ini.LoadFromStream(&text);
  const std::vector<uint8_t> input(data, data + size);

  TSkinEnvironment environment;
  environment.ScrollArrowWidth = size > 0 ? data[0] % 64 - 8 : 17;
  environment.TrackImage = TSkinImage(12, 6, 0x445566);
  TSkinModel model;
  model.Load(ini,
             [&input](const std::string& name, TMemoryStream& dest) {
               dest.Clear();
               const auto found = Images().find(name);
               const std::vector<uint8_t>& bytes = name == "in.bmp" ? input : found != Images().end() ? found->second
                                                                                                   : std::vector<uint8_t>();
               dest.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
               dest.SetPosition(0);
             },
             environment);

  for (const auto& object : model.Objects()) {
    // The painters add to margins: none may be wider than the largest picture.
    const TSkinMargins m = object->Margins();
    Check(m.Left <= TSkinImage::kMaxSide && m.Top <= TSkinImage::kMaxSide && m.Right <= TSkinImage::kMaxSide &&
          m.Bottom <= TSkinImage::kMaxSide);
    const bool stacked = object->Name == "Top" || object->Name == "Bottom";
    Slice(*object, stacked ? TFrameLayout::Stacked : TFrameLayout::SideBySide);
  }
  for (const auto& button : model.CaptionButtons()) Slice(*button, TFrameLayout::SideBySide);
  for (int i = -2; i < 8; ++i) (void)model.TableColour(i);
  (void)MenuBarStart(model.Find("menuBar"), 300, true);
  // The same description at 150 %, its pictures resampled, sliced as the painters do. Resampling
  // costs ten times all the rest: one input in four (by its length) is scaled, so the fuzzer keeps
  // its pace on the reader.
  if (size % 4 == 0) {
    const TSkinModel scaled = model.Scaled(144);
    for (const auto& object : scaled.Objects()) Slice(*object, TFrameLayout::SideBySide);
  }
  return 0;
}
