#include "gif/ColorReduce.h"

#include <vector>

#include "framework/core/Exception.h"

// Histogram method: every pixel's colour, each channel ANDed with a mask (all start at FFh), is
// counted in a table of at most 2049 colours found through a 5191-slot open-addressing hash. A
// 2050th colour restarts the count with one more low bit cleared from one mask, the masks taking
// turns blue, red, green. The palette is the 256 most frequent masked colours (earliest counted
// wins a tie), padded with (128, 128, 128); every other colour maps to the nearest palette entry by
// squared distance (first of equals wins).

namespace {

constexpr int kHashSlots = 5191;
constexpr int kMaxColors = 2049;

struct Counted {
  TRGB color;
  uint32_t count = 0;
  int index = -1;
};

TRGB SourcePixel(const uint8_t* row, int x, int bytesPerPixel) {
  const uint8_t* p = row + size_t(x) * size_t(bytesPerPixel);
  return {p[2], p[1], p[0]};
}

class Histogram {
public:
  // Returns false when a colour beyond kMaxColors turned up.
  bool Count(const TDibImage& src, TRGB mask) {
    mask_ = mask;
    slots_.assign(kHashSlots, -1);
    colors_.clear();
    const int bpp = src.BitsPerPixel() / 8;
    for (int y = 0; y < src.Height(); ++y) {
      const uint8_t* row = src.Row(y);
      for (int x = 0; x < src.Width(); ++x) {
        const int slot = Find(SourcePixel(row, x, bpp), true);
        if (slot < 0) return false;
        ++colors_[size_t(slots_[size_t(slot)])].count;
      }
    }
    return true;
  }

  // Slot of a colour (masked here); adds it when asked. -1 when the table is full.
  int Find(TRGB c, bool add) {
    c = {uint8_t(c.r & mask_.r), uint8_t(c.g & mask_.g), uint8_t(c.b & mask_.b)};
    const uint32_t r = c.r, g = c.g, b = c.b;
    uint32_t slot = ((r + g) * (b + g) * (r + b)) % kHashSlots;
    while (slots_[slot] >= 0) {
      if (colors_[size_t(slots_[slot])].color == c) return int(slot);
      slot = slot + 1 == kHashSlots ? 0 : slot + 1;
    }
    if (!add) return -1;
    if (int(colors_.size()) >= kMaxColors) return -1;
    slots_[slot] = int(colors_.size());
    colors_.push_back({c, 0, -1});
    return int(slot);
  }

  std::vector<Counted>& Colors() { return colors_; }
  int IndexAt(int slot) const { return colors_[size_t(slots_[size_t(slot)])].index; }

private:
  TRGB mask_;
  std::vector<int> slots_;
  std::vector<Counted> colors_;
};

int Distance(TRGB a, TRGB b) {
  const int dr = int(a.r) - b.r;
  const int dg = int(a.g) - b.g;
  const int db = int(a.b) - b.b;
  return dr * dr + dg * dg + db * db;
}

TDibImage Histogram8(const TDibImage& src, std::optional<TRGB> keep) {
  Histogram hist;
  TRGB mask{0xFF, 0xFF, 0xFF};
  int turn = 0;
  while (!hist.Count(src, mask)) {
    uint8_t& channel = turn == 0 ? mask.b : turn == 1 ? mask.r : mask.g;
    channel = uint8_t(channel << 1);
    turn = (turn + 1) % 3;
  }
  std::vector<Counted>& colors = hist.Colors();
  TDibImage out(src.Width(), src.Height(), 8);
  std::vector<TRGB> palette;
  const size_t room = keep ? 255 : 256;
  while (palette.size() < room) {
    int best = -1;
    for (size_t i = 0; i < colors.size(); ++i)
      if (colors[i].index < 0 && (best < 0 || colors[i].count > colors[size_t(best)].count)) best = int(i);
    if (best < 0) break;
    colors[size_t(best)].index = int(palette.size());
    out.SetPaletteColor(int(palette.size()), colors[size_t(best)].color);
    palette.push_back(colors[size_t(best)].color);
  }
  for (Counted& c : colors) {
    if (c.index >= 0) continue;
    int best = 0;
    int bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
      const int d = Distance(c.color, palette[i]);
      if (bestDistance < 0 || d < bestDistance) {
        bestDistance = d;
        best = int(i);
      }
    }
    c.index = best;
  }
  const int keptIndex = int(palette.size());
  if (keep) out.SetPaletteColor(keptIndex, *keep);
  const int bpp = src.BitsPerPixel() / 8;
  for (int y = 0; y < src.Height(); ++y) {
    const uint8_t* row = src.Row(y);
    uint8_t* dst = out.Row(y);
    for (int x = 0; x < src.Width(); ++x) {
      const TRGB pixel = SourcePixel(row, x, bpp);
      dst[x] = uint8_t(keep && pixel == *keep ? keptIndex : hist.IndexAt(hist.Find(pixel, false)));
    }
  }
  return out;
}

uint8_t GrayLevel(TRGB c) { return uint8_t((77 * c.r + 150 * c.g + 29 * c.b) / 256); }

TDibImage Gray8(const TDibImage& src, std::optional<TRGB> keep) {
  TDibImage out(src.Width(), src.Height(), 8);
  for (int i = 0; i < 256; ++i) out.SetPaletteColor(i, {uint8_t(i), uint8_t(i), uint8_t(i)});
  // The kept colour takes the place of its own grey level; other pixels of that level move one up
  // or down.
  const int keptIndex = keep ? GrayLevel(*keep) : -1;
  const uint8_t neighbour = uint8_t(keptIndex == 255 ? 254 : keptIndex + 1);
  if (keep) out.SetPaletteColor(keptIndex, *keep);
  const int bpp = src.BitsPerPixel() / 8;
  for (int y = 0; y < src.Height(); ++y) {
    const uint8_t* row = src.Row(y);
    uint8_t* dst = out.Row(y);
    for (int x = 0; x < src.Width(); ++x) {
      const TRGB c = SourcePixel(row, x, bpp);
      const uint8_t level = GrayLevel(c);
      dst[x] = level != keptIndex || (keep && c == *keep) ? level : neighbour;
    }
  }
  return out;
}

}  // namespace

TDibImage ColorReduce(const TDibImage& source, int method, std::optional<TRGB> keep) {
  if (source.BitsPerPixel() != 24 && source.BitsPerPixel() != 32)
    throw EInvalidGraphicOperation("GIF image encoding error");
  return method == rmGrayLevels ? Gray8(source, keep) : Histogram8(source, keep);
}
