#pragma once
// The model shared by the skin file's compressor and decompressor: an LZSS window of 4096 bytes whose
// codes (256 literals and 58 match lengths) are coded by one adaptive Huffman tree, and the fixed
// prefix code for the upper six bits of a match position.
//
// Tree layout: nodes 0..626 are kept in non-decreasing frequency order (the sibling property), the
// root is node 626. son[n] is the first of a node's two children (the second is son[n] + 1), or
// leaf + 627 for a leaf. prnt[] maps a node to its parent and, at index leaf + 627, a leaf to the
// node that holds it. A bit 0 selects son[n], a bit 1 selects son[n] + 1. After each code the tree
// is updated; when the root's frequency reaches 0x8000 every leaf frequency is halved first.
#include <array>
#include <cstdint>

namespace lzh {

inline constexpr int kRingSize = 4096;                         // N
inline constexpr int kLookAhead = 60;                          // F: longest match
inline constexpr int kThreshold = 2;                           // longer matches than this are coded
inline constexpr int kCharCodes = 256 - kThreshold + kLookAhead;  // 314
inline constexpr int kTreeSize = kCharCodes * 2 - 1;           // 627
inline constexpr int kRoot = kTreeSize - 1;                    // 626
inline constexpr uint16_t kMaxFreq = 0x8000;
inline constexpr int kFirstWritePosition = kRingSize - kLookAhead;  // 4036: ring starts as spaces

class TLzhTree {
public:
  TLzhTree() { Start(); }

  void Start();
  // Counts one more occurrence of a code (0..313) and restores the frequency order.
  void Update(int code);

  int16_t Child(int node) const { return son_[node]; }
  int16_t Parent(int node) const { return prnt_[node]; }
  uint16_t Frequency(int node) const { return freq_[node]; }

private:
  void Rebuild();

  std::array<uint16_t, kTreeSize + 1> freq_{};  // [627] is a sentinel above every real frequency
  std::array<int16_t, kTreeSize + kCharCodes> prnt_{};
  std::array<int16_t, kTreeSize> son_{};
};

// Position coding: a match's distance is 12 bits. The upper six bits u are sent with a prefix code
// of 3 to 8 bits (short codes for near matches), then the low six bits as they are. The decoder
// peeks 8 bits and looks up u and the prefix length; the encoder looks up the left-aligned code.
struct TPositionTables {
  std::array<uint8_t, 64> code{};   // prefix code of u, left-aligned in 8 bits
  std::array<uint8_t, 64> length{}; // prefix length of u in bits
  std::array<uint8_t, 256> upper{}; // byte -> u
  std::array<uint8_t, 256> bits{};  // byte -> prefix length
};

constexpr TPositionTables MakePositionTables() {
  // How many values of u get a prefix of each length 3..8: 1, 3, 8, 12, 24, 16 (fills 256 slots).
  constexpr int kCountOfLength[6] = {1, 3, 8, 12, 24, 16};
  TPositionTables t;
  int u = 0;
  int slot = 0;
  for (int len = 3; len <= 8; ++len) {
    const int span = 1 << (8 - len);
    for (int k = 0; k < kCountOfLength[len - 3]; ++k, ++u) {
      t.code[u] = static_cast<uint8_t>(slot);
      t.length[u] = static_cast<uint8_t>(len);
      for (int s = 0; s < span; ++s, ++slot) {
        t.upper[slot] = static_cast<uint8_t>(u);
        t.bits[slot] = static_cast<uint8_t>(len);
      }
    }
  }
  return t;
}

inline constexpr TPositionTables kPositionTables = MakePositionTables();

}  // namespace lzh
