#include "tools/skntool/ModelJson.h"

#include <cstdio>

#include "framework/classes/Properties.h"

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
size_t Utf8Length(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  const size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 && lead >= 0xC2 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                        : (lead & 0xF8) == 0xF0 && lead <= 0xF4                  ? 4
                                                                                 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  return length;
}

// Skin texts are whatever bytes the description holds; what is not UTF-8 shows as U+FFFD.
std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t length = Utf8Length(text, i);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (length == 0) {
      out += "\\ufffd";
      ++i;
      continue;
    } else {
      out.append(text, i, length);
      i += length;
      continue;
    }
    ++i;
  }
  return out + "\"";
}

std::string Colour(TColor colour) {
  if (IsSystemColor(colour) || colour == clNone) return Quote(ColorToText(colour));
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", RedOf(colour), GreenOf(colour), BlueOf(colour));
  return Quote(text);
}

std::string Size(const TSkinImage& image) {
  if (image.Empty()) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "[%d, %d]", image.Width(), image.Height());
  return text;
}

std::string Object(const TDataSkinObject& o) {
  const auto* border = dynamic_cast<const TDataSkinBorder*>(&o);
  const bool piece = o.Name == "Left" || o.Name == "Right" || o.Name == "Top" || o.Name == "Bottom";
  const int tile = piece ? (border->Stretch == 0 ? 1 : 0) : o.Tile;
  std::string out = "{\"image\": " + Size(o.Image) + ", \"frames\": " + std::to_string(o.FrameCount) +
                    ", \"margins\": [" + std::to_string(o.LeftWidth) + ", " + std::to_string(o.TopHeight) + ", " +
                    std::to_string(o.RightWidth) + ", " + std::to_string(o.BottomHeight) +
                    "], \"trans\": " + std::to_string(o.Trans) + ", \"tile\": " + std::to_string(tile) +
                    ", \"style\": " + std::to_string(o.Style);
  if (border && !piece) out += ", \"image2\": " + Size(border->Image2);
  if (const auto* buttons = dynamic_cast<const TDataSkinButton*>(&o)) {
    out += ", \"check\": {\"image\": " + Size(buttons->CheckImage) + ", \"frames\": " +
           std::to_string(buttons->CheckFrame) + "}, \"radio\": {\"image\": " + Size(buttons->RadioImage) +
           ", \"frames\": " + std::to_string(buttons->RadioFrame) + "}";
  }
  return out + "}";
}

std::string Button(const TDataSkinSysButton& b) {
  return "{\"name\": " + Quote(b.Name) + ", \"action\": " + std::to_string(b.Action) +
         ", \"align\": " + std::to_string(b.Align) + ", \"x\": " + std::to_string(b.X) +
         ", \"y\": " + std::to_string(b.Y) + ", \"visibility\": " + std::to_string(b.Visibility) +
         ", \"visibility1\": " + std::to_string(b.Visibility1) + ", \"frames\": " + std::to_string(b.FrameCount) +
         ", \"image\": " + Size(b.Image) + "}";
}

template <typename List, typename Item>
std::string Join(const List& list, Item item, const char* separator) {
  std::string out;
  for (const auto& element : list) {
    if (!out.empty()) out += separator;
    out += item(element);
  }
  return out;
}

}  // namespace

std::string SkinModelJson(const TSkinModel& model) {
  std::string out = "{\"name\": " + Quote(model.SkinName()) + ",\n \"objects\": {\n  ";
  out += Join(model.Objects(), [](const auto& o) { return Quote(o->Name) + ": " + Object(*o); }, ",\n  ");
  out += "},\n \"buttons\": [\n  ";
  out += Join(model.CaptionButtons(), [](const auto& b) { return Button(*b); }, ",\n  ");
  out += "],\n \"colours\": {";
  std::string colours;
  for (size_t i = 0; i < kSkinColourNames.size(); ++i) {
    if (i) colours += ", ";
    colours += Quote(kSkinColourNames[i]) + ": " + Colour(model.NamedColours()[i]);
  }
  out += colours + "},\n \"table\": [" + Join(model.ColourTable(), Colour, ", ") + "],\n \"custom\": [" +
         Join(model.CustomColours(), Colour, ", ") + "]}\n";
  return out;
}
