#pragma once
// Lengths of a skin at a display scale. A skin is drawn for 96 dpi; at another a length is scaled
// and rounded to the nearest pixel, halves away from zero, as the system's own metrics are.
inline constexpr int kSkinDesignDpi = 96;

constexpr int ScaleSkinLength(int value, int dpi) {
  const long long scaled = static_cast<long long>(value) * dpi;
  const long long half = kSkinDesignDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kSkinDesignDpi : -((-scaled + half) / kSkinDesignDpi));
}
