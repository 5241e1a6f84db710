#include "skin/format/SkinRead.h"

#include <algorithm>

#include "framework/core/Exception.h"
#include "skin/format/Lzh.h"

namespace {

constexpr int64_t kHeaderSize = 16;

uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(LoadU32(p)); }

int64_t ReadFromStream(void* context, uint8_t* buffer, int64_t count) {
  return static_cast<TStream*>(context)->Read(buffer, count);
}

void AppendToVector(void* context, const uint8_t* buffer, int64_t count) {
  auto& out = *static_cast<std::vector<uint8_t>*>(context);
  out.insert(out.end(), buffer, buffer + count);
}

// Line breaks are CR LF, CR or LF; text after the last break is a line only when not empty.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

std::string SkinLowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool ReadSkinDetail(TStream& file, TMemoryStream& detail) {
  detail.Clear();
  const int64_t size = file.Size();
  if (size < 8) return false;
  uint8_t trailer[8];
  file.SetPosition(size - 8);
  if (file.Read(trailer, 8) != 8 || !std::equal(trailer + 4, trailer + 8, kSkinDetailMark)) return false;
  const int64_t length = LoadU32(trailer);
  if (length < 4 || length > size - 8) return false;
  file.SetPosition(size - 8 - length);
  detail.CopyFrom(file, length);
  detail.SetPosition(0);
  return true;
}

bool TSkinReader::Fail(const std::string& message) {
  names_.clear();
  count_ = 0;
  sizes_.fill(0);
  offsets_.clear();
  data_.Clear();
  lastError_ = message;
  return false;
}

bool TSkinReader::LoadFromStream(TStream& source) {
  lastError_.clear();
  source.SetPosition(0);
  uint8_t lengthBytes[4];
  if (source.Read(lengthBytes, 4) != 4) return Fail("Skin file is damaged: it is too short");
  const int64_t payloadSize = LoadU32(lengthBytes);
  const int64_t compressedSize = source.Size() - 4;
  if (payloadSize > LzhMaxExpansion(compressedSize) || payloadSize > kSkinMaxPayload) {
    return Fail("Skin file is damaged: its stated size does not fit its contents");
  }

  // Growing as bytes arrive keeps a file that only claims a large payload from getting it.
  std::vector<uint8_t> payload;
  payload.reserve(static_cast<size_t>(std::min(payloadSize, compressedSize * 16 + 4096)));
  TLZH lzh;
  if (!lzh.Decode(payloadSize, ReadFromStream, &source, AppendToVector, &payload)) {
    return Fail("Skin file is damaged: its compressed data ends early");
  }
  return ParsePayload(payload);
}

bool TSkinReader::ParsePayload(const std::vector<uint8_t>& payload) {
  const int64_t size = static_cast<int64_t>(payload.size());
  if (size < kHeaderSize) return Fail("Skin file is damaged: its header is incomplete");
  if (LoadU32(payload.data()) != kSkinVersion) {
    if (OnMessage) OnMessage(kSkinOlderFileMessage);
    return Fail(kSkinOlderFileMessage);
  }
  const int64_t nameListLength = LoadI32(payload.data() + 4);
  if (nameListLength < 0 || nameListLength > size - kHeaderSize) {
    return Fail("Skin file is damaged: its name list does not fit its contents");
  }

  const auto* nameList = reinterpret_cast<const char*>(payload.data() + kHeaderSize);
  std::vector<std::string> names =
      SplitLines(SkinLowerCase(std::string(nameList, static_cast<size_t>(nameListLength))));
  if (names.size() > static_cast<size_t>(kSkinMaxEntries)) {
    return Fail("Skin file is damaged: it names " + std::to_string(names.size()) +
                " entries, more than " + std::to_string(kSkinMaxEntries));
  }
  const int64_t count = static_cast<int64_t>(names.size());
  const int64_t tableStart = kHeaderSize + nameListLength;
  if (count * 4 > size - tableStart) {
    return Fail("Skin file is damaged: its size table does not fit its contents");
  }

  const int64_t dataStart = tableStart + count * 4;
  const int64_t dataSize = size - dataStart;
  std::array<int32_t, kSkinMaxEntries> sizes{};
  std::vector<int64_t> offsets(static_cast<size_t>(count));
  int64_t total = 0;
  for (int64_t i = 0; i < count; ++i) {
    const int32_t entrySize = LoadI32(payload.data() + tableStart + i * 4);
    if (entrySize < 0) return Fail("Skin file is damaged: an entry has a negative size");
    sizes[static_cast<size_t>(i)] = entrySize;
    offsets[static_cast<size_t>(i)] = total;
    total += entrySize;
  }
  if (total > dataSize) return Fail("Skin file is damaged: its entry sizes exceed its data");

  names_ = std::move(names);
  count_ = static_cast<int32_t>(count);
  sizes_ = sizes;
  offsets_ = std::move(offsets);
  data_.Clear();
  data_.WriteBuffer(payload.data() + dataStart, dataSize);
  data_.SetPosition(0);
  return true;
}

int TSkinReader::IndexOf(const std::string& name) const {
  const std::string wanted = SkinLowerCase(name);
  for (int i = 0; i < count_; ++i) {
    if (names_[static_cast<size_t>(i)] == wanted) return i;
  }
  return -1;
}

void TSkinReader::CopyEntry(int index, TMemoryStream& dest) const {
  const auto i = static_cast<size_t>(index);
  dest.WriteBuffer(data_.Memory() + offsets_[i], sizes_[i]);
  dest.SetPosition(0);
}

void TSkinReader::ReadEntry(const std::string& name, TMemoryStream& dest) const {
  dest.Clear();
  const int index = IndexOf(name);
  if (index >= 0) CopyEntry(index, dest);
}

void TSkinReader::FindEntry(const std::string& fragment, TMemoryStream& dest,
                            std::string& entryName) const {
  dest.Clear();
  for (int i = 0; i < count_; ++i) {
    if (names_[static_cast<size_t>(i)].find(fragment) != std::string::npos) {
      CopyEntry(i, dest);
      entryName = names_[static_cast<size_t>(i)];
      return;
    }
  }
}
