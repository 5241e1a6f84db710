#include "gif/LZWDecoder.h"

#include <algorithm>
#include <cstring>

#include "framework/core/Exception.h"

// GIF LZW: codes are packed least significant bit first into 1..255-byte sub-blocks. For a
// minimum code size m the clear code is 2^m, the end code 2^m + 1, and new strings take the codes
// from 2^m + 2 up to 4095. Codes start m + 1 bits wide and grow by one bit as soon as the next free
// code reaches 2^width (at most 12 bits); a full table adds nothing until the next clear code.
// Every code after the first following a clear adds the previous string plus the first pixel of
// the current one; a code equal to the next free code means the previous string plus its own
// first pixel.
//
// Choices of this decoder: m must lie in 2..9 (else clamped and the decode is damaged); pixel
// values are masked to the frame's colour bits so that they always index the colour table; a
// code above the next free code is corrupt; after damage the decode stops at the next non-clear
// code; it ends at the end code, when the last row is full, or when the data runs out (an error
// unless the frame was already known to be truncated or damaged, and damage is accepted).

namespace {

constexpr int kMaxCodes = 4096;

class BitSource {
public:
  BitSource(const uint8_t* p, const uint8_t* end) : p_(p), end_(end) {}

  // Returns -1 when the data has run out.
  int Read(int width) {
    if (count_ < width) {
      Refill();
      if (count_ < width) return -1;
    }
    const int code = int(bits_ & ((1u << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return code;
  }

  const uint8_t* Position() const { return p_; }

private:
  void Refill() {
    while (count_ <= 56) {
      if (blockLeft_ == 0) {
        if (p_ >= end_ || *p_ == 0) return;
        blockLeft_ = *p_++;
        blockLeft_ = std::min<size_t>(blockLeft_, size_t(end_ - p_));
        if (blockLeft_ == 0) return;
      }
      bits_ |= uint64_t(*p_++) << count_;
      count_ += 8;
      --blockLeft_;
    }
  }

  const uint8_t* p_;
  const uint8_t* end_;
  size_t blockLeft_ = 0;
  uint64_t bits_ = 0;
  int count_ = 0;
};

// Writes pixels in GIF order (rows top to bottom, or the four interlace passes) into the
// bottom-up rows of the picture; pixels beyond the last row are dropped.
class PixelSink {
public:
  PixelSink(TDibImage& dib, bool interlaced)
      : dib_(dib), width_(dib.Width()), height_(dib.Height()), depth_(dib.BitsPerPixel()),
        interlaced_(interlaced) {
    if (dib.Empty()) return;
    row_ = dib_.Row(0);
  }

  bool Done() const { return row_ == nullptr; }

  // Places the string ending with code: 'length' pixels, walked backwards through the tables.
  void PutString(int code, int length, const uint16_t* prefix, const uint8_t* suffix,
                 uint8_t* stack) {
    if (depth_ == 8 && x_ + length <= width_) {
      uint8_t* q = row_ + x_ + length - 1;
      for (int k = 0; k < length; ++k) {
        *q-- = suffix[code];
        code = prefix[code];
      }
      x_ += length;
      if (x_ == width_) NextRow();
      return;
    }
    for (int k = length - 1; k >= 0; --k) {
      stack[k] = suffix[code];
      code = prefix[code];
    }
    for (int k = 0; k < length && row_ != nullptr; ++k) Put(stack[k]);
  }

private:
  void Put(uint8_t v) {
    switch (depth_) {
      case 8: row_[x_] = v; break;
      case 4: row_[x_ >> 1] |= (x_ & 1) ? v : uint8_t(v << 4); break;
      default: row_[x_ >> 3] |= uint8_t((v & 1) << (7 - (x_ & 7))); break;
    }
    if (++x_ == width_) NextRow();
  }

  void NextRow() {
    x_ = 0;
    if (++rowsDone_ >= height_) {
      row_ = nullptr;
      return;
    }
    if (!interlaced_) {
      ++y_;
    } else {
      static constexpr int kStart[4] = {0, 4, 2, 1};
      static constexpr int kStep[4] = {8, 8, 4, 2};
      y_ += kStep[pass_];
      while (y_ >= height_) {
        if (++pass_ > 3) {
          row_ = nullptr;
          return;
        }
        y_ = kStart[pass_];
      }
    }
    row_ = dib_.Row(y_);
  }

  TDibImage& dib_;
  int width_;
  int height_;
  int depth_;
  bool interlaced_;
  uint8_t* row_ = nullptr;
  int x_ = 0;
  int y_ = 0;
  int rowsDone_ = 0;
  int pass_ = 0;
};

struct Tables {
  uint16_t prefix[kMaxCodes];
  uint16_t length[kMaxCodes];
  uint8_t suffix[kMaxCodes];
  uint8_t first[kMaxCodes];
  uint8_t stack[kMaxCodes + 1];
};

}  // namespace

bool DecodeLZW(const uint8_t* data, size_t size, const TLZWDecodeParams& params, TDibImage& dib) {
  PixelSink sink(dib, params.Interlaced);
  if (sink.Done()) return false;
  if (size == 0) {
    if (params.AlreadyDamaged && params.AcceptDamage) return true;
    throw EInvalidGraphicOperation("Stream read error");
  }

  bool damaged = false;
  int m = data[0];
  if (m < 2 || m > 9) {
    if (!params.AcceptDamage) throw EInvalidGraphicOperation("GIF code size not in range 2 to 9");
    damaged = true;
    m = std::clamp(m, 2, 9);
  }
  const int mask = (1 << std::clamp(params.ColorBits, 1, 8)) - 1;
  const int clear = 1 << m;
  const int endCode = clear + 1;

  Tables t;
  for (int c = 0; c < clear; ++c) {
    t.prefix[c] = 0;
    t.length[c] = 1;
    t.suffix[c] = uint8_t(c & mask);
    t.first[c] = uint8_t(c & mask);
  }

  BitSource bits(data + 1, data + size);
  const uint8_t* const start = data;
  const uint8_t* nextReport = start;
  const bool reporting = bool(params.Progress);
  int lastPercent = -1;

  int width = m + 1;
  int next = clear + 2;
  int old = -1;

  auto corrupt = [&] {
    if (!params.AcceptDamage) throw EInvalidGraphicOperation("GIF encoded data is corrupt");
    damaged = true;
  };

  while (!sink.Done()) {
    const int code = bits.Read(width);
    if (reporting && bits.Position() >= nextReport) {
      const int percent = int((uint64_t(bits.Position() - start) * 100 + size / 2) / size);
      if (percent != lastPercent) params.Progress(percent);
      lastPercent = percent;
      nextReport = bits.Position() + 1;
    }
    if (code < 0) {
      if ((params.AlreadyDamaged || damaged) && params.AcceptDamage) return true;
      throw EInvalidGraphicOperation("Stream read error");
    }
    if (code == clear) {
      width = m + 1;
      next = clear + 2;
      old = -1;
      continue;
    }
    if (damaged || code == endCode) break;
    if (old < 0) {
      if (code >= clear) {
        corrupt();
        break;
      }
      sink.PutString(code, 1, t.prefix, t.suffix, t.stack);
      old = code;
      continue;
    }
    if (code > next) {
      corrupt();
      break;
    }
    if (next < kMaxCodes) {
      const uint8_t firstPixel = code < next ? t.first[code] : t.first[old];
      t.prefix[next] = uint16_t(old);
      t.suffix[next] = firstPixel;
      t.first[next] = t.first[old];
      t.length[next] = uint16_t(t.length[old] + 1);
      ++next;
      if (next == (1 << width) && width < 12) ++width;
    }
    sink.PutString(code, t.length[code], t.prefix, t.suffix, t.stack);
    old = code;
  }
  return damaged;
}
