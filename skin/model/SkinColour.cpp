#include "skin/model/SkinColour.h"

#include <algorithm>
#include <array>
#include <cmath>

TColor ParseSkinColour(const std::string& text, TColor defaultColour) {
  if (text.empty()) return defaultColour;
  std::array<int, 3> channel{};
  size_t count = 0;
  bool inNumber = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      if (!inNumber && count == channel.size()) break;
      if (!inNumber) ++count;
      inNumber = true;
      int& value = channel[count - 1];
      value = std::min(value * 10 + (c - '0'), 255);
    } else {
      // A run of separators ends one number, so "30, 52, 41" reads like "30 52 41".
      inNumber = false;
    }
  }
  return RGBColor(static_cast<uint8_t>(channel[0]), static_cast<uint8_t>(channel[1]),
                  static_cast<uint8_t>(channel[2]));
}

TColor ClassicSystemColour(TColor colour) {
  if (!IsSystemColor(colour)) return colour;
  // The Windows 2000 standard scheme.
  static constexpr TColor kClassic[] = {
      RGBColor(212, 208, 200), RGBColor(58, 110, 165),  RGBColor(10, 36, 106),   RGBColor(128, 128, 128),
      RGBColor(212, 208, 200), RGBColor(255, 255, 255), RGBColor(0, 0, 0),       RGBColor(0, 0, 0),
      RGBColor(0, 0, 0),       RGBColor(255, 255, 255), RGBColor(212, 208, 200), RGBColor(212, 208, 200),
      RGBColor(128, 128, 128), RGBColor(10, 36, 106),   RGBColor(255, 255, 255), RGBColor(212, 208, 200),
      RGBColor(128, 128, 128), RGBColor(128, 128, 128), RGBColor(0, 0, 0),       RGBColor(212, 208, 200),
      RGBColor(255, 255, 255), RGBColor(64, 64, 64),    RGBColor(212, 208, 200), RGBColor(0, 0, 0),
      RGBColor(255, 255, 225)};
  const int index = SystemColorIndex(colour);
  return index < static_cast<int>(std::size(kClassic)) ? kClassic[index] : clBlack;
}

TColor SkinBlend(TColor c1, TColor c2, int weight) {
  const int base = weight < 100 ? 100 : 1000;
  const int w = std::clamp(weight, 0, base);
  const auto mix = [&](uint8_t a, uint8_t b) {
    return static_cast<uint8_t>((b * (base - w) + a * w + base / 2) / base);
  };
  return RGBColor(mix(RedOf(c1), RedOf(c2)), mix(GreenOf(c1), GreenOf(c2)), mix(BlueOf(c1), BlueOf(c2)));
}

int SkinColourMeasure(TColor colour) {
  const int r = RedOf(colour);
  const int g = GreenOf(colour);
  const int b = BlueOf(colour);
  const int high = std::max({r, g, b});
  const int low = std::min({r, g, b});
  if (high <= 159) return 200;
  return static_cast<int>(std::lround(255.0 * (high - low) / high));
}

TGradientEnds ToolbarGradientEnds(TColor buttonFace, TColor skinColour) {
  TGradientEnds ends;
  ends.Top = SkinBlend(buttonFace, clWhite, 150);
  const int measure = SkinColourMeasure(skinColour);
  ends.Bottom = measure > 110 ? SkinBlend(skinColour, clWhite, (5625 - 25 * measure) / 140 + 50)
                              : SkinBlend(clGray, skinColour, 150);
  return ends;
}
