#include "skin/format/SkinWrite.h"

#include <limits>

#include "framework/core/Exception.h"
#include "skin/format/LzhEncoder.h"
#include "skin/format/SkinRead.h"

namespace {

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void CheckEntry(const TSkinEntry& entry) {
  if (entry.name.empty()) throw EInvalidOperation("Skin entry without a name");
  if (entry.name.find_first_of("\r\n") != std::string::npos) {
    throw EInvalidOperation(Format("Skin entry name \"%s\" holds a line break", entry.name.c_str()));
  }
  if (entry.data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw EInvalidOperation(Format("Skin entry \"%s\" is too large", entry.name.c_str()));
  }
}

}  // namespace

std::vector<uint8_t> BuildSkinFile(const std::vector<TSkinEntry>& entries, const std::vector<TSkinEntry>& detail) {
  std::vector<uint8_t> file = BuildSkinFile(entries);
  if (detail.size() <= 1) return file;
  const std::vector<uint8_t> more = BuildSkinFile(detail);
  file.insert(file.end(), more.begin(), more.end());
  AppendU32(file, static_cast<uint32_t>(more.size()));
  file.insert(file.end(), std::begin(kSkinDetailMark), std::end(kSkinDetailMark));
  return file;
}

std::vector<uint8_t> BuildSkinPayload(const std::vector<TSkinEntry>& entries) {
  if (entries.size() > static_cast<size_t>(kSkinMaxEntries)) {
    throw EInvalidOperation(Format("A skin holds at most %d entries", kSkinMaxEntries));
  }
  std::string names;
  for (const TSkinEntry& entry : entries) {
    CheckEntry(entry);
    names += entry.name;
    names += "\r\n";
  }
  std::vector<uint8_t> out;
  AppendU32(out, kSkinVersion);
  AppendU32(out, static_cast<uint32_t>(names.size()));
  out.resize(out.size() + 8, 0);
  out.insert(out.end(), names.begin(), names.end());
  for (const TSkinEntry& entry : entries) AppendU32(out, static_cast<uint32_t>(entry.data.size()));
  for (const TSkinEntry& entry : entries) out.insert(out.end(), entry.data.begin(), entry.data.end());
  return out;
}

std::vector<uint8_t> CompressSkinPayload(const std::vector<uint8_t>& payload) {
  if (payload.size() > static_cast<size_t>(kSkinMaxPayload)) {
    throw EInvalidOperation("Skin payload is too large");
  }
  std::vector<uint8_t> out;
  AppendU32(out, static_cast<uint32_t>(payload.size()));
  const std::vector<uint8_t> stream = LzhEncode(payload);
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}
