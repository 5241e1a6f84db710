// Input: one mode byte, then either a whole skin file (even mode) or an uncompressed payload
// (odd mode), which is compressed first so that the directory checks see every kind of damage.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/format/SkinRead.h"
#include "skin/format/SkinWrite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::vector<uint8_t> bytes(data + 1, data + size);
  if (data[0] & 1) bytes = CompressSkinPayload(bytes);

  TSkinReader reader;
  int messages = 0;
  reader.OnMessage = [&messages](const std::string&) { ++messages; };
  TMemoryStream file(std::move(bytes));
  if (!reader.LoadFromStream(file)) {
    if (reader.EntryCount() != 0 || reader.LastError().empty() || messages > 1) std::abort();
    return 0;
  }
  TMemoryStream entry;
  for (int i = 0; i < reader.EntryCount(); ++i) {
    reader.ReadEntry(reader.EntryName(i), entry);
    if (reader.IndexOf(reader.EntryName(i)) == i && entry.Size() != reader.EntrySize(i)) std::abort();
  }
  std::string name;
  reader.FindEntry(".ini", entry, name);
  reader.FindEntry("", entry, name);
  return 0;
}
