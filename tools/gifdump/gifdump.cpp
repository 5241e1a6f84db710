// gifdump: shows what the GIF codec reads from a file.
//   gifdump FILE                 metadata as JSON
//   gifdump --frames DIR FILE    each frame's decoded picture as DIR/frame-NNN.ppm (binary PPM)
//   gifdump --rewrite OUT FILE   reads FILE and writes it back to OUT
// Errors print the codec's message and exit with status 1.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "framework/core/Exception.h"
#include "gif/GIFImage.h"

namespace {

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20 || c >= 0x7F) {
      out += Format("\\u%04x", c);
    } else {
      out += char(c);
    }
  }
  return out + "\"";
}

std::string JsonColor(TColor c) {
  if (c == clNone) return "null";
  return Format("\"#%02x%02x%02x\"", RedOf(c), GreenOf(c), BlueOf(c));
}

void LoadFile(TGIFImage& image, const std::string& path) {
  TMemoryStream stream;
  stream.LoadFromFile(path);
  image.ReadStream(stream.Size(), stream, false);
}

void PrintJson(TGIFImage& image) {
  std::cout << "{\n  \"version\": " << (image.GifVersion == 1 ? "\"87a\"" : "\"89a\"") << ",\n";
  std::cout << "  \"screen\": [" << image.LogicalWidth() << ", " << image.LogicalHeight() << "],\n";
  std::cout << "  \"globalColors\": " << image.Data().GlobalTable.Count << ",\n";
  std::cout << "  \"background\": " << JsonColor(image.BackColor) << ",\n";
  std::cout << "  \"loop\": " << (image.HasLoop ? std::to_string(image.LoopCount) : "null") << ",\n";
  std::cout << "  \"comments\": [";
  for (size_t i = 0; i < image.CommentLines().size(); ++i)
    std::cout << (i ? ", " : "") << JsonString(image.CommentLines()[i]);
  std::cout << "],\n  \"frames\": [";
  for (int i = 0; i < image.FrameCount(); ++i) {
    TGIFFrame& f = image.Frame(i);
    const TGIFItem& item = f.Item();
    std::cout << (i ? "," : "") << "\n    {\"origin\": [" << f.Origin.X << ", " << f.Origin.Y << "], \"size\": ["
              << item.FrameSize.Width << ", " << item.FrameSize.Height << "], \"delayMs\": " << f.DelayMs
              << ", \"disposal\": " << int(f.Disposal) << ", \"transparent\": " << JsonColor(f.TransColor)
              << ", \"interlaced\": " << (f.IsInterlaced ? "true" : "false")
              << ", \"localColors\": " << (f.HasLocalTable ? std::to_string(item.ColorTable.Count) : "null")
              << ", \"codedBytes\": " << item.CodedData.size()
              << ", \"damaged\": " << (f.Damaged ? "true" : "false") << "}";
  }
  std::cout << "\n  ]\n}\n";
}

void WriteFrames(TGIFImage& image, const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  for (int i = 0; i < image.FrameCount(); ++i) {
    const TDibImage& dib = image.Frame(i).Bitmap();
    const std::filesystem::path path = dir / Format("frame-%03d.ppm", i);
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << dib.Width() << " " << dib.Height() << "\n255\n";
    std::string row(size_t(dib.Width()) * 3, '\0');
    for (int y = 0; y < dib.Height(); ++y) {
      for (int x = 0; x < dib.Width(); ++x) {
        const TRGB c = dib.PixelColor(x, y);
        row[size_t(x) * 3] = char(c.r);
        row[size_t(x) * 3 + 1] = char(c.g);
        row[size_t(x) * 3 + 2] = char(c.b);
      }
      out.write(row.data(), std::streamsize(row.size()));
    }
    if (!out) throw EFCreateError("Cannot write " + path.string());
  }
}

int Usage() {
  std::cerr << "usage: gifdump FILE | gifdump --frames DIR FILE | gifdump --rewrite OUT FILE\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    TGIFImage image;
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first.rfind("--", 0) != 0) {
      LoadFile(image, argv[1]);
      PrintJson(image);
    } else if (argc == 4 && first == "--frames") {
      LoadFile(image, argv[3]);
      WriteFrames(image, argv[2]);
    } else if (argc == 4 && first == "--rewrite") {
      LoadFile(image, argv[3]);
      TMemoryStream out;
      image.SaveToStream(out);
      out.SaveToFile(argv[2]);
    } else {
      return Usage();
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
