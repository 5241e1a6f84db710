#pragma once
// Builds skin files in the layout SkinRead.h describes (the unused header bytes are zeros).
#include <cstdint>
#include <string>
#include <vector>

struct TSkinEntry {
  std::string name;
  std::vector<uint8_t> data;
};

// The uncompressed payload. Raises EInvalidOperation for more than 1001 entries, an empty name, a
// name holding a line break, or an entry too large for the size table.
std::vector<uint8_t> BuildSkinPayload(const std::vector<TSkinEntry>& entries);

// A whole file: the payload's length, then the compressed payload.
std::vector<uint8_t> CompressSkinPayload(const std::vector<uint8_t>& payload);

inline std::vector<uint8_t> BuildSkinFile(const std::vector<TSkinEntry>& entries) {
  return CompressSkinPayload(BuildSkinPayload(entries));
}

// A skin file with its 2x pictures after it (see SkinRead.h): detail holds the description and
// the pictures, each named as the picture it stands in for; the skin file alone when detail has no
// pictures.
std::vector<uint8_t> BuildSkinFile(const std::vector<TSkinEntry>& entries, const std::vector<TSkinEntry>& detail);
