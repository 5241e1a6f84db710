#include "skin/layout/SkinImageTurn.h"

#include <algorithm>

TSkinImage FlippedVertically(const TSkinImage& image) {
  TSkinImage turned(image.Width(), image.Height());
  for (int y = 0; y < image.Height(); ++y) {
    std::copy_n(image.Row(y), image.Width(), turned.Row(image.Height() - 1 - y));
  }
  return turned;
}

TSkinImage TurnedAnticlockwise(const TSkinImage& image) {
  TSkinImage turned(image.Height(), image.Width());
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) turned.SetPixel(y, image.Width() - 1 - x, image.Row(y)[x]);
  }
  return turned;
}

TSkinImage TurnedClockwise(const TSkinImage& image) {
  TSkinImage turned(image.Height(), image.Width());
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) turned.SetPixel(image.Height() - 1 - y, x, image.Row(y)[x]);
  }
  return turned;
}
