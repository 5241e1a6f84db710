#pragma once
// Reader of skin files (".skn").
//
// File: a 32-bit little-endian length of the payload, then the payload compressed by TLZH.
// Payload (little-endian):
//   0   u32   version marker, 20000
//   4   i32   L, length of the name list
//   8   8     unused
//   16  L     entry names separated by line breaks (CR LF, CR or LF); a final break adds no name
//   ... 4n    i32 size of each of the n entries, in name order
//   ...       the entries' bytes back to back, in name order
// Names are file names; the one containing ".ini" is the skin description, the others are BMP
// files. Names are lower-cased on loading so that look-ups ignore ASCII case.
//
// A file is rejected when any of its counts cannot be honoured: a payload longer than its
// compressed bytes can describe, a stream that ends early, a negative or oversized name list, more
// than 1001 names, negative entry sizes, or sizes that add up to more than the data present.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Stream.h"

inline constexpr uint32_t kSkinVersion = 20000;
inline constexpr int kSkinMaxEntries = 1001;
inline constexpr const char* kSkinOlderFileMessage =
    "This is Older Skin File\rPlease update to new version !";
// No skin comes near this; a larger payload is treated as damage rather than allocated.
inline constexpr int64_t kSkinMaxPayload = int64_t{256} << 20;

// Pictures drawn at twice the size may follow a skin file: a second skin file of the same layout,
// holding the description again and the pictures under the names of those they stand in for, then
// an 8-byte trailer: that file's length (u32) and "SKX2". A reader that knows nothing of it stops where the first file's
// compressed data ends, so the whole is still a valid skin for it; and the skin itself is read
// without unpacking the larger pictures, which are wanted only on displays above 96 dpi.
inline constexpr char kSkinDetailMark[4] = {'S', 'K', 'X', '2'};
inline constexpr int kSkinDetailScale = 2;

// Copies the file of 2x pictures that follows the skin in file into detail; false, detail empty,
// when there is none or its trailer does not fit the file.
[[nodiscard]] bool ReadSkinDetail(TStream& file, TMemoryStream& detail);

class TSkinReader {
public:
  TSkinReader() = default;
  TSkinReader(const TSkinReader&) = delete;
  TSkinReader& operator=(const TSkinReader&) = delete;

  // Decompresses the whole source (from its start) and takes its directory. False, with the
  // directory emptied and LastError set, for a foreign, older or damaged file. The older-file
  // message is shown through OnMessage.
  [[nodiscard]] bool LoadFromStream(TStream& source);

  // Copies the entry named name (ASCII case ignored) into dest and rewinds dest; dest is left
  // empty when there is no such entry.
  void ReadEntry(const std::string& name, TMemoryStream& dest) const;
  // Copies the first entry whose lower-cased name contains fragment and returns that name in
  // entryName. No match: dest empty, entryName unchanged.
  void FindEntry(const std::string& fragment, TMemoryStream& dest, std::string& entryName) const;

  int EntryCount() const { return count_; }
  const std::string& EntryName(int index) const { return names_[static_cast<size_t>(index)]; }
  int32_t EntrySize(int index) const { return sizes_[static_cast<size_t>(index)]; }
  // Index of the entry named name (ASCII case ignored), or -1.
  int IndexOf(const std::string& name) const;

  const std::string& LastError() const { return lastError_; }

  // Shows a message to the user modally; the Windows side sets it to a message box.
  std::function<void(const std::string&)> OnMessage;

private:
  [[nodiscard]] bool Fail(const std::string& message);
  [[nodiscard]] bool ParsePayload(const std::vector<uint8_t>& payload);
  void CopyEntry(int index, TMemoryStream& dest) const;

  std::vector<std::string> names_;
  int32_t count_ = 0;
  std::array<int32_t, kSkinMaxEntries> sizes_{};
  std::vector<int64_t> offsets_;
  TMemoryStream data_;
  std::string lastError_;
};

// ASCII lower-casing used for entry names (bytes above 127 are left alone).
std::string SkinLowerCase(std::string text);
