#include "gif/LZWEncoder.h"

#include <cstring>

#include "framework/core/Exception.h"

// Strings are found through an open-addressing table of 17777 slots with linear probing. A string
// is known by its hash: one pixel p hashes to p * 301 + 903, and extending a string of hash h to n
// pixels by pixel p gives ((p + n + 4) * h) mod 17777, which is also where probing starts. A slot
// matches when it holds the current prefix code and the pixel. On a miss the prefix code is
// written and the new string takes the next code; the code width grows when that code reaches
// 2^width, and at code 4094 the pixel's own code and a clear code are written and the table
// starts afresh.

namespace {

constexpr uint32_t kSlots = 17777;
constexpr int kRestartCode = 4094;

class CodePacker {
public:
  explicit CodePacker(std::vector<uint8_t>& out) : out_(out) {}

  void Put(int code, int width) {
    acc_ |= uint64_t(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      block_[len_++] = uint8_t(acc_);
      acc_ >>= 8;
      count_ -= 8;
      if (len_ == 255) FlushBlock();
    }
  }

  void Finish() {
    if (count_ > 0) {
      block_[len_++] = uint8_t(acc_);
      if (len_ == 255) FlushBlock();
    }
    acc_ = 0;
    count_ = 0;
    if (len_ > 0) FlushBlock();
    out_.push_back(0);
  }

private:
  void FlushBlock() {
    out_.push_back(uint8_t(len_));
    out_.insert(out_.end(), block_, block_ + len_);
    len_ = 0;
  }

  std::vector<uint8_t>& out_;
  uint64_t acc_ = 0;
  int count_ = 0;
  uint8_t block_[255];
  int len_ = 0;
};

// A slot holds (prefix code << 8 | pixel) << 12 | string code; 0 is an empty slot (string codes
// are never 0). The slots used since the last restart are remembered so that a restart empties
// only those.
class HashTable {
public:
  HashTable() : slots_(kSlots, 0) { used_.reserve(4096); }

  // Probes from start for key; returns the code, or 0 with *slot at the empty slot found.
  uint32_t Find(uint32_t start, uint32_t key, uint32_t* slot) const {
    uint32_t s = start;
    while (true) {
      const uint32_t v = slots_[s];
      if (v == 0) {
        *slot = s;
        return 0;
      }
      if ((v >> 12) == key) return v & 0xFFF;
      s = s + 1 == kSlots ? 0 : s + 1;
    }
  }

  void Put(uint32_t slot, uint32_t key, uint32_t code) {
    slots_[slot] = key << 12 | code;
    used_.push_back(slot);
  }

  void Clear() {
    for (uint32_t s : used_) slots_[s] = 0;
    used_.clear();
  }

private:
  std::vector<uint32_t> slots_;
  std::vector<uint32_t> used_;
};

}  // namespace

std::vector<uint8_t> EncodeLZW(const TDibImage& dib, const std::function<void(int)>& progress) {
  const int depth = dib.BitsPerPixel();
  if (depth != 1 && depth != 4 && depth != 8) throw EInvalidGraphicOperation("GIF image encoding error");
  const int width0 = depth == 1 ? 3 : depth + 1;
  const int clear = 1 << (width0 - 1);
  const int endCode = clear + 1;

  std::vector<uint8_t> out;
  out.reserve(dib.RowStride() * size_t(dib.Height()) / 2 + 64);
  out.push_back(uint8_t(width0 - 1));
  CodePacker packer(out);

  HashTable table;
  int width = width0;
  int next = clear + 2;
  bool active = false;  // whether a current string exists
  uint32_t prefix = 0;
  uint32_t hash = 0;
  uint32_t length = 0;

  packer.Put(clear, width);

  const int w = dib.Width();
  const int h = dib.Height();
  std::vector<uint8_t> unpacked(depth == 8 ? 0 : size_t(w));
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = dib.Row(y);
    if (depth != 8) {
      for (int x = 0; x < w; ++x)
        unpacked[size_t(x)] = depth == 4 ? ((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4)
                                         : (row[x >> 3] >> (7 - (x & 7))) & 1;
      row = unpacked.data();
    }
    for (int x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      if (!active) {
        prefix = p;
        hash = p * 301 + 903;
        length = 1;
        active = true;
        continue;
      }
      const uint32_t n = length + 1;
      const uint32_t h2 = ((p + n + 4) * hash) % kSlots;
      const uint32_t key = (prefix << 8) | p;
      uint32_t slot = 0;
      const uint32_t found = table.Find(h2, key, &slot);
      if (found != 0) {
        prefix = found;
        hash = h2;
        length = n;
        continue;
      }
      packer.Put(int(prefix), width);
      const int assigned = next++;
      table.Put(slot, key, uint32_t(assigned));
      prefix = p;
      hash = p * 301 + 903;
      length = 1;
      if (assigned == (1 << width)) {
        ++width;
      } else if (assigned >= kRestartCode) {
        packer.Put(int(p), width);
        packer.Put(clear, width);
        width = width0;
        next = clear + 2;
        table.Clear();
        active = false;
      }
    }
    if (progress) progress(int((int64_t(y) + 1) * 100 / h));
  }
  if (active) packer.Put(int(prefix), width);
  packer.Put(endCode, width);
  packer.Finish();
  return out;
}
