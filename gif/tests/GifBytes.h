#pragma once
// Builds GIF byte streams for the tests, independently of the codec's writer. Coded data is made
// of literal codes only, with a clear code often enough that the code width never grows, so the
// expected pixels are known without a second LZW encoder.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/core/Stream.h"
#include "gif/GIFImage.h"

class GifBytes {
public:
  GifBytes& Raw(std::initializer_list<int> bytes) {
    for (int b : bytes) out.push_back(uint8_t(b));
    return *this;
  }
  GifBytes& Text(const std::string& s) {
    out.insert(out.end(), s.begin(), s.end());
    return *this;
  }
  GifBytes& Word(int v) { return Raw({v & 0xFF, (v >> 8) & 0xFF}); }

  // Header and logical screen; a global table of 2^bits entries (bits 0: none), entry i = (i, 2i, 3i).
  GifBytes& Header(int width, int height, int bits, int background = 0, const std::string& version = "GIF89a") {
    Text(version).Word(width).Word(height);
    Raw({bits ? 0x80 | (bits - 1) << 4 | (bits - 1) : 0, background, 0});
    for (int i = 0; i < (bits ? 1 << bits : 0); ++i) Raw({i & 0xFF, (2 * i) & 0xFF, (3 * i) & 0xFF});
    return *this;
  }

  GifBytes& Control(int packed, int delay, int index) {
    return Raw({0x21, 0xF9, 4, packed}).Word(delay).Raw({index, 0});
  }

  GifBytes& Comment(const std::vector<std::string>& lines) {
    Raw({0x21, 0xFE});
    for (const std::string& s : lines) Raw({int(s.size())}).Text(s);
    return Raw({0});
  }

  GifBytes& Loop(const std::string& id, int count) {
    return Raw({0x21, 0xFF, 11}).Text(id).Raw({3, 1}).Word(count).Raw({0});
  }

  // Image descriptor (no local table unless localBits > 0) and literal-coded pixels, given in the
  // order they are stored in the file.
  GifBytes& Image(int left, int top, int width, int height, const std::vector<int>& pixels, int codeSize,
                  int localBits = 0, bool interlaced = false) {
    Raw({0x2C}).Word(left).Word(top).Word(width).Word(height);
    Raw({(localBits ? 0x80 | (localBits - 1) : 0) | (interlaced ? 0x40 : 0)});
    for (int i = 0; i < (localBits ? 1 << localBits : 0); ++i) Raw({255 - i, i, 7});
    return Coded(codeSize, LiteralCodes(pixels, codeSize, true), blockSize);
  }

  // The codes of a literal-only stream: clear, pixels (a clear before the width would grow), end.
  static std::vector<int> LiteralCodes(const std::vector<int>& pixels, int codeSize, bool withEnd) {
    const int clear = 1 << codeSize;
    std::vector<int> codes{clear};
    int sinceClear = 0;
    for (int p : pixels) {
      if (sinceClear == clear - 2) {
        codes.push_back(clear);
        sinceClear = 0;
      }
      codes.push_back(p);
      ++sinceClear;
    }
    if (withEnd) codes.push_back(clear + 1);
    return codes;
  }

  // Packs codes of width codeSize + 1 into sub-blocks of at most blockSize bytes.
  GifBytes& Coded(int codeSize, const std::vector<int>& codes, size_t blockSize = 255, bool terminate = true) {
    std::vector<uint8_t> data;
    uint32_t acc = 0;
    int bits = 0;
    for (int c : codes) {
      acc |= uint32_t(c) << bits;
      bits += codeSize + 1;
      while (bits >= 8) {
        data.push_back(uint8_t(acc));
        acc >>= 8;
        bits -= 8;
      }
    }
    if (bits > 0) data.push_back(uint8_t(acc));
    Raw({codeSize});
    for (size_t i = 0; i < data.size(); i += blockSize) {
      const size_t n = std::min(blockSize, data.size() - i);
      out.push_back(uint8_t(n));
      out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    if (terminate) Raw({0});
    return *this;
  }

  GifBytes& Trailer() { return Raw({0x3B}); }

  // Reads the bytes into an image (no forced decoding unless asked).
  void ReadInto(TGIFImage& image, bool forceDecode = false) const {
    TReadOnlyMemoryStream stream(out.data(), int64_t(out.size()));
    image.ReadStream(stream.Size(), stream, forceDecode);
  }

  std::vector<uint8_t> out;
  size_t blockSize = 255;  // data sub-block size used by Image
};

// Sets LoadCorruptGIF for one test and restores it.
class CorruptGIFSetting {
public:
  explicit CorruptGIFSetting(bool value) : saved_(LoadCorruptGIF) { LoadCorruptGIF = value; }
  ~CorruptGIFSetting() { LoadCorruptGIF = saved_; }
  CorruptGIFSetting(const CorruptGIFSetting&) = delete;
  CorruptGIFSetting& operator=(const CorruptGIFSetting&) = delete;

private:
  bool saved_;
};

// The message of the EInvalidGraphicOperation a call raises ("" when it raises nothing).
template <typename F>
std::string GraphicError(F&& f) {
  try {
    f();
  } catch (const EInvalidGraphicOperation& e) {
    return e.Message();
  }
  return "";
}
