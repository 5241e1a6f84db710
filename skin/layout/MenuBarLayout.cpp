#include "skin/layout/MenuBarLayout.h"

#include "skin/model/SkinModel.h"

namespace {

char32_t LowerAscii(char32_t c) { return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c; }

// The code point starting at text[at]; a broken or cut-off sequence reads as its first byte.
char32_t CodePointAt(const std::string& text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (extra == 0 || at + extra >= text.size()) return lead;
  char32_t c = lead & (0x3Fu >> extra);
  for (size_t i = 1; i <= extra; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return lead;
    c = (c << 6) | (next & 0x3Fu);
  }
  return c;
}

}  // namespace

int MenuBarStart(const TDataSkinObject* barObject, int barWidth, bool rightToLeft, int dpi) {
  if (!barObject) return ScaleToDpi(6, dpi);
  const int start = rightToLeft ? barObject->RightWidth + ScaleToDpi(8, dpi)
                                : barObject->LeftWidth + ScaleToDpi(4, dpi);
  return barWidth < start ? ScaleToDpi(12, dpi) : start;
}

int MenuBarItemWidth(int textWidth, int dpi) {
  return textWidth > 0 ? textWidth + ScaleToDpi(kMenuBarItemPadding, dpi) : 0;
}

std::vector<TRect> MenuBarItemRects(const TRect& bar, int start, const std::vector<int>& widths, bool rightToLeft) {
  std::vector<TRect> rects;
  rects.reserve(widths.size());
  int x = rightToLeft ? bar.Right - start : bar.Left + start;
  for (int width : widths) {
    if (rightToLeft) x -= width;
    rects.push_back({x, bar.Top, x + width, bar.Bottom - 1});
    if (!rightToLeft) x += width;
  }
  return rects;
}

std::vector<bool> TidySeparators(const std::vector<TMenuEntryShape>& entries) {
  std::vector<bool> visible;
  visible.reserve(entries.size());
  size_t lastEntry = entries.size();
  for (size_t i = 0; i < entries.size(); ++i)
    if (!entries[i].Line && entries[i].Visible) lastEntry = i;
  // A separator is kept only when a visible entry came before it since the last kept separator.
  bool entrySinceLine = false;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].Line) {
      visible.push_back(entries[i].Visible);
      entrySinceLine = entrySinceLine || entries[i].Visible;
      continue;
    }
    const bool keep = entrySinceLine && lastEntry != entries.size() && i < lastEntry;
    visible.push_back(keep);
    if (keep) entrySinceLine = false;
  }
  return visible;
}

int NextBarItem(int current, int count) { return count > 0 ? (current + 1 + count) % count : -1; }

int PreviousBarItem(int current, int count) { return count > 0 ? ((current - 1) % count + count) % count : -1; }

char32_t CaptionAccelerator(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return LowerAscii(CodePointAt(caption, i + 1));
  }
  return 0;
}

int MenuBarItemForKey(const std::vector<std::string>& captions, char32_t key) {
  if (captions.empty()) return -1;
  if (key == 0) return 0;
  for (size_t i = 0; i < captions.size(); ++i)
    if (CaptionAccelerator(captions[i]) == LowerAscii(key)) return static_cast<int>(i);
  return -1;
}
