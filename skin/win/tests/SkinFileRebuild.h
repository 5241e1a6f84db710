#pragma once
// A variant of a skin file for tests: its entries as the reader gives them (the skin alone, not
// the 2x part after it), each passed through an edit, put together again into one file's bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/core/Stream.h"
#include "skin/format/SkinRead.h"
#include "skin/format/SkinWrite.h"

inline std::vector<uint8_t> RebuiltSkinFile(const char* path,
                                            const std::function<void(std::vector<uint8_t>&)>& edit = {}) {
  TMemoryStream file;
  file.LoadFromFile(path);
  TSkinReader reader;
  if (!reader.LoadFromStream(file)) {
    ADD_FAILURE() << "the skin file " << path << " did not load";
    return {};
  }
  std::vector<TSkinEntry> entries;
  for (int i = 0; i < reader.EntryCount(); ++i) {
    TMemoryStream entry;
    reader.ReadEntry(reader.EntryName(i), entry);
    entries.push_back({reader.EntryName(i), entry.Bytes()});
    if (edit) edit(entries.back().data);
  }
  return BuildSkinFile(entries);
}
