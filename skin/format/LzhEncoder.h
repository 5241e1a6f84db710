#pragma once
// Compressor producing the bit stream that TLZH decodes (layout in Lzh.h). Matches are found with
// hash chains over the last 4095 bytes (including the ring's initial spaces), greedily with a
// one-step look-ahead; the output depends only on the input.
#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<uint8_t> LzhEncode(const uint8_t* data, size_t size);

inline std::vector<uint8_t> LzhEncode(const std::vector<uint8_t>& data) {
  return LzhEncode(data.data(), data.size());
}
